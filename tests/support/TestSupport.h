#pragma once

#include "core/Database.h"

#include <QTemporaryDir>
#include <QTest>

#include <memory>

// The engine the tests run on: the encrypted file, or, with CORVANE_TEST_DB=postgres, a fresh
// database on the PostgreSQL server whose socket folder CORVANE_TEST_PGHOST names.
bool testingOnServer();
// A fresh database holding the schema on the engine under test, dropped again afterwards.
std::unique_ptr<Database> freshTestDatabase(QString *location = nullptr);
// An empty database on the server, without the schema (for corvane-mkdb); its URI.
QString emptyTestDatabase();
void dropTestDatabase(const QString &location);

// For what only the encrypted file has (its key, its pages, its backups).
#define SKIP_ON_SERVER(why)                                                                                  \
    do {                                                                                                     \
        if (testingOnServer())                                                                               \
            QSKIP("the file engine only: " why);                                                             \
    } while (false)

// Makes the database refuse `event` (INSERT, UPDATE or DELETE) on `table` with `message` until
// the guard goes or lift() is called: a failure injected part-way through a save. `when` limits it
// to rows matching a condition on NEW (OLD for DELETE); empty refuses every row.
class RefusedWrites
{
public:
    RefusedWrites(Database &db, const QString &table, const QString &event,
                  const QString &message = QStringLiteral("refused"), const QString &when = {});
    ~RefusedWrites();
    RefusedWrites(const RefusedWrites &) = delete;
    RefusedWrites &operator=(const RefusedWrites &) = delete;
    void lift();

private:
    Database &m_db;
    QString m_table;
    QString m_name;
};

// A fresh database holding the schema, installed as the process-wide connection for the life of
// the object; message boxes and file dialogs are scripted, the clock is fixed.
class TestDatabase
{
public:
    explicit TestDatabase(const QDateTime &now = QDateTime(QDate(2010, 5, 14), QTime(10, 30)));
    ~TestDatabase();

    Database &db() { return DbConnection(); }
    // The file, or the server database's URI.
    QString path() const { return m_path; }
    QString folder() const { return m_dir.path(); }

    // Small inserts for hand-built fixtures.
    qint64 addCustomer(const QString &name, int days = 30, const QString &terms = QStringLiteral("Net 30"));
    void addMaterial(const QString &id, const QString &type = QStringLiteral("Leather"));
    void addSet(const QString &ref, const QString &customer, double totalPrice,
                const QString &type = QStringLiteral("Set"), const QString &material = QStringLiteral("BLK-01"));
    void addEmployee(const QString &ssn, const QString &first, const QString &last);
    qint64 addOrder(const QString &customer, const QString &orderNumber, const QString &status = QStringLiteral("Open"),
                    const QDate &orderDate = QDate(2010, 5, 1));
    void addOrderLine(qint64 orderId, int itemNumber, int qty, const QString &ref, double priceEach);
    qint64 addShipment(const QString &customer, const QDate &date);
    void addShipmentLine(qint64 shipmentId, int item, qint64 orderId, int lineItem, int qty,
                         const QString &box = QStringLiteral("1"));

private:
    QTemporaryDir m_dir;
    QString m_path;
};
