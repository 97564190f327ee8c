#pragma once

#include "core/Database.h"
#include "core/Money.h"
#include "core/Refusal.h"

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

// The records behind the customer, employee, material and set windows and their rules: a key
// that finds the record, a save that edits or adds by the key, the fields a save requires.
namespace MasterData {

// The first row of `table` whose `keyColumn` equals `key`, with its row id as "RowKey".
std::optional<Row> findByKey(const QString &table, const QString &keyColumn, const QString &key);

// Looks `key` up again: edits the first row holding it with `fields`, or adds a row with
// `newRowFields` followed by `fields`. Returns true when a row was added. `loaded` is the stamp
// of the row the window loaded for this key (empty when it found none): a row changed or gone
// since is refused with DbError::changed.
bool saveByKey(const QString &table, const QString &keyColumn, const QString &key, const Fields &fields,
               const Fields &newRowFields, const QByteArray &loaded = {});

// The record a window looked up and its stamp, so a save of the same key can tell whether
// another workstation changed it since.
class LoadedRecord
{
public:
    void remember(const QString &key, const std::optional<Row> &row)
    {
        m_key = key;
        m_stamp = row ? Database::stamp(*row) : QByteArray();
    }
    // The stamp for a save of `key`; empty when the window loaded another key or none.
    QByteArray stampFor(const QString &key) const
    {
        return key.compare(m_key, Qt::CaseInsensitive) == 0 ? m_stamp : QByteArray();
    }

private:
    QString m_key;
    QByteArray m_stamp;
};

// A plain decimal number ("12.5", " -3 "); nullopt when empty or not a number.
std::optional<double> parseNumber(const QString &text);
// A whole number ("30", " -2 "); nullopt when empty, fractional or not a number.
std::optional<int> parseWholeNumber(const QString &text);

// --- Customers -----------------------------------------------------------------------------

std::optional<Row> FindCustomer(const QString &name);
// Adds or edits the customer called `name`, decided by looking the name up now: `fields` are
// written as given (empty text included). True when added.
bool SaveCustomer(const QString &name, const Fields &fields, const QByteArray &loaded = {});
// `fields` with the ship-to name and address taken from the customer's name and billing address
// when every ship-to field is empty; unchanged otherwise.
Fields withShipToFromBilling(const QString &name, Fields fields);
// Days must be a whole number.
std::optional<Refusal> refuseCustomerDays(const QString &days);
// What a customer save needs: name, status, terms and whole days.
std::optional<Refusal> refuseCustomer(const QString &name, const QString &status, const QString &terms,
                                      const QString &days);

// --- Employees -----------------------------------------------------------------------------

std::optional<Row> FindEmployee(const QString &ssn);
// Adds or edits the employee `ssn`, decided by looking it up now. True when added.
bool SaveEmployee(const QString &ssn, const Fields &fields, const QByteArray &loaded = {});
std::optional<Refusal> refuseEmployee(const QString &ssn, const QString &firstName, const QString &lastName,
                                      const QString &status);

// --- Materials -----------------------------------------------------------------------------

std::optional<Row> FindMaterial(const QString &id);
bool MaterialExists(const QString &id);
// The IDs of the active materials, in order, for a set's material list.
QStringList ActiveMaterialIds();
// Adds or edits the material `id`, decided by looking it up now; a new one is dated today
// (without a time). True when added.
bool SaveMaterial(const QString &id, const QString &description, const QString &status, const QString &type,
                  const QByteArray &loaded = {});
std::optional<Refusal> refuseMaterial(const QString &id, const QString &description, const QString &status,
                                      const QString &type);

// --- Sets ----------------------------------------------------------------------------------

// What a save writes into the set catalogue. The identity (customer, reference number, style,
// material) is written only when the set is new; an empty number keeps the stored one.
struct SetValues
{
    QString customer;
    QString refNo;
    QString style;
    QString material;
    std::optional<double> reqFeet;
    std::optional<double> productionStandard;
    std::optional<Money> employeeRate;
    std::optional<Money> cuttingPrice;
    std::optional<Money> sewingPrice;
    std::optional<Money> vinylPrice;
    std::optional<Money> leatherPrice;
    std::optional<Money> kitPrice;
    std::optional<Money> totalPrice;
    QString type;
    QString status;
    QByteArray loaded; // the stamp of the set as loaded
};

std::optional<Row> FindSet(const QString &refNo);
// Adds or edits the set of `v.refNo`, decided by looking it up now. True when added.
bool SaveSet(const SetValues &v);
// The price of a set from its component prices as typed; an empty or non-numeric one counts 0.
Money SetTotalPrice(const std::vector<QString> &components);
std::optional<Refusal> refuseSet(const QString &refNo, const QString &status, const QString &type,
                                 const QString &material);
// A set's material must be in the material master; an empty one is not looked up. Throws DbError.
std::optional<Refusal> refuseSetMaterial(const QString &material);

// A number as typed into the field named `field`, called `label` in the refusal. A money field
// takes what a price takes ("$1,095.50"); the others a plain number. Empty passes.
struct NumberCheck
{
    QString label;
    QString field;
    QString text;
    bool money = false;
};
// Refuses the first number that is not one.
std::optional<Refusal> refuseNonNumeric(const std::vector<NumberCheck> &checks);

} // namespace MasterData
