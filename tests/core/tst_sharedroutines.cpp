#include "core/Clock.h"
#include "core/Config.h"
#include "core/SharedRoutines.h"
#include "TestSupport.h"

#include <QTest>

#include <sqlcipher/sqlite3.h>

class TestSharedRoutines : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void closeShippedOrdersClosesOnlyExactlyShippedOrders()
    {
        TestDatabase t;
        const QString c = QStringLiteral("ACME");
        auto order = [&](const QString &number, QList<QPair<int, int>> lines) {
            const qint64 id = t.addOrder(c, number);
            const qint64 ship = t.addShipment(c, QDate(2010, 5, 10));
            int item = 1;
            for (const auto &[qty, shipped] : lines) {
                t.addOrderLine(id, item, qty, QStringLiteral("R1"), 10);
                if (shipped >= 0)
                    t.addShipmentLine(ship, item, id, item, shipped);
                ++item;
            }
            return id;
        };
        const qint64 exact = order(QStringLiteral("exact"), {{5, 5}, {2, 2}});
        const qint64 shortOne = order(QStringLiteral("short"), {{5, 5}, {2, 1}});
        const qint64 over = order(QStringLiteral("over"), {{5, 6}});
        const qint64 unshipped = order(QStringLiteral("unshipped"), {{5, 5}, {3, -1}});
        const qint64 noLines = t.addOrder(c, QStringLiteral("none"));
        const qint64 voided = order(QStringLiteral("void"), {{1, 1}});
        t.db().exec(QStringLiteral("UPDATE Orders SET Status = 'Void' WHERE ID = ?"), {voided});
        // Two shipments adding up to the ordered quantity close the order too.
        const qint64 split = t.addOrder(c, QStringLiteral("split"));
        t.addOrderLine(split, 1, 4, QStringLiteral("R1"), 10);
        t.addShipmentLine(t.addShipment(c, QDate(2010, 5, 1)), 1, split, 1, 1);
        t.addShipmentLine(t.addShipment(c, QDate(2010, 5, 2)), 1, split, 1, 3);

        QCOMPARE(CloseShippedOrders(), QList<qint64>({exact, split}));
        auto status = [&](qint64 id) {
            return t.db().scalar(QStringLiteral("SELECT Status FROM Orders WHERE ID = ?"), {id}).toString();
        };
        QCOMPARE(status(exact), QStringLiteral("Closed"));
        QCOMPARE(status(split), QStringLiteral("Closed"));
        QCOMPARE(status(shortOne), QStringLiteral("Open"));
        QCOMPARE(status(over), QStringLiteral("Open"));
        QCOMPARE(status(unshipped), QStringLiteral("Open"));
        QCOMPARE(status(noLines), QStringLiteral("Open"));
        QCOMPARE(status(voided), QStringLiteral("Void"));
    }

    void updateSetPriceMovesTheDifferenceToLeather()
    {
        TestDatabase t;
        t.addSet(QStringLiteral("AB-1"), QStringLiteral("ACME"), 100); // leather 70
        t.addSet(QStringLiteral("AB-2"), QStringLiteral("ACME"), 50);
        UpdateSetPrice(QStringLiteral("ab-1"), *Money::parse(QStringLiteral("100")), *Money::parse(QStringLiteral("90")));
        const RowSet set = t.db().query(QStringLiteral("SELECT * FROM Sets WHERE CustomerRefNo = 'AB-1'"));
        QCOMPARE(set[0].money(QStringLiteral("TotalPrice")).toPlainString(), QStringLiteral("90"));
        QCOMPARE(set[0].money(QStringLiteral("LeatherPrice")).toPlainString(), QStringLiteral("60"));
        QCOMPARE(set[0].money(QStringLiteral("CuttingPrice")).toPlainString(), QStringLiteral("10"));
        QCOMPARE(t.db().scalar(QStringLiteral("SELECT TotalPrice FROM Sets WHERE CustomerRefNo = 'AB-2'")).toDouble(), 50.0);
        QCOMPARE(t.db().scalar(QStringLiteral("SELECT DatePriceChanged FROM PriceUpdate")).toString(),
                 QStringLiteral("2010-05-14"));

        // A second change restamps the one row.
        Clock::setFixed(QDateTime(QDate(2010, 6, 1), QTime(9, 0)));
        UpdateSetPrice(QStringLiteral("AB-1"), *Money::parse(QStringLiteral("90")), *Money::parse(QStringLiteral("95.25")));
        QCOMPARE(t.db().scalar(QStringLiteral("SELECT count(*) FROM PriceUpdate")).toInt(), 1);
        QCOMPARE(t.db().scalar(QStringLiteral("SELECT DatePriceChanged FROM PriceUpdate")).toString(),
                 QStringLiteral("2010-06-01"));
        QCOMPARE(Money::fromVariant(t.db().scalar(QStringLiteral("SELECT LeatherPrice FROM Sets WHERE CustomerRefNo = 'AB-1'")))
                     .toPlainString(),
                 QStringLiteral("65.25"));
    }

    void priceChangedSinceCountsOnlyChangesAfterTheCutoff_data()
    {
        QTest::addColumn<QString>("changed");
        QTest::addColumn<bool>("expected");
        QTest::newRow("day before") << "2010-01-31" << false;
        QTest::newRow("on the cut-off day") << "2010-02-01" << false;
        QTest::newRow("day after") << "2010-02-02" << true;
    }
    void priceChangedSinceCountsOnlyChangesAfterTheCutoff()
    {
        QFETCH(QString, changed);
        QFETCH(bool, expected);
        TestDatabase t;
        PriceChangeCutoff() = QStringLiteral("2/1/2010");
        t.db().insert(QStringLiteral("PriceUpdate"),
                      {{"CustomerRefNumber", QStringLiteral("O'Neil-7")}, {"DatePriceChanged", changed}});
        QCOMPARE(PriceChangedSince(QStringLiteral("O'Neil-7")), expected);
        QCOMPARE(PriceChangedSince(QStringLiteral("other")), false);
    }

    void dropTableIgnoresMissingTables()
    {
        TestDatabase t;
        DropTable(QStringLiteral("tmpNothing"));
        t.db().exec(QStringLiteral("CREATE TABLE tmpSomething AS SELECT 1 AS X"));
        DropTable(QStringLiteral("tmpSomething"));
        QVERIFY(!t.db().tableExists(QStringLiteral("tmpSomething")));
    }

    // Only a missing table is quietly fine: a table that stays must never be built on.
    void dropTablePassesRealFailuresThrough_data()
    {
        QTest::addColumn<QString>("situation");
        QTest::addColumn<QString>("engineSays");
        QTest::newRow("read-only connection") << "readonly"
                                              << "readonly database";
        QTest::newRow("a view of that name") << "view"
                                             << "DROP VIEW";
        QTest::newRow("table in use by a running read") << "reading"
                                                        << "locked";
    }
    void dropTablePassesRealFailuresThrough()
    {
        QFETCH(QString, situation);
        QFETCH(QString, engineSays);
        SKIP_ON_SERVER("a read-only connection and a running read are the file's situations");
        TestDatabase t;
        t.db().exec(QStringLiteral("CREATE TABLE tmpOpenOrdersCut AS SELECT 1 AS X UNION SELECT 2"));
        sqlite3_stmt *reading = nullptr;
        if (situation == QLatin1String("readonly")) {
            t.db().exec(QStringLiteral("PRAGMA query_only = ON"));
        } else if (situation == QLatin1String("view")) {
            t.db().exec(QStringLiteral("DROP TABLE tmpOpenOrdersCut"));
            t.db().exec(QStringLiteral("CREATE VIEW tmpOpenOrdersCut AS SELECT 1 AS X"));
        } else {
            QCOMPARE(
                sqlite3_prepare_v2(t.db().handle(), "SELECT X FROM tmpOpenOrdersCut", -1, &reading, nullptr),
                SQLITE_OK);
            QCOMPARE(sqlite3_step(reading), SQLITE_ROW);
        }
        try {
            DropTable(QStringLiteral("tmpOpenOrdersCut"));
            sqlite3_finalize(reading);
            QFAIL("the failure was swallowed");
        } catch (const DbError &e) {
            sqlite3_finalize(reading);
            QVERIFY2(e.message().contains(engineSays, Qt::CaseInsensitive), qPrintable(e.message()));
        }
        t.db().exec(QStringLiteral("PRAGMA query_only = OFF"));
        QCOMPARE(
            t.db()
                .scalar(QStringLiteral("SELECT count(*) FROM sqlite_master WHERE name = 'tmpOpenOrdersCut'"))
                .toInt(),
            1);
    }

    void typeAheadRules()
    {
        TypeAhead ta;
        const QStringList customers{"Acme", "Smith Auto", "Smooth Rides", "Stitch Co"};
        int a = 0, b = 0; // two lists
        QCOMPARE(ta.feed(&a, u's', customers, 100.0), 1);
        QCOMPARE(ta.feed(&a, u'm', customers, 100.4), 1); // "sm" within half a second
        QCOMPARE(ta.feed(&a, u'o', customers, 100.8), 2); // "smo"
        QCOMPARE(ta.feed(&a, u't', customers, 101.4), -1); // 0.6 s later: "t" alone, which matches nothing
        QCOMPARE(ta.buffer(), QStringLiteral("t"));
        QCOMPARE(ta.feed(&a, u's', customers, 102.0), 1);
        QCOMPARE(ta.feed(&b, u'a', customers, 102.1), 0); // another list starts anew
        QCOMPARE(ta.buffer(), QStringLiteral("a"));
        QCOMPARE(ta.feed(&b, u'x', customers, 102.2), -1); // no match: selection stays, buffer keeps it
        QCOMPARE(ta.buffer(), QStringLiteral("ax"));
        QCOMPARE(ta.feed(&b, u'\b', customers, 102.3), -1); // backspace is appended, deletes nothing
        QCOMPARE(ta.buffer(), QStringLiteral("ax\b"));
        QCOMPARE(ta.feed(&b, u'S', customers, 103.0), 1); // case ignored
        // A list that is gone leaves no search behind for a new one at the same address.
        QCOMPARE(ta.feed(&b, u'a', customers, 104.0), 0);
        ta.forget(&a); // another list: nothing changes
        QCOMPARE(ta.feed(&b, u'c', customers, 104.1), 0);
        QCOMPARE(ta.buffer(), QStringLiteral("ac"));
        ta.forget(&b);
        QCOMPARE(ta.feed(&b, u's', customers, 104.2), 1);
        QCOMPARE(ta.buffer(), QStringLiteral("s"));
    }
};

QTEST_GUILESS_MAIN(TestSharedRoutines)
#include "tst_sharedroutines.moc"
