#include "production/MasterData.h"

#include "core/Clock.h"

#include <QLocale>

#include <cmath>

namespace MasterData {

namespace {

const QString kRequired = QStringLiteral("Required Fields");

bool anyBlank(std::initializer_list<QString> values)
{
    for (const QString &v : values)
        if (v.trimmed().isEmpty())
            return true;
    return false;
}

std::optional<Refusal> required(std::initializer_list<QString> values, const QString &text)
{
    if (anyBlank(values))
        return Refusal{text, kRequired, QString()};
    return std::nullopt;
}

template <typename T> void addIfSet(Fields &fields, const char *column, const std::optional<T> &value)
{
    if (value)
        fields.emplace_back(QString::fromLatin1(column), QVariant::fromValue(*value));
}

} // namespace

std::optional<Row> findByKey(const QString &table, const QString &keyColumn, const QString &key)
{
    Database &db = DbConnection();
    const RowSet rows =
        db.query(QStringLiteral("SELECT %3 AS RowKey, * FROM %1 WHERE %2 = ? ORDER BY %3 LIMIT 1")
                     .arg(table, keyColumn, db.rowKey()),
                 {key});
    if (rows.isEmpty())
        return std::nullopt;
    return rows.first();
}

bool saveByKey(const QString &table, const QString &keyColumn, const QString &key, const Fields &fields,
               const Fields &newRowFields)
{
    Database &db = DbConnection();
    Transaction tx(db);
    const std::optional<Row> stored = findByKey(table, keyColumn, key);
    if (stored) {
        if (!fields.empty())
            db.update(table, fields, db.rowKey() + QStringLiteral(" = ?"),
                      {stored->value(QStringLiteral("RowKey"))});
    } else {
        Fields all = newRowFields;
        all.insert(all.end(), fields.begin(), fields.end());
        db.insert(table, all);
    }
    tx.commit();
    return !stored;
}

std::optional<double> parseNumber(const QString &text)
{
    bool ok = false;
    const double v = QLocale::c().toDouble(text.trimmed(), &ok);
    if (!ok || !std::isfinite(v))
        return std::nullopt;
    return v;
}

std::optional<int> parseWholeNumber(const QString &text)
{
    bool ok = false;
    const int v = QLocale::c().toInt(text.trimmed(), &ok);
    if (!ok)
        return std::nullopt;
    return v;
}

// --- Customers -----------------------------------------------------------------------------

std::optional<Row> FindCustomer(const QString &name)
{
    return findByKey(QStringLiteral("Customer"), QStringLiteral("Name"), name);
}

bool SaveCustomer(const QString &name, const Fields &fields)
{
    return saveByKey(QStringLiteral("Customer"), QStringLiteral("Name"), name, fields,
                     {{QStringLiteral("DateAdded"), Clock::now()}});
}

std::optional<Refusal> refuseCustomerDays(const QString &days)
{
    if (parseWholeNumber(days))
        return std::nullopt;
    return Refusal{QStringLiteral("You must enter a number in days for this field. Please re-enter."),
                   QStringLiteral("Invalid Terms"), QStringLiteral("txtDays")};
}

std::optional<Refusal> refuseCustomer(const QString &name, const QString &status, const QString &terms,
                                      const QString &days)
{
    if (auto r = required({name, status, terms, days},
                          QStringLiteral("Customer Name, Status, Terms, and Days are required.")))
        return r;
    return refuseCustomerDays(days);
}

// --- Employees -----------------------------------------------------------------------------

std::optional<Row> FindEmployee(const QString &ssn)
{
    return findByKey(QStringLiteral("Employee"), QStringLiteral("SSN"), ssn);
}

bool SaveEmployee(const QString &ssn, const Fields &fields)
{
    return saveByKey(QStringLiteral("Employee"), QStringLiteral("SSN"), ssn, fields,
                     {{QStringLiteral("DateAdded"), Clock::now()}});
}

std::optional<Refusal> refuseEmployee(const QString &ssn, const QString &firstName, const QString &lastName,
                                      const QString &status)
{
    return required({ssn, firstName, lastName, status},
                    QStringLiteral("Employee SSN, First Name, Last Name, and Status are required."));
}

// --- Materials -----------------------------------------------------------------------------

std::optional<Row> FindMaterial(const QString &id)
{
    return findByKey(QStringLiteral("Material"), QStringLiteral("ID"), id);
}

bool MaterialExists(const QString &id)
{
    return FindMaterial(id).has_value();
}

bool SaveMaterial(const QString &id, const QString &description, const QString &status, const QString &type)
{
    const QString key = QStringLiteral("ID");
    return saveByKey(QStringLiteral("Material"), key, id,
                     {{key, id},
                      {QStringLiteral("Description"), description},
                      {QStringLiteral("Status"), status},
                      {QStringLiteral("Type"), type}},
                     {{QStringLiteral("DateAdded"), Clock::today()}});
}

std::optional<Refusal> refuseMaterial(const QString &id, const QString &description, const QString &status,
                                      const QString &type)
{
    return required({id, description, status, type},
                    QStringLiteral("ID, Description, Status, and Type are required."));
}

// --- Sets ----------------------------------------------------------------------------------

std::optional<Row> FindSet(const QString &refNo)
{
    return findByKey(QStringLiteral("Sets"), QStringLiteral("CustomerRefNo"), refNo);
}

bool SaveSet(const SetValues &v)
{
    const QString key = QStringLiteral("CustomerRefNo");
    Fields fields;
    addIfSet(fields, "ReqFeet", v.reqFeet);
    addIfSet(fields, "ProductionStandard", v.productionStandard);
    addIfSet(fields, "EmployeeRate", v.employeeRate);
    addIfSet(fields, "CuttingPrice", v.cuttingPrice);
    addIfSet(fields, "SewingPrice", v.sewingPrice);
    addIfSet(fields, "VinylPrice", v.vinylPrice);
    addIfSet(fields, "LeatherPrice", v.leatherPrice);
    addIfSet(fields, "KitPrice", v.kitPrice);
    addIfSet(fields, "TotalPrice", v.totalPrice);
    fields.emplace_back(QStringLiteral("Type"), v.type);
    fields.emplace_back(QStringLiteral("Status"), v.status);
    const Fields identity = {{QStringLiteral("DateAdded"), Clock::now()},
                             {QStringLiteral("Customer"), v.customer},
                             {key, v.refNo},
                             {QStringLiteral("Style"), v.style},
                             {QStringLiteral("Material"), v.material}};
    return saveByKey(QStringLiteral("Sets"), key, v.refNo, fields, identity);
}

Money SetTotalPrice(const std::vector<QString> &components)
{
    // Added exactly, so 0.1 + 0.2 is 0.3 and not a binary neighbour of it.
    Money total;
    for (const QString &c : components)
        total += Money::parse(c).value_or(Money());
    return total;
}

std::optional<Refusal> refuseSet(const QString &refNo, const QString &status, const QString &type,
                                 const QString &material)
{
    return required({refNo, status, type, material},
                    QStringLiteral("Reference Number, Material, and Status are required."));
}

} // namespace MasterData
