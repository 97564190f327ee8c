// Two workstations on one database: a second connection saves while the first holds its save
// open, and the second's rule is judged on what the first committed.

#include "TestSupport.h"

#include "core/schema/Schema.h"
#include "inventory/InventoryData.h"
#include "orders/OrderData.h"
#include "production/CutsheetData.h"
#include "production/MasterData.h"
#include "purchasing/DemandImport.h"
#include "purchasing/PurchaseOrders.h"
#include "shipping/ReceivableData.h"
#include "shipping/ShipmentData.h"

#include <QThread>

#include <functional>
#include <memory>

namespace {

constexpr auto kCustomer = "Cove Marine";

// What a save came to: empty when it saved, else the refusal's or the error's text.
using Outcome = QString;
using Save = std::function<Outcome()>;

Outcome outcome(const std::optional<Refusal> &refusal)
{
    return refusal ? refusal->text : QString();
}

// Runs `save` and turns a database error into its text.
Outcome attempt(const Save &save)
{
    try {
        return save();
    } catch (const DbError &e) {
        return e.message();
    } catch (const std::exception &e) {
        return QString::fromUtf8(e.what());
    }
}

// Another workstation: its own connection to the same database, saving on its own thread.
class Station
{
public:
    explicit Station(const QString &location) : m_db(Database::open(location, schema::password())) {}
    ~Station()
    {
        if (m_thread)
            m_thread->wait();
    }
    Database &db() { return *m_db; }

    void start(Save save)
    {
        m_waitsBefore = m_db->busyWaits();
        m_thread.reset(QThread::create([this, save] {
            ConnectionScope use(*m_db);
            m_outcome = attempt(save);
        }));
        m_thread->start();
    }
    // True once the station's save waits for the lock `holder` keeps.
    bool waitsFor(Database &holder)
    {
        if (m_db->isServer())
            return holder.sessionWaits(m_db->sessionId());
        return m_db->busyWaits() > m_waitsBefore;
    }
    bool finished() const { return m_thread && m_thread->isFinished(); }
    Outcome outcome()
    {
        m_thread->wait();
        return m_outcome;
    }

private:
    std::unique_ptr<Database> m_db;
    std::unique_ptr<QThread> m_thread;
    int m_waitsBefore = 0;
    Outcome m_outcome;
};

// One race: the data both stations start from, the save each makes, what the second must meet,
// and what must hold of the database afterwards.
struct Race
{
    std::function<void(TestDatabase &)> setUp;
    Save first;
    Save second;
    QString secondOutcome; // a prefix of it, for messages that end in a number
    QString invariant;     // a query giving 1 when the rule held
};

qint64 g_order = 0;
qint64 g_invoice = 0;
QList<qint64> g_pending;

void orderWithLine(TestDatabase &t, int qty)
{
    t.addCustomer(QLatin1String(kCustomer));
    t.addMaterial(QStringLiteral("BLK-01"));
    t.addSet(QStringLiteral("R100"), QLatin1String(kCustomer), 50);
    t.addEmployee(QStringLiteral("111"), QStringLiteral("Ann"), QStringLiteral("Cutter"));
    g_order = t.addOrder(QLatin1String(kCustomer), QStringLiteral("PO-1"));
    t.addOrderLine(g_order, 1, qty, QStringLiteral("R100"), 50);
}

void cut(int sets)
{
    DbConnection().insert(QStringLiteral("Cutsheets"), {{QStringLiteral("SSN"), QStringLiteral("111")},
                                                        {QStringLiteral("Date"), QDate(2010, 5, 3)},
                                                        {QStringLiteral("OrderID"), g_order},
                                                        {QStringLiteral("Item"), 1},
                                                        {QStringLiteral("Sets"), sets},
                                                        {QStringLiteral("Feet"), sets * 10}});
}

Save shipSets(qint64 qty)
{
    return [qty] {
        shipping::ShipmentLine line{QLatin1String(kCustomer), QStringLiteral("PO-1"), QStringLiteral("1 - R100"),
                                    10, qty, QStringLiteral("1"), g_order, 1};
        return outcome(shipping::saveShipment({{}, QDate(2010, 5, 14), QLatin1String(kCustomer), {line}, {}}).refusal);
    };
}

Save cutSets(int sets)
{
    return [sets] {
        return outcome(cutsheets::saveCutsheet({{}, QStringLiteral("Cutter, Ann"), QStringLiteral("111"),
                                                QDate(2010, 5, 14), QString::number(g_order), QStringLiteral("1"),
                                                QString::number(sets), QStringLiteral("20"), {}})
                           .refusal);
    };
}

Save pay(const QString &amount)
{
    return [amount] {
        return outcome(receivables::savePayment(QString::number(g_invoice), QDate(2010, 5, 14), amount));
    };
}

Save createPO()
{
    return [] {
        std::vector<purchasing::POLine> lines;
        for (qint64 id : g_pending)
            lines.push_back({id, 2, QStringLiteral("P"), QStringLiteral("hide"), QStringLiteral("Black"),
                             QStringLiteral("R"), Money::fromDouble(5), Money::fromDouble(10)});
        purchasing::POHeader header;
        header.vendor1 = QStringLiteral("Hide House");
        header.poDate = QDate(2010, 5, 14);
        header.dueDate = QDate(2010, 6, 1);
        purchasing::createPurchaseOrder(header, Money::fromDouble(20), lines);
        return Outcome();
    };
}

Save importDemand()
{
    return [] {
        purchasing::importDemand({}, QLatin1String(kCustomer));
        return Outcome();
    };
}

const std::map<QString, Race> &races()
{
    static const std::map<QString, Race> table = {
        {QStringLiteral("two shipments of the last cut sets"),
         {[](TestDatabase &t) {
              orderWithLine(t, 10);
              cut(6);
          },
          shipSets(6), shipSets(6), QStringLiteral("There are only 0 sets available for shipping."),
          QStringLiteral("SELECT (SELECT SUM(Qty) FROM ShipmentItems) <= (SELECT SUM(Sets) FROM Cutsheets)")}},
        {QStringLiteral("a cut sheet beyond the line while another station cuts it"),
         {[](TestDatabase &t) {
              orderWithLine(t, 10);
              cut(4);
          },
          cutSets(6), cutSets(3),
          QStringLiteral("Too many sets cut for Order/Item. There were only 10 sets ordered and 10 have been "
                         "previously cut. Please check data."),
          QStringLiteral("SELECT (SELECT SUM(Sets) FROM Cutsheets) <= (SELECT SUM(Qty) FROM OrderItem)")}},
        {QStringLiteral("two payments of the last balance"),
         {[](TestDatabase &t) {
              t.addCustomer(QLatin1String(kCustomer));
              receivables::ManualInvoice m{QLatin1String(kCustomer), QStringLiteral("Net 30"),
                                           QStringLiteral("100"), QDate(2010, 5, 1), QDate(2010, 5, 31)};
              g_invoice = receivables::saveManualInvoice(m).invoice;
              QVERIFY(!receivables::savePayment(QString::number(g_invoice), QDate(2010, 5, 2), "60"));
          },
          pay(QStringLiteral("40")), pay(QStringLiteral("40")),
          QStringLiteral("You may not receive payment greater than the remaining balance on an invoice."),
          QStringLiteral("SELECT (SELECT SUM(Amount) FROM Payments) <= (SELECT SUM(Total) FROM Invoice)")}},
        {QStringLiteral("two Create PO of the same items"),
         {[](TestDatabase &) {
              g_pending.clear();
              for (const char *ref : {"Q100", "Q200"})
                  g_pending << DbConnection().insert(QStringLiteral("PendingPOItems"),
                                                     {{QStringLiteral("CustomerRefNo"), QLatin1String(ref)},
                                                      {QStringLiteral("Quantity"), 2},
                                                      {QStringLiteral("Price"), 5},
                                                      {QStringLiteral("Status"), QStringLiteral("Open")}});
          },
          createPO(), createPO(), QStringLiteral("Pending item "),
          QStringLiteral("SELECT (SELECT COUNT(*) FROM PurchaseOrder) = 1 AND (SELECT COUNT(*) FROM "
                         "PurchaseOrderItem) = 2")}},
        {QStringLiteral("two demand imports at once"),
         {[](TestDatabase &t) { t.addCustomer(QLatin1String(kCustomer)); }, importDemand(), importDemand(),
          QString(),
          // Each run of the empty sheet logs that it imported nothing, and its summary.
          QStringLiteral("SELECT COUNT(DISTINCT ImportID) = 2 AND COUNT(*) = 4 FROM ImportXLSLog")}},
    };
    return table;
}

} // namespace

class tst_concurrency : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // The first station's save is made and held uncommitted; the second's starts, waits on it,
    // and is judged on what the first committed.
    void secondSaveJudgesTheFirst_data()
    {
        QTest::addColumn<QString>("race");
        for (const auto &[name, race] : races())
            QTest::newRow(qPrintable(name)) << name;
    }
    void secondSaveJudgesTheFirst()
    {
        QFETCH(QString, race);
        const Race &r = races().at(race);
        TestDatabase fx;
        r.setUp(fx);
        Station second(fx.path());
        {
            Transaction held(fx.db());
            QCOMPARE(attempt(r.first), QString());
            second.start(r.second);
            QTRY_VERIFY(second.waitsFor(fx.db()));
            QVERIFY(!second.finished());
            held.commit();
        }
        const Outcome met = second.outcome();
        if (r.secondOutcome.isEmpty())
            QCOMPARE(met, QString());
        else
            QVERIFY2(met.startsWith(r.secondOutcome), qPrintable(met));
        QCOMPARE(fx.db().scalar(r.invariant).toInt(), 1);
    }

    // A save that waits out the busy timeout gives up with the one message the clerk reads, and
    // writes nothing.
    void busyPastTheTimeout()
    {
        TestDatabase fx;
        races().at(QStringLiteral("two payments of the last balance")).setUp(fx);
        Station second(fx.path());
        second.db().setBusyTimeout(200);
        {
            Transaction held(fx.db());
            fx.db().lockRows(QStringLiteral("Invoice"), QStringLiteral("Invoice = ?"), {g_invoice});
            second.start(pay(QStringLiteral("10")));
            QCOMPARE(second.outcome(), DbError::busyMessage());
        }
        QCOMPARE(fx.db().scalar(QStringLiteral("SELECT COUNT(*) FROM Payments")).toInt(), 1);
        // Once free, the same save goes through.
        second.start(pay(QStringLiteral("10")));
        QCOMPARE(second.outcome(), QString());
    }

    // A demand import the server gives up to end a deadlock with another station's save is run
    // again whole, and then goes through: the other save moves order X then Y, the import Y then X.
    void importGivenUpInADeadlockRunsAgain()
    {
        if (!testingOnServer())
            QSKIP("the server only: on the file a save holds the whole file, so saves never deadlock");
        TestDatabase fx;
        fx.addCustomer(QLatin1String(kCustomer));
        const qint64 x = fx.addOrder(QLatin1String(kCustomer), QStringLiteral("PO-X"));
        const qint64 y = fx.addOrder(QLatin1String(kCustomer), QStringLiteral("PO-Y"));
        purchasing::DemandSheet sheet;
        sheet.lines.push_back({8, "5/3/2010", "PO-Y", "Q100", "1", "6/20/2010", "10"});
        sheet.lines.push_back({9, "5/3/2010", "PO-X", "Q100", "1", "6/21/2010", "10"});
        Station importer(fx.path());
        // This side looks for a deadlock only long after the importer does: the importer is the
        // one the server gives up.
        fx.db().exec(QStringLiteral("SET deadlock_timeout = '30s'"));
        const QString moveStatus = QStringLiteral("UPDATE Orders SET Status = 'Open' WHERE ID = ?");
        {
            Transaction held(fx.db());
            fx.db().exec(moveStatus, {x});
            importer.start([&] {
                purchasing::importDemand(sheet, QLatin1String(kCustomer));
                return Outcome();
            });
            // The importer has moved Y and waits for X.
            QTRY_VERIFY(importer.waitsFor(fx.db()));
            fx.db().exec(moveStatus, {y});
            held.commit();
        }
        QCOMPARE(importer.outcome(), QString());
        QCOMPARE(fx.db()
                     .scalar(QStringLiteral("SELECT COUNT(*) FROM Orders WHERE (ID = ? AND DueDate = ?) OR (ID = ? "
                                            "AND DueDate = ?)"),
                             {y, QDate(2010, 6, 20), x, QDate(2010, 6, 21)})
                     .toInt(),
                 2);
        QCOMPARE(fx.db().scalar(QStringLiteral("SELECT COUNT(DISTINCT ImportID) FROM ImportXLSLog")).toInt(), 1);
    }

    // An adjustment the server gives up to end a deadlock with a station rewriting the values
    // (as a reset does) is run again whole: the other side touches B then A, the adjustment A then B.
    void adjustmentGivenUpInADeadlockRunsAgain()
    {
        if (!testingOnServer())
            QSKIP("the server only: on the file a save holds the whole file, so saves never deadlock");
        TestDatabase fx;
        const QString a = QStringLiteral("MAT-A"), b = QStringLiteral("MAT-B");
        for (const QString &m : {a, b}) {
            fx.addMaterial(m);
            fx.db().insert(QStringLiteral("ItemValue"),
                           {{QStringLiteral("MaterialID"), m},
                            {QStringLiteral("Price"), QVariant::fromValue(Money::fromUnits(100000))}});
        }
        const inventory::Adjustment adjustment{
            QDate(2010, 5, 3),
            QStringLiteral("Count"),
            {{a, QStringLiteral("2"), QStringLiteral("12"), QStringLiteral("24")},
             {b, QStringLiteral("1"), QStringLiteral("8"), QStringLiteral("8")}}};
        Station adjuster(fx.path());
        fx.db().exec(QStringLiteral("SET deadlock_timeout = '30s'"));
        const QString touch = QStringLiteral("UPDATE ItemValue SET Price = Price WHERE MaterialID = ?");
        {
            Transaction held(fx.db());
            fx.db().exec(touch, {b});
            adjuster.start([&] { return outcome(inventory::saveAdjustment(adjustment).refusal); });
            // The adjuster has stored A's value and waits for B.
            QTRY_VERIFY(adjuster.waitsFor(fx.db()));
            fx.db().exec(touch, {a});
            held.commit();
        }
        QCOMPARE(adjuster.outcome(), QString());
        QCOMPARE(fx.db().scalar(QStringLiteral("SELECT COUNT(*) FROM Adjustment")).toInt(), 1);
        QCOMPARE(fx.db().scalar(QStringLiteral("SELECT COUNT(*) FROM AdjustmentItem")).toInt(), 2);
        // Each value moved once: halfway from 10 to the unit price.
        QCOMPARE(fx.db()
                     .scalar(QStringLiteral("SELECT Price FROM ItemValue WHERE MaterialID = ?"), {a})
                     .toDouble(),
                 11.0);
    }

    // A window saves what it loaded after another station saved the same record: refused, and
    // the other station's save stands.
    void saveAfterAnotherStationsSave_data()
    {
        QTest::addColumn<QString>("record");
        QTest::newRow("order") << "order";
        QTest::newRow("shipment") << "shipment";
        QTest::newRow("cut sheet") << "cut sheet";
        QTest::newRow("customer") << "customer";
        QTest::newRow("set") << "set";
    }
    void saveAfterAnotherStationsSave()
    {
        QFETCH(QString, record);
        TestDatabase fx;
        orderWithLine(fx, 10);
        cut(4);
        Station other(fx.path());
        QString message;
        QString kept; // a query that shows the other station's save is what is stored
        if (record == QLatin1String("order")) {
            const std::optional<OrderHeader> mine = orders::loadOrder(g_order);
            QVERIFY(mine);
            std::vector<OrderLine> lines = orders::loadOrderLines(g_order);
            {
                ConnectionScope use(other.db());
                std::optional<OrderHeader> theirs = orders::loadOrder(g_order);
                std::vector<OrderLine> theirLines = orders::loadOrderLines(g_order);
                theirLines.front().qty = 12;
                orders::saveOrder(*theirs, theirLines);
            }
            lines.front().qty = 11;
            message = attempt([&] {
                orders::saveOrder(*mine, lines);
                return Outcome();
            });
            QCOMPARE(message, QStringLiteral("Order %1 was changed on another workstation since you opened it. "
                                             "Open it again to see the changes.")
                                  .arg(g_order));
            kept = QStringLiteral("SELECT Qty = 12 FROM OrderItem");
        } else if (record == QLatin1String("shipment")) {
            QCOMPARE(shipSets(2)(), QString());
            const shipping::Loaded mine = shipping::loadShipment(QStringLiteral("1"));
            {
                ConnectionScope use(other.db());
                const shipping::Loaded theirs = shipping::loadShipment(QStringLiteral("1"));
                std::vector<shipping::ShipmentLine> lines = theirs.lines;
                lines.front().qty = 3;
                QVERIFY(!shipping::saveShipment({QStringLiteral("1"), theirs.date, theirs.customer, lines,
                                                 theirs.stamp})
                             .refusal);
            }
            std::vector<shipping::ShipmentLine> lines = mine.lines;
            lines.front().box = QStringLiteral("7");
            message = attempt([&] {
                return outcome(shipping::saveShipment({QStringLiteral("1"), mine.date, mine.customer, lines, mine.stamp})
                                   .refusal);
            });
            QCOMPARE(message, DbError::changedMessage(QStringLiteral("Shipment 1")));
            kept = QStringLiteral("SELECT Qty = 3 AND Box = '1' FROM ShipmentItems");
        } else if (record == QLatin1String("cut sheet")) {
            const cutsheets::Lookup mine = cutsheets::findCutsheet(QStringLiteral("1"));
            cutsheets::Entry entry{QStringLiteral("1"), QStringLiteral("Cutter, Ann"), QStringLiteral("111"),
                                   QDate(2010, 5, 3), QString::number(g_order), QStringLiteral("1"),
                                   QStringLiteral("5"), QString(), mine.stamp};
            {
                ConnectionScope use(other.db());
                cutsheets::Entry theirs = entry;
                theirs.setsText = QStringLiteral("3");
                theirs.loaded = cutsheets::findCutsheet(QStringLiteral("1")).stamp;
                QVERIFY(!cutsheets::saveCutsheet(theirs).refusal);
            }
            message = attempt([&] { return outcome(cutsheets::saveCutsheet(entry).refusal); });
            QCOMPARE(message, DbError::changedMessage(QStringLiteral("Cut sheet 1")));
            // A delete of what changed is refused the same way.
            QCOMPARE(attempt([&] {
                         cutsheets::deleteCutsheet(entry);
                         return Outcome();
                     }),
                     message);
            kept = QStringLiteral("SELECT Sets = 3 FROM Cutsheets");
        } else if (record == QLatin1String("customer")) {
            MasterData::LoadedRecord mine;
            mine.remember(QLatin1String(kCustomer), MasterData::FindCustomer(QLatin1String(kCustomer)));
            {
                ConnectionScope use(other.db());
                MasterData::SaveCustomer(QLatin1String(kCustomer), {{QStringLiteral("Terms"), QStringLiteral("Net 10")}},
                                         Database::stamp(*MasterData::FindCustomer(QLatin1String(kCustomer))));
            }
            message = attempt([&] {
                MasterData::SaveCustomer(QLatin1String(kCustomer), {{QStringLiteral("Terms"), QStringLiteral("COD")}},
                                         mine.stampFor(QLatin1String(kCustomer)));
                return Outcome();
            });
            QCOMPARE(message, DbError::changedMessage(QStringLiteral("Customer ") + QLatin1String(kCustomer)));
            kept = QStringLiteral("SELECT Terms = 'Net 10' FROM Customer");
        } else {
            MasterData::SetValues mine;
            mine.refNo = QStringLiteral("R100");
            mine.type = QStringLiteral("Set");
            mine.status = QStringLiteral("Active");
            mine.totalPrice = Money::fromDouble(60);
            mine.loaded = Database::stamp(*MasterData::FindSet(mine.refNo));
            {
                ConnectionScope use(other.db());
                MasterData::SetValues theirs = mine;
                theirs.totalPrice = Money::fromDouble(70);
                QVERIFY(!MasterData::SaveSet(theirs));
            }
            message = attempt([&] {
                MasterData::SaveSet(mine);
                return Outcome();
            });
            QCOMPARE(message, DbError::changedMessage(QStringLiteral("Set R100")));
            kept = QStringLiteral("SELECT TotalPrice = 70 FROM Sets");
        }
        QCOMPARE(fx.db().scalar(kept).toInt(), 1);
    }
};

QTEST_MAIN(tst_concurrency)
#include "tst_concurrency.moc"
