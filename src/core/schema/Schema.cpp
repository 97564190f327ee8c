#include "core/schema/Schema.h"

#include "core/Database.h"

#include <sqlcipher/sqlite3.h>

namespace schema {

namespace {

using K = Kind;

// Text compares, groups and sorts without regard to case (NOCASE), so "acme" finds "ACME".
// Money is NUMERIC with four decimals; the program reads it back exactly (Money).
const char *sqlType(Kind k)
{
    switch (k) {
    case K::AutoNumber:
        return "INTEGER PRIMARY KEY AUTOINCREMENT";
    case K::Text:
        return "TEXT COLLATE NOCASE";
    case K::Integer:
        return "INTEGER";
    case K::Decimal:
        return "DOUBLE PRECISION";
    case K::Money:
        return "DECIMAL(19,4)";
    case K::Date:
        return "DATE";
    case K::DateTime:
        return "TIMESTAMP";
    }
    return "TEXT";
}

const std::vector<Table> kTables = {
    {"Orders",
     {{"ID", K::AutoNumber},       {"OrderNumber", K::Text},    {"Customer", K::Text},
      {"OrderDate", K::Date},      {"DueDate", K::Date},        {"ShipTo", K::Text},
      {"ShipToAddress1", K::Text}, {"ShipToAddress2", K::Text}, {"ShipToCity", K::Text},
      {"ShipToState", K::Text},    {"ShipToZip", K::Text},      {"ShipToPhone", K::Text},
      {"ShipToFax", K::Text},      {"Status", K::Text},         {"DateAdded", K::Date},
      {"Total", K::Money}}},
    {"OrderItem",
     {{"OrderID", K::Integer},
      {"ItemNumber", K::Integer},
      {"Qty", K::Integer},
      {"CustomerRefNo", K::Text},
      {"StyleID", K::Text},
      {"MaterialID", K::Text},
      {"PriceEach", K::Money},
      {"PriceExt", K::Money}}},
    {"Sets",
     {{"CustomerRefNo", K::Text},
      {"Customer", K::Text},
      {"Type", K::Text},
      {"Style", K::Text},
      {"Material", K::Text},
      {"ReqFeet", K::Decimal},
      {"ProductionStandard", K::Decimal},
      {"EmployeeRate", K::Money},
      {"CuttingPrice", K::Money},
      {"SewingPrice", K::Money},
      {"VinylPrice", K::Money},
      {"LeatherPrice", K::Money},
      {"KitPrice", K::Money},
      {"TotalPrice", K::Money},
      {"Status", K::Text},
      {"DateAdded", K::DateTime}}},
    {"PriceUpdate", {{"CustomerRefNumber", K::Text}, {"DatePriceChanged", K::Date}}},
    {"Customer",
     {{"Name", K::Text},          {"Address1", K::Text},       {"Address2", K::Text},
      {"City", K::Text},          {"State", K::Text},          {"Zip", K::Text},
      {"Phone", K::Text},         {"Fax", K::Text},            {"ShipTo", K::Text},
      {"ShipToAddress1", K::Text}, {"ShipToAddress2", K::Text}, {"ShipToCity", K::Text},
      {"ShipToState", K::Text},   {"ShipToZip", K::Text},      {"ShipToPhone", K::Text},
      {"ShipToFax", K::Text},     {"Status", K::Text},         {"Terms", K::Text},
      {"Days", K::Integer},       {"DateAdded", K::DateTime}}},
    {"Employee",
     {{"SSN", K::Text},
      {"FirstName", K::Text},
      {"LastName", K::Text},
      {"Address", K::Text},
      {"City", K::Text},
      {"State", K::Text},
      {"Zip", K::Text},
      {"Phone", K::Text},
      {"Status", K::Text},
      {"HireDate", K::Date},
      {"DateAdded", K::DateTime}}},
    {"Material",
     {{"ID", K::Text}, {"Description", K::Text}, {"Status", K::Text}, {"Type", K::Text}, {"DateAdded", K::Date}}},
    {"Cutsheets",
     {{"ID", K::AutoNumber},
      {"SSN", K::Text},
      {"Date", K::Date},
      {"OrderID", K::Integer},
      {"Item", K::Integer},
      {"Sets", K::Integer},
      {"Feet", K::Decimal}}},
    {"CutsheetsTEMP",
     {{"ID", K::Integer},
      {"SSN", K::Text},
      {"Date", K::Date},
      {"OrderID", K::Integer},
      {"Item", K::Integer},
      {"Sets", K::Integer},
      {"Feet", K::Decimal},
      {"Action", K::Text}}},
    {"Shipment", {{"ID", K::AutoNumber}, {"Date", K::Date}, {"Customer", K::Text}}},
    {"ShipmentItems",
     {{"ShipmentID", K::Integer},
      {"Item", K::Integer},
      {"OrderID", K::Integer},
      {"LineItem", K::Integer},
      {"OrderNumber", K::Text},
      {"ItemDesc", K::Text},
      {"QtyOrd", K::Integer},
      {"Qty", K::Integer},
      {"Box", K::Text}}},
    {"Invoice",
     {{"Invoice", K::AutoNumber},
      {"Customer", K::Text},
      {"InvoiceDate", K::Date},
      {"DueDate", K::Date},
      {"Terms", K::Text},
      {"Shipment", K::Integer},
      {"Total", K::Money},
      {"Type", K::Text}}},
    {"Payments", {{"ID", K::AutoNumber}, {"Invoice", K::Integer}, {"Date", K::Date}, {"Amount", K::Money}}},
    {"Adjustment", {{"ID", K::AutoNumber}, {"Date", K::Date}, {"DateAdded", K::Date}, {"Reason", K::Text}}},
    {"AdjustmentItem",
     {{"AdjustmentID", K::Integer},
      {"MaterialID", K::Text},
      {"Adjustment", K::Decimal},
      {"PriceEach", K::Money},
      {"PriceExt", K::Money}}},
    {"ItemValue", {{"MaterialID", K::Text}, {"Price", K::Money}}},
    {"CrossReferenceTable",
     {{"CustomerRefNumber", K::Text},
      {"PartNumber", K::Text},
      {"Description", K::Text},
      {"ColorName", K::Text},
      {"RStringNumber", K::Text},
      {"Cost", K::Money}}},
    {"PendingPOItems",
     {{"ID", K::AutoNumber},
      {"CustomerRefNo", K::Text},
      {"PartNumber", K::Text},
      {"Description", K::Text},
      {"ColorName", K::Text},
      {"RStringNumber", K::Text},
      {"Price", K::Money},
      {"Quantity", K::Decimal},
      {"DockDate", K::Date},
      {"Status", K::Text},
      {"POID", K::Integer},
      {"POItemID", K::Integer}}},
    {"PurchaseOrder",
     {{"ID", K::AutoNumber}, {"Vendor1", K::Text}, {"Vendor2", K::Text}, {"Vendor3", K::Text},
      {"PODate", K::Date},   {"DueDate", K::Date}, {"Terms", K::Text},   {"BillTo1", K::Text},
      {"BillTo2", K::Text},  {"BillTo3", K::Text}, {"ShipTo1", K::Text}, {"ShipTo2", K::Text},
      {"ShipTo3", K::Text},  {"Comment", K::Text}, {"Total", K::Money}}},
    {"PurchaseOrderItem",
     {{"ID", K::AutoNumber},
      {"POID", K::Integer},
      {"Quantity", K::Decimal},
      {"PartNumber", K::Text},
      {"Description", K::Text},
      {"Color", K::Text},
      {"ColorNumber", K::Text},
      {"PriceEach", K::Money},
      {"PriceExt", K::Money},
      {"PendingPOItemID", K::Integer}}},
    {"POSetup",
     {{"Vendor1", K::Text},
      {"Vendor2", K::Text},
      {"Vendor3", K::Text},
      {"Terms", K::Text},
      {"BillTo1", K::Text},
      {"BillTo2", K::Text},
      {"BillTo3", K::Text},
      {"ShipTo1", K::Text},
      {"ShipTo2", K::Text},
      {"ShipTo3", K::Text},
      {"Comment", K::Text}}},
    {"ImportXLSLog",
     {{"ID", K::AutoNumber}, {"ImportID", K::Integer}, {"LogDate", K::DateTime}, {"Description", K::Text}}},
    {"tmpHistory",
     {{"Material", K::Text},
      {"Date", K::Date},
      {"Description", K::Text},
      {"ID", K::Integer},
      {"Who", K::Text},
      {"Qty", K::Decimal},
      {"BegBal", K::Decimal}}},
};

// Join columns the windows and reports use; nothing depends on them but speed.
const char *kIndexes[][2] = {
    {"Orders", "Customer"},
    {"Orders", "OrderNumber"},
    // The orders of a period, and which of them are void, without reading the orders themselves.
    {"Orders", "OrderDate, Status"},
    // Open orders in the order the order documents list them, without reading the closed ones.
    {"Orders", "Status, Customer, OrderNumber"},
    // A line's material and the sets cut on it come with the look-up, without reading the rows:
    // the stock documents look up every line and every cut sheet.
    {"OrderItem", "OrderID, ItemNumber, MaterialID"},
    {"OrderItem", "CustomerRefNo"},
    {"OrderItem", "MaterialID"},
    {"Sets", "CustomerRefNo"},
    {"Sets", "Customer"},
    {"PriceUpdate", "CustomerRefNumber"},
    {"Customer", "Name"},
    {"Employee", "SSN"},
    {"Material", "ID"},
    {"Cutsheets", "OrderID, Item, Sets"},
    {"Cutsheets", "SSN"},
    {"Cutsheets", "Date"},
    {"ShipmentItems", "ShipmentID"},
    {"ShipmentItems", "OrderID, LineItem"},
    {"Shipment", "Customer"},
    {"Invoice", "Shipment"},
    {"Invoice", "Customer"},
    {"Invoice", "InvoiceDate"},
    {"Payments", "Invoice"},
    {"Payments", "Date"},
    {"AdjustmentItem", "AdjustmentID"},
    {"AdjustmentItem", "MaterialID"},
    {"ItemValue", "MaterialID"},
    {"CrossReferenceTable", "CustomerRefNumber"},
    {"PendingPOItems", "Status"},
    {"PurchaseOrderItem", "POID"},
    {"ImportXLSLog", "ImportID"},
};

QString indexName(const char *const ix[2])
{
    QString name = QStringLiteral("ix_%1_%2").arg(QLatin1String(ix[0]), QString::fromLatin1(ix[1]));
    name.remove(u' ').replace(u',', u'_');
    return name;
}

QString indexStatement(const char *const ix[2])
{
    return QStringLiteral("CREATE INDEX IF NOT EXISTS \"%1\" ON \"%2\" (%3)")
        .arg(indexName(ix), QLatin1String(ix[0]), QLatin1String(ix[1]));
}

bool indexExists(Database &db, const QString &name)
{
    return db.scalar(QStringLiteral("SELECT count(*) FROM sqlite_master WHERE type = 'index' AND name = ? "
                                    "COLLATE NOCASE"),
                     {name})
               .toLongLong() > 0;
}

// The file cannot be written now: read-only, or locked by another connection.
bool cannotWrite(const DbError &e)
{
    const int primary = e.code() & 0xff;
    return primary == SQLITE_READONLY || primary == SQLITE_BUSY || primary == SQLITE_LOCKED;
}

ProgressHook &upgradeProgress()
{
    static ProgressHook hook;
    return hook;
}

} // namespace

const std::vector<Table> &tables()
{
    return kTables;
}

QString ddl()
{
    QString sql;
    for (const Table &t : kTables) {
        QStringList cols;
        for (const Column &c : t.columns)
            cols << QStringLiteral("  \"%1\" %2").arg(QLatin1String(c.name), QLatin1String(sqlType(c.kind)));
        sql += QStringLiteral("CREATE TABLE \"%1\" (\n%2\n);\n").arg(QLatin1String(t.name), cols.join(u",\n"));
    }
    for (const auto &ix : kIndexes)
        sql += indexStatement(ix) + QStringLiteral(";\n");
    return sql;
}

QStringList missingIndexes(Database &db)
{
    QStringList missing;
    for (const auto &ix : kIndexes) {
        if (!indexExists(db, indexName(ix)))
            missing << indexName(ix);
    }
    return missing;
}

int addMissingIndexes(Database &db, const ProgressHook &progress)
{
    const QStringList missing = missingIndexes(db);
    if (missing.isEmpty())
        return 0;
    const int total = int(missing.size());
    // The last call ends the job for the hook, also when a failure cuts it short.
    struct Ending
    {
        const ProgressHook &progress;
        int total;
        ~Ending()
        {
            if (progress)
                progress(total, total);
        }
    } ending{progress, total};
    if (progress)
        progress(0, total);
    Transaction tx(db);
    int done = 0;
    for (const auto &ix : kIndexes) {
        if (!missing.contains(indexName(ix)))
            continue;
        db.exec(indexStatement(ix));
        if (progress && ++done < total)
            progress(done, total);
    }
    tx.commit();
    return total;
}

void upgradeOpenedFile(Database &db)
{
    try {
        addMissingIndexes(db, upgradeProgress());
    } catch (const DbError &e) {
        // The indexes only make it faster: a file that cannot take them now still serves.
        if (!cannotWrite(e))
            throw;
    }
}

void setUpgradeProgress(ProgressHook hook)
{
    upgradeProgress() = std::move(hook);
}

void install(Database &db)
{
    Transaction tx(db);
    db.execScript(ddl());
    tx.commit();
}

QByteArray password()
{
    return QByteArrayLiteral("ZQX");
}

std::unique_ptr<Database> createDatabaseFile(const QString &path, const QByteArray &key)
{
    auto db = Database::create(path, key);
    install(*db);
    return db;
}

} // namespace schema
