#include "TestServer.h"
#include "TestSupport.h"
#include "core/Database.h"
#include "core/PgEngine.h"
#include "core/Startup.h"
#include "core/schema/Schema.h"

#include <QTest>
#include <QThread>

#include <map>

// The running figures of what was cut, kept by the database on every change of cut sheets and
// order lines, against a count of the rows as they stand.
class TestFigures : public QObject
{
    Q_OBJECT

    using Figures = std::map<QString, qint64>;

    // "material" or "order/item" to a figure; what is nought is left out.
    static Figures read(Database &db, const QString &sql)
    {
        Figures out;
        for (const Row &r : db.query(sql)) {
            if (r.integer(QStringLiteral("N")) != 0)
                out[r.text(QStringLiteral("K")).toLower()] += r.integer(QStringLiteral("N"));
        }
        return out;
    }
    static Figures storedByMaterial(Database &db)
    {
        return read(db, QStringLiteral("SELECT MaterialID AS K, Feet AS N FROM CutByMaterial"));
    }
    // As the documents join them: once per line at the cut sheet's order and item, under no
    // material ('') when the line names none or there is no line.
    static Figures countedByMaterial(Database &db)
    {
        return read(
            db,
            QStringLiteral("SELECT COALESCE(OrderItem.MaterialID, '') AS K, SUM(%1) AS N FROM "
                           "Cutsheets LEFT JOIN OrderItem ON Cutsheets.OrderID = OrderItem.OrderID AND "
                           "Cutsheets.Item = OrderItem.ItemNumber WHERE Cutsheets.Date IS NOT NULL "
                           "GROUP BY OrderItem.MaterialID")
                .arg(schema::tenThousandths(QStringLiteral("COALESCE(Cutsheets.Feet, 0)"), db.isServer())));
    }
    static Figures storedByLine(Database &db)
    {
        return read(db,
                    QStringLiteral("SELECT CAST(OrderID AS TEXT) || '/' || CAST(ItemNumber AS TEXT) AS K, "
                                   "SetsLeft AS N FROM CutByLine"));
    }
    static Figures countedByLine(Database &db)
    {
        return read(
            db, QStringLiteral(
                    "SELECT CAST(OrderID AS TEXT) || '/' || CAST(ItemNumber AS TEXT) AS K, SUM(n) AS N FROM "
                    "(SELECT OrderID, ItemNumber, COALESCE(Qty, 0) AS n FROM OrderItem UNION ALL "
                    "SELECT OrderID, Item, -COALESCE(Sets, 0) FROM Cutsheets) m "
                    "WHERE OrderID IS NOT NULL AND ItemNumber IS NOT NULL GROUP BY OrderID, ItemNumber"));
    }

    static QString text(const Figures &f)
    {
        QStringList parts;
        for (const auto &[k, n] : f)
            parts << QStringLiteral("%1=%2").arg(k).arg(n);
        return parts.join(u' ');
    }

private Q_SLOTS:
    void keptThroughEveryKindOfChange_data()
    {
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QString>("byMaterial"); // what is stored at the end, in ten-thousandths
        QTest::addColumn<QString>("byLine");
        const QString line = QStringLiteral("INSERT INTO OrderItem (OrderID, ItemNumber, Qty, MaterialID) "
                                            "VALUES (%1, %2, %3, %4)");
        const QString cut = QStringLiteral("INSERT INTO Cutsheets (SSN, Date, OrderID, Item, Sets, Feet) "
                                           "VALUES ('1', '2010-05-01', %1, %2, %3, %4)");
        QTest::newRow("cut on a line")
            << QStringList{line.arg(1).arg(1).arg(5).arg("'BLK'"), cut.arg(1).arg(1).arg(2).arg(12.5)}
            << "blk=125000"
            << "1/1=3";
        QTest::newRow("a line's item number changed")
            << QStringList{line.arg(1).arg(1).arg(5).arg("'BLK'"), cut.arg(1).arg(1).arg(2).arg(12.5),
                           cut.arg(1).arg(2).arg(1).arg(3),
                           QStringLiteral("UPDATE OrderItem SET ItemNumber = 2")}
            << "=125000 blk=30000"
            << "1/1=-2 1/2=4";
        QTest::newRow("the same line twice, then once")
            << QStringList{line.arg(1).arg(1).arg(5).arg("'BLK'"), line.arg(1).arg(1).arg(5).arg("'TAN'"),
                           cut.arg(1).arg(1).arg(2).arg(12.5),
                           QStringLiteral("DELETE FROM OrderItem WHERE MaterialID = 'TAN'")}
            << "blk=125000"
            << "1/1=3";
        QTest::newRow("cut before its line was written")
            << QStringList{cut.arg(1).arg(1).arg(2).arg(12.5), line.arg(1).arg(1).arg(2).arg("'BLK'")}
            << "blk=125000"
            << "";
        QTest::newRow("cut past the sets ordered")
            << QStringList{line.arg(1).arg(1).arg(1).arg("'BLK'"), cut.arg(1).arg(1).arg(3).arg(7)}
            << "blk=70000"
            << "1/1=-2";
        QTest::newRow("the line's material changed")
            << QStringList{line.arg(1).arg(1).arg(5).arg("'BLK'"), cut.arg(1).arg(1).arg(2).arg(12.5),
                           QStringLiteral("UPDATE OrderItem SET MaterialID = 'TAN'")}
            << "tan=125000"
            << "1/1=3";
        // An order's save writes its lines again.
        QTest::newRow("the lines deleted and written again")
            << QStringList{line.arg(1).arg(1).arg(5).arg("'BLK'"),
                           line.arg(1).arg(2).arg(1).arg("'TAN'"),
                           cut.arg(1).arg(1).arg(2).arg(12.5),
                           cut.arg(1).arg(2).arg(1).arg(3),
                           QStringLiteral("DELETE FROM OrderItem WHERE OrderID = 1"),
                           line.arg(1).arg(1).arg(2).arg("'BLK'"),
                           line.arg(1).arg(2).arg(4).arg("'BLK'")}
            << "blk=155000"
            << "1/2=3";
        QTest::newRow("a cut sheet moved to another line and its feet changed")
            << QStringList{line.arg(1).arg(1).arg(5).arg("'BLK'"), line.arg(2).arg(1).arg(5).arg("'TAN'"),
                           cut.arg(1).arg(1).arg(2).arg(12.5),
                           QStringLiteral("UPDATE Cutsheets SET OrderID = 2, Feet = 10.25, Sets = 3")}
            << "tan=102500"
            << "1/1=5 2/1=2";
        QTest::newRow("a cut sheet deleted")
            << QStringList{line.arg(1).arg(1).arg(5).arg("'BLK'"), cut.arg(1).arg(1).arg(2).arg(12.5),
                           cut.arg(1).arg(1).arg(3).arg(20),
                           QStringLiteral("DELETE FROM Cutsheets WHERE Sets = 2")}
            << "blk=200000"
            << "1/1=2";
        QTest::newRow("a line without a material, given one later")
            << QStringList{line.arg(1).arg(1).arg(5).arg("NULL"), cut.arg(1).arg(1).arg(2).arg(12.5),
                           QStringLiteral("UPDATE OrderItem SET MaterialID = 'BLK'")}
            << "blk=125000"
            << "1/1=3";
        QTest::newRow("the material in other case is the same")
            << QStringList{line.arg(1).arg(1).arg(5).arg("'BLK'"), line.arg(2).arg(1).arg(5).arg("'blk'"),
                           cut.arg(1).arg(1).arg(1).arg(1), cut.arg(2).arg(1).arg(1).arg(2)}
            << "blk=30000"
            << "1/1=4 2/1=4";
        // Tenths have no exact double: added and taken away again they leave nought, not a trace.
        QTest::newRow("tenths added and taken away")
            << QStringList{line.arg(1).arg(1).arg(5).arg("'BLK'"),
                           cut.arg(1).arg(1).arg(1).arg(0.1),
                           cut.arg(1).arg(1).arg(1).arg(0.2),
                           cut.arg(1).arg(1).arg(1).arg(0.7),
                           QStringLiteral("DELETE FROM Cutsheets WHERE Feet < 0.5"),
                           QStringLiteral("DELETE FROM Cutsheets")}
            << ""
            << "1/1=5";
        // The documents count a cut sheet from its day on, and one without a day never.
        QTest::newRow("a cut sheet without a day, given one later")
            << QStringList{line.arg(1).arg(1).arg(5).arg("'BLK'"), cut.arg(1).arg(1).arg(2).arg(12.5),
                           QStringLiteral("UPDATE Cutsheets SET Date = NULL"),
                           cut.arg(1).arg(1).arg(1).arg(3),
                           QStringLiteral("UPDATE Cutsheets SET Date = '2010-06-01' WHERE Sets = 2")}
            << "blk=155000"
            << "1/1=2";
        QTest::newRow("no feet, no sets")
            << QStringList{line.arg(1).arg(1).arg(5).arg("'BLK'"), cut.arg(1).arg(1).arg("NULL").arg("NULL")}
            << ""
            << "1/1=5";
        QTest::newRow("a cut sheet of no line, and no order at all")
            << QStringList{cut.arg(9).arg(1).arg(2).arg(4), cut.arg("NULL").arg("NULL").arg(2).arg(4)}
            << "=80000"
            << "9/1=-2";
    }
    void keptThroughEveryKindOfChange()
    {
        QFETCH(QStringList, steps);
        QFETCH(QString, byMaterial);
        QFETCH(QString, byLine);
        TestDatabase t;
        Database &db = t.db();
        for (const QString &step : steps) {
            db.exec(step);
            QCOMPARE(text(storedByMaterial(db)), text(countedByMaterial(db)));
            QCOMPARE(text(storedByLine(db)), text(countedByLine(db)));
        }
        QCOMPARE(text(storedByMaterial(db)), byMaterial);
        QCOMPARE(text(storedByLine(db)), byLine);
        // A line's figure is kept only while it is not nought.
        QCOMPARE(db.scalar(QStringLiteral("SELECT COUNT(*) FROM CutByLine WHERE SetsLeft = 0")).toInt(), 0);

        // Counted again from the rows, they come out the same.
        schema::dropCutFigures(db);
        QVERIFY(!schema::hasCutFigures(db));
        QVERIFY(schema::addCutFigures(db));
        QCOMPARE(text(storedByMaterial(db)), byMaterial);
        QCOMPARE(text(storedByLine(db)), byLine);
        QVERIFY(!schema::addCutFigures(db));
    }

    // Two workstations at once: a cut sheet saved while another changes its line's material.
    // The second waits for the first to commit, then counts the feet it saved; without that, the
    // feet stayed with the old material.
    void cutWhileItsLineChangesElsewhere()
    {
        TestDatabase t;
        Database &db = t.db();
        db.exec(QStringLiteral(
            "INSERT INTO OrderItem (OrderID, ItemNumber, Qty, MaterialID) VALUES (1, 1, 5, 'BLK')"));
        std::unique_ptr<Database> other = Database::open(t.path(), schema::password());
        const int waitsBefore = other->busyWaits();
        Transaction tx(db);
        db.exec(QStringLiteral("INSERT INTO Cutsheets (SSN, Date, OrderID, Item, Sets, Feet) "
                               "VALUES ('1', '2010-05-01', 1, 1, 2, 12.5)"));
        QString failure;
        std::unique_ptr<QThread> station(QThread::create([&] {
            try {
                ConnectionScope use(*other);
                Transaction otherTx(*other);
                other->exec(QStringLiteral("UPDATE OrderItem SET MaterialID = 'TAN'"));
                otherTx.commit();
            } catch (const DbError &e) {
                failure = e.message();
            }
        }));
        station->start();
        QTRY_VERIFY(other->isServer() ? db.sessionWaits(other->sessionId())
                                      : other->busyWaits() > waitsBefore);
        tx.commit();
        QVERIFY(station->wait(10000));
        QCOMPARE(failure, QString());
        QCOMPARE(text(storedByMaterial(db)), QStringLiteral("tan=125000"));
        QCOMPARE(text(storedByMaterial(db)), text(countedByMaterial(db)));
    }

    // A clerk's own login on a server shop made before the figures: it may not add them, and the
    // shop still opens for it; once the owner has, its cut sheets keep them and it reads them.
    void clerkWithoutRightsOnTheSchema()
    {
        if (!testingOnServer())
            QSKIP("logins are the server's");
        TestDatabase t;
        Database &db = t.db();
        schema::dropCutFigures(db);
        db.exec(QStringLiteral(
            "INSERT INTO OrderItem (OrderID, ItemNumber, Qty, MaterialID) VALUES (1, 1, 5, 'BLK')"));
        db.execScript(QStringLiteral(
            "DO $$ BEGIN CREATE ROLE corvane_cutter LOGIN; EXCEPTION WHEN duplicate_object THEN NULL; END "
            "$$; "
            "GRANT SELECT, INSERT, UPDATE, DELETE ON ALL TABLES IN SCHEMA public TO corvane_cutter"));
        const QString uri = testServerUri(serverDatabaseName(t.path()), QStringLiteral("corvane_cutter"));
        {
            std::unique_ptr<Database> clerk = openShopDatabase(uri);
            QVERIFY(!schema::hasCutFigures(*clerk));
        }
        QVERIFY(schema::addCutFigures(db));
        std::unique_ptr<Database> clerk = openShopDatabase(uri);
        clerk->exec(QStringLiteral("INSERT INTO Cutsheets (SSN, Date, OrderID, Item, Sets, Feet) "
                                   "VALUES ('1', '2010-05-01', 1, 1, 2, 12.5)"));
        QCOMPARE(text(storedByMaterial(*clerk)), QStringLiteral("blk=125000"));
        QCOMPARE(text(storedByLine(*clerk)), QStringLiteral("1/1=3"));
    }

    // A save that fails part-way takes its figures back with its rows.
    void failedSaveLeavesTheFigures()
    {
        TestDatabase t;
        Database &db = t.db();
        db.exec(QStringLiteral(
            "INSERT INTO OrderItem (OrderID, ItemNumber, Qty, MaterialID) VALUES (1, 1, 5, 'BLK')"));
        int reached = 0;
        db.setStatementHook([&reached](int statement) {
            reached = statement;
            if (statement == 2)
                throw DbError(1, QStringLiteral("forced"));
        });
        QVERIFY_THROWS_EXCEPTION(DbError, [&] {
            Transaction tx(db);
            db.exec(QStringLiteral("INSERT INTO Cutsheets (SSN, Date, OrderID, Item, Sets, Feet) "
                                   "VALUES ('1', '2010-05-01', 1, 1, 2, 12.5)"));
            db.exec(QStringLiteral("DELETE FROM OrderItem"));
            tx.commit();
        }());
        db.setStatementHook({});
        QVERIFY(reached >= 2); // the server counts its rollback too
        QCOMPARE(text(storedByMaterial(db)), QString());
        QCOMPARE(text(storedByLine(db)), QStringLiteral("1/1=5"));
    }
};

QTEST_GUILESS_MAIN(TestFigures)
#include "tst_figures.moc"
