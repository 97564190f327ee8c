#include "TestSupport.h"

#include "core/Clock.h"
#include "core/Config.h"
#include "core/PgEngine.h"
#include "core/ReportJob.h"
#include "core/schema/Schema.h"

#include <QCoreApplication>
#include <QDir>
#include <QTest>

#ifdef CORVANE_TEST_WIDGETS
#include "app/Subsystems.h"
#include "ui/FileDialogs.h"
#include "ui/MessageBox.h"
#include "ui/Printing.h"
#endif

namespace {

QString serverUri(const QString &database)
{
    return QStringLiteral("postgresql:///%1?host=%2&user=postgres")
        .arg(database, QString::fromLocal8Bit(qgetenv("CORVANE_TEST_PGHOST")));
}

// The server's maintenance database, through which test databases are made and dropped.
Database &maintenance()
{
    static std::unique_ptr<Database> db = Database::openServer(serverUri(QStringLiteral("postgres")));
    return *db;
}

// A new empty database `name`, in place of any that a test program which died left behind.
void createEmptyDatabase(const QString &name)
{
    maintenance().exec(QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(name));
    maintenance().exec(
        QStringLiteral("CREATE DATABASE %1 TEMPLATE template0 ENCODING 'UTF8' LC_COLLATE 'C' LC_CTYPE 'C'")
            .arg(name));
}

// A database holding the empty schema, copied for every test: copying is quicker than installing.
QString serverTemplate()
{
    static const QString name = [] {
        const QString t = QStringLiteral("corvane_test_template");
        Database &m = maintenance();
        // Test programs run side by side: one makes the template, the others wait for it.
        m.scalar(QStringLiteral("SELECT pg_advisory_lock(4242)"));
        try {
            if (m.scalar(QStringLiteral("SELECT count(*) FROM pg_database WHERE datname = ?"), {t}).toInt() ==
                0) {
                createEmptyDatabase(t + QStringLiteral("_new"));
                {
                    auto db = Database::openServer(serverUri(t + QStringLiteral("_new")));
                    schema::install(*db);
                }
                m.exec(QStringLiteral("ALTER DATABASE %1_new RENAME TO %1").arg(t));
            }
        } catch (...) {
            m.scalar(QStringLiteral("SELECT pg_advisory_unlock(4242)"));
            throw;
        }
        m.scalar(QStringLiteral("SELECT pg_advisory_unlock(4242)"));
        return t;
    }();
    return name;
}

} // namespace

bool testingOnServer()
{
    return qgetenv("CORVANE_TEST_DB") == "postgres";
}

std::unique_ptr<Database> freshTestDatabase(QString *location)
{
    static int count = 0;
    const QString name =
        QStringLiteral("corvane_test_%1_%2").arg(QCoreApplication::applicationPid()).arg(++count);
    maintenance().exec(QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(name));
    maintenance().exec(QStringLiteral("CREATE DATABASE %1 TEMPLATE %2").arg(name, serverTemplate()));
    if (location)
        *location = serverUri(name);
    return Database::openServer(serverUri(name));
}

QString emptyTestDatabase()
{
    static int count = 0;
    const QString name =
        QStringLiteral("corvane_test_empty_%1_%2").arg(QCoreApplication::applicationPid()).arg(++count);
    createEmptyDatabase(name);
    return serverUri(name);
}

void dropTestDatabase(const QString &location)
{
    const QString name = serverDatabaseName(location);
    if (name.startsWith(QLatin1String("corvane_test_")))
        maintenance().exec(QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(name));
}

RefusedWrites::RefusedWrites(Database &db, const QString &table, const QString &event, const QString &message,
                             const QString &when)
    : m_db(db), m_table(table)
{
    static int count = 0;
    m_name = QStringLiteral("refuse_writes_%1").arg(++count);
    QString text = message;
    text.replace(u'\'', QLatin1String("''"));
    if (db.isServer()) {
        db.exec(QStringLiteral("CREATE FUNCTION %1() RETURNS trigger LANGUAGE plpgsql AS "
                               "$$BEGIN RAISE EXCEPTION '%2'; END$$")
                    .arg(m_name, text));
        db.exec(QStringLiteral("CREATE TRIGGER %1 BEFORE %2 ON %3 FOR EACH ROW %4 EXECUTE FUNCTION %1()")
                    .arg(m_name, event, table,
                         when.isEmpty() ? QString() : QStringLiteral("WHEN (%1)").arg(when)));
    } else {
        db.exec(QStringLiteral("CREATE TRIGGER %1 BEFORE %2 ON %3 %4 BEGIN SELECT RAISE(ABORT, '%5'); END")
                    .arg(m_name, event, table, when.isEmpty() ? QString() : QStringLiteral("WHEN ") + when,
                         text));
    }
}

RefusedWrites::~RefusedWrites()
{
    try {
        lift();
    } catch (const DbError &) {
        // The database went first; its trigger went with it.
    }
}

void RefusedWrites::lift()
{
    if (m_name.isEmpty())
        return;
    const QString name = std::exchange(m_name, QString());
    if (m_db.isServer()) {
        m_db.exec(QStringLiteral("DROP TRIGGER %1 ON %2").arg(name, m_table));
        m_db.exec(QStringLiteral("DROP FUNCTION %1()").arg(name));
    } else {
        m_db.exec(QStringLiteral("DROP TRIGGER %1").arg(name));
    }
}

TestDatabase::TestDatabase(const QDateTime &now)
{
    if (testingOnServer()) {
        setDbConnection(freshTestDatabase(&m_path));
    } else {
        m_path = QDir(m_dir.path()).filePath(QStringLiteral("test.db"));
        setDbConnection(schema::createDatabaseFile(m_path));
    }
    DatabasePath() = m_path;
    PriceChangeCutoff() = QStringLiteral("1/1/2010");
    Clock::setFixed(now);
#ifdef CORVANE_TEST_WIDGETS
    registerAllCommands();
    MessageBox::script();
    MessageBox::clearShown();
    FileDialogs::script({});
    // Windows print as where a printer stands; tests of the machine without one say so.
    printing::setPrinterAvailable(true);
#endif
    setReportOutput(nullptr);
}

TestDatabase::~TestDatabase()
{
    takeDbConnection();
    if (testingOnServer())
        dropTestDatabase(m_path);
    Clock::reset();
#ifdef CORVANE_TEST_WIDGETS
    MessageBox::stopScripting();
    MessageBox::clearShown();
    FileDialogs::stopScripting();
    printing::setPrinterAvailable(std::nullopt);
#endif
    setReportOutput(nullptr);
}

qint64 TestDatabase::addCustomer(const QString &name, int days, const QString &terms)
{
    return db().insert(QStringLiteral("Customer"), {{"Name", name},
                                                    {"Address1", QStringLiteral("1 Main St")},
                                                    {"City", QStringLiteral("Dayton")},
                                                    {"State", QStringLiteral("OH")},
                                                    {"Zip", QStringLiteral("45402")},
                                                    {"ShipTo", name},
                                                    {"ShipToAddress1", QStringLiteral("2 Dock Rd")},
                                                    {"ShipToCity", QStringLiteral("Dayton")},
                                                    {"ShipToState", QStringLiteral("OH")},
                                                    {"ShipToZip", QStringLiteral("45403")},
                                                    {"Status", QStringLiteral("Active")},
                                                    {"Terms", terms},
                                                    {"Days", days},
                                                    {"DateAdded", QStringLiteral("2010-01-02 09:00:00")}});
}

void TestDatabase::addMaterial(const QString &id, const QString &type)
{
    db().insert(QStringLiteral("Material"), {{"ID", id},
                                             {"Description", id + QStringLiteral(" hide")},
                                             {"Status", QStringLiteral("Active")},
                                             {"Type", type},
                                             {"DateAdded", QStringLiteral("2010-01-02")}});
}

void TestDatabase::addSet(const QString &ref, const QString &customer, double totalPrice, const QString &type,
                          const QString &material)
{
    db().insert(QStringLiteral("Sets"), {{"CustomerRefNo", ref},
                                         {"Customer", customer},
                                         {"Type", type},
                                         {"Style", QStringLiteral("ST-") + ref},
                                         {"Material", material},
                                         {"ReqFeet", 12.5},
                                         {"ProductionStandard", 12.0},
                                         {"EmployeeRate", 3.5},
                                         {"CuttingPrice", 10.0},
                                         {"SewingPrice", 20.0},
                                         {"VinylPrice", 0.0},
                                         {"LeatherPrice", totalPrice - 30.0},
                                         {"KitPrice", 0.0},
                                         {"TotalPrice", totalPrice},
                                         {"Status", QStringLiteral("Active")},
                                         {"DateAdded", QStringLiteral("2010-01-02 09:00:00")}});
}

void TestDatabase::addEmployee(const QString &ssn, const QString &first, const QString &last)
{
    db().insert(QStringLiteral("Employee"), {{"SSN", ssn},
                                             {"FirstName", first},
                                             {"LastName", last},
                                             {"Status", QStringLiteral("Active")},
                                             {"HireDate", QStringLiteral("2005-03-01")},
                                             {"DateAdded", QStringLiteral("2010-01-02 09:00:00")}});
}

qint64 TestDatabase::addOrder(const QString &customer, const QString &orderNumber, const QString &status,
                              const QDate &orderDate)
{
    return db().insert(QStringLiteral("Orders"), {{"OrderNumber", orderNumber},
                                                  {"Customer", customer},
                                                  {"OrderDate", orderDate},
                                                  {"DueDate", orderDate.addDays(21)},
                                                  {"ShipTo", customer},
                                                  {"Status", status},
                                                  {"DateAdded", orderDate},
                                                  {"Total", 0}});
}

void TestDatabase::addOrderLine(qint64 orderId, int itemNumber, int qty, const QString &ref, double priceEach)
{
    db().insert(QStringLiteral("OrderItem"), {{"OrderID", orderId},
                                              {"ItemNumber", itemNumber},
                                              {"Qty", qty},
                                              {"CustomerRefNo", ref},
                                              {"StyleID", QStringLiteral("ST-") + ref},
                                              {"MaterialID", QStringLiteral("BLK-01")},
                                              {"PriceEach", priceEach},
                                              {"PriceExt", Money::fromDouble(priceEach).times(double(qty)).toDouble()}});
}

qint64 TestDatabase::addShipment(const QString &customer, const QDate &date)
{
    return db().insert(QStringLiteral("Shipment"), {{"Date", date}, {"Customer", customer}});
}

void TestDatabase::addShipmentLine(qint64 shipmentId, int item, qint64 orderId, int lineItem, int qty,
                                   const QString &box)
{
    db().insert(QStringLiteral("ShipmentItems"), {{"ShipmentID", shipmentId},
                                                  {"Item", item},
                                                  {"OrderID", orderId},
                                                  {"LineItem", lineItem},
                                                  {"Qty", qty},
                                                  {"Box", box}});
}
