#include "production/MasterData.h"

#include "core/Clock.h"

#include <QHash>
#include <QLocale>

#include <cmath>

namespace MasterData {

namespace {

const QString kRequired = QStringLiteral("Required Fields");

// `fields` pairs a control's name with its text; the refusal names the first empty one, so the
// window puts the clerk there.
std::optional<Refusal> required(std::initializer_list<std::pair<const char *, QString>> fields,
                                const QString &text)
{
    for (const auto &[field, value] : fields) {
        if (value.trimmed().isEmpty())
            return Refusal{text, kRequired, QString::fromLatin1(field)};
    }
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
               const Fields &newRowFields, const QByteArray &loaded)
{
    Database &db = DbConnection();
    Transaction tx(db);
    db.lockRows(table, keyColumn + QStringLiteral(" = ?"), {key});
    const std::optional<Row> stored = findByKey(table, keyColumn, key);
    if (!loaded.isEmpty() && (!stored || Database::stamp(*stored) != loaded)) {
        static const QHash<QString, QString> kRecord = {{QStringLiteral("Customer"), QStringLiteral("Customer")},
                                                        {QStringLiteral("Employee"), QStringLiteral("Employee")},
                                                        {QStringLiteral("Material"), QStringLiteral("Material")},
                                                        {QStringLiteral("Sets"), QStringLiteral("Set")}};
        throw DbError::changed(kRecord.value(table, table) + u' ' + key);
    }
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

Fields withShipToFromBilling(const QString &name, Fields fields)
{
    static const std::pair<const char *, const char *> kPairs[] = {{"ShipToAddress1", "Address1"},
                                                                   {"ShipToAddress2", "Address2"},
                                                                   {"ShipToCity", "City"},
                                                                   {"ShipToState", "State"},
                                                                   {"ShipToZip", "Zip"},
                                                                   {"ShipToPhone", "Phone"},
                                                                   {"ShipToFax", "Fax"}};
    const auto valueOf = [&fields](const QString &column) {
        for (const auto &[key, value] : fields) {
            if (key == column)
                return value.toString();
        }
        return QString();
    };
    if (!valueOf(QStringLiteral("ShipTo")).trimmed().isEmpty())
        return fields;
    for (const auto &[shipTo, billing] : kPairs) {
        if (!valueOf(QLatin1String(shipTo)).trimmed().isEmpty())
            return fields;
    }
    const auto set = [&fields](const QString &column, const QVariant &value) {
        for (auto &[key, v] : fields) {
            if (key == column) {
                v = value;
                return;
            }
        }
        fields.emplace_back(column, value);
    };
    set(QStringLiteral("ShipTo"), name);
    for (const auto &[shipTo, billing] : kPairs)
        set(QLatin1String(shipTo), valueOf(QLatin1String(billing)));
    return fields;
}

bool SaveCustomer(const QString &name, const Fields &fields, const QByteArray &loaded)
{
    // A new customer shipped to where it is billed needs its address typed once: an empty ship-to
    // would print a blank SHIP TO box on every packing slip.
    const Fields stored = FindCustomer(name) ? fields : withShipToFromBilling(name, fields);
    return saveByKey(QStringLiteral("Customer"), QStringLiteral("Name"), name, stored,
                     {{QStringLiteral("DateAdded"), Clock::now()}}, loaded);
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
    if (auto r =
            required({{"cmbCustomer", name}, {"cmbStatus", status}, {"txtTerms", terms}, {"txtDays", days}},
                     QStringLiteral("Customer Name, Status, Terms, and Days are required.")))
        return r;
    return refuseCustomerDays(days);
}

// --- Employees -----------------------------------------------------------------------------

std::optional<Row> FindEmployee(const QString &ssn)
{
    return findByKey(QStringLiteral("Employee"), QStringLiteral("SSN"), ssn);
}

bool SaveEmployee(const QString &ssn, const Fields &fields, const QByteArray &loaded)
{
    return saveByKey(QStringLiteral("Employee"), QStringLiteral("SSN"), ssn, fields,
                     {{QStringLiteral("DateAdded"), Clock::now()}}, loaded);
}

std::optional<Refusal> refuseEmployee(const QString &ssn, const QString &firstName, const QString &lastName,
                                      const QString &status)
{
    return required({{"txtSSN", ssn}, {"txtFName", firstName}, {"txtLName", lastName}, {"cmbStatus", status}},
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

QStringList ActiveMaterialIds()
{
    QStringList ids;
    for (const Row &r :
         DbConnection().query(QStringLiteral("SELECT ID FROM Material WHERE Status = ? ORDER BY ID"),
                              {QStringLiteral("Active")}))
        ids << r.text(QStringLiteral("ID"));
    return ids;
}

bool SaveMaterial(const QString &id, const QString &description, const QString &status, const QString &type,
                  const QByteArray &loaded)
{
    const QString key = QStringLiteral("ID");
    return saveByKey(QStringLiteral("Material"), key, id,
                     {{key, id},
                      {QStringLiteral("Description"), description},
                      {QStringLiteral("Status"), status},
                      {QStringLiteral("Type"), type}},
                     {{QStringLiteral("DateAdded"), Clock::today()}}, loaded);
}

std::optional<Refusal> refuseMaterial(const QString &id, const QString &description, const QString &status,
                                      const QString &type)
{
    return required({{"txtID", id}, {"txtDesc", description}, {"cmbStatus", status}, {"cmbType", type}},
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
    return saveByKey(QStringLiteral("Sets"), key, v.refNo, fields, identity, v.loaded);
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
    return required(
        {{"txtRefNo", refNo}, {"cmbStatus", status}, {"cmbType", type}, {"txtMaterial", material}},
        QStringLiteral("Reference Number, Material, and Status are required."));
}

std::optional<Refusal> refuseSetMaterial(const QString &material)
{
    if (material.isEmpty() || MaterialExists(material))
        return std::nullopt;
    // The misspelling is the message users know.
    return Refusal{QStringLiteral("Invalid Materail Type. Please Re-enter."),
                   QStringLiteral("Invalid Material"), QStringLiteral("txtMaterial")};
}

std::optional<Refusal> refuseNonNumeric(const std::vector<NumberCheck> &checks)
{
    for (const NumberCheck &c : checks) {
        if (c.text.trimmed().isEmpty())
            continue;
        if (c.money ? Money::parse(c.text).has_value() : parseNumber(c.text).has_value())
            continue;
        return Refusal{QStringLiteral("%1 must be a number. Please re-enter.").arg(c.label),
                       QStringLiteral("Invalid Number"), c.field};
    }
    return std::nullopt;
}

} // namespace MasterData
