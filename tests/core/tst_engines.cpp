#include "TestSupport.h"
#include "core/Database.h"
#include "core/PgEngine.h"
#include "core/Startup.h"
#include "core/schema/Schema.h"

#include <QProcess>
#include <QTest>

// What the two engines must answer alike, and how the server says it cannot be used.
class TestEngines : public QObject
{
    Q_OBJECT

    // A second connection to the database under test.
    static std::unique_ptr<Database> secondConnection(const TestDatabase &t)
    {
        return testingOnServer() ? Database::openServer(t.path())
                                 : Database::open(t.path(), schema::password());
    }

    static QString serverUri(const QString &database, const QString &user = QStringLiteral("postgres"))
    {
        return QStringLiteral("postgresql:///%1?host=%2&user=%3")
            .arg(database, QString::fromLocal8Bit(qgetenv("CORVANE_TEST_PGHOST")), user);
    }

private Q_SLOTS:
    void caseBlindTextGivesTheSameRows_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QVariantList>("params");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("equal") << "SELECT Name FROM Customer WHERE Name = ? ORDER BY Name"
                               << QVariantList{"acme trim"} << QStringList{"Acme Trim"};
        QTest::newRow("like") << "SELECT Name FROM Customer WHERE Name LIKE ? ORDER BY Name"
                              << QVariantList{"b%"} << QStringList{"banner co", "Bolt_Works"};
        QTest::newRow("order") << "SELECT Name FROM Customer ORDER BY Name" << QVariantList{}
                               << QStringList{"Acme Trim", "banner co", "Bolt_Works", "Zed"};
        QTest::newRow("group") << "SELECT COUNT(*) AS N FROM Customer GROUP BY Status ORDER BY N"
                               << QVariantList{} << QStringList{"1", "3"};
        QTest::newRow("in") << "SELECT Name FROM Customer WHERE Status IN ('active') ORDER BY Name"
                            << QVariantList{} << QStringList{"Acme Trim", "banner co", "Zed"};
        QTest::newRow("lower order") << "SELECT Name FROM Customer ORDER BY LOWER(Name) DESC"
                                     << QVariantList{}
                                     << QStringList{"Zed", "Bolt_Works", "banner co", "Acme Trim"};
    }
    void caseBlindTextGivesTheSameRows()
    {
        QFETCH(QString, sql);
        QFETCH(QVariantList, params);
        QFETCH(QStringList, expected);
        TestDatabase t;
        for (const auto &[name, status] :
             std::initializer_list<std::pair<const char *, const char *>>{{"Zed", "Active"},
                                                                          {"banner co", "ACTIVE"},
                                                                          {"Acme Trim", "active"},
                                                                          {"Bolt_Works", "Inactive"}})
            t.db().insert(QStringLiteral("Customer"),
                          {{"Name", QString::fromLatin1(name)}, {"Status", QString::fromLatin1(status)}});
        QStringList got;
        for (const Row &r : t.db().query(sql, params))
            got << r.value(0).toString();
        QCOMPARE(got, expected);
    }

    void valuesReadBackAsTheFileGivesThem()
    {
        TestDatabase t;
        const qint64 id = t.db().insert(QStringLiteral("Invoice"),
                                        {{"Customer", QStringLiteral("Acme")},
                                         {"InvoiceDate", QDate(2010, 4, 14)},
                                         {"DueDate", QDate(2010, 5, 14)},
                                         {"Total", QVariant::fromValue(Money::fromUnits(1005000))}});
        QCOMPARE(t.db().insert(QStringLiteral("Invoice"), {{"Customer", QStringLiteral("Acme")}}), id + 1);
        const Row r =
            t.db()
                .query(QStringLiteral("SELECT Invoice, InvoiceDate, Total, Total * 2 AS Twice, "
                                      "%1 AS Days, RoundHalfEven(Total / 4, 2) AS Quarter "
                                      "FROM Invoice WHERE Invoice = ?")
                           .arg(t.db().daysBetween(QStringLiteral("DueDate"), QStringLiteral("InvoiceDate"))),
                       {id})
                .first();
        QCOMPARE(r.columns(), QStringList({"Invoice", "InvoiceDate", "Total", "Twice", "Days", "Quarter"}));
        QCOMPARE(r.integer(QStringLiteral("Invoice")), id);
        QCOMPARE(r.text(QStringLiteral("InvoiceDate")), QStringLiteral("2010-04-14"));
        QCOMPARE(r.text(QStringLiteral("Total")), QStringLiteral("100.5"));
        QCOMPARE(r.text(QStringLiteral("Twice")), QStringLiteral("201"));
        QCOMPARE(r.integer(QStringLiteral("Days")), 30);
        QCOMPARE(r.money(QStringLiteral("Quarter")), Money::fromUnits(251200)); // 25.125 to the even 25.12
    }

    void rowKeyFollowsTheOrderRowsWereAdded()
    {
        TestDatabase t;
        for (const char *ref : {"C", "A", "B"})
            t.db().insert(QStringLiteral("PriceUpdate"), {{"CustomerRefNumber", QString::fromLatin1(ref)}});
        QStringList got;
        for (const Row &r :
             t.db().query(QStringLiteral("SELECT CustomerRefNumber FROM PriceUpdate ORDER BY %1")
                              .arg(t.db().rowKey())))
            got << r.text(QStringLiteral("CustomerRefNumber"));
        QCOMPARE(got, QStringList({"C", "A", "B"}));
    }

    // The cut sheet log and the documents' scratch tables belong to one connection.
    void scratchTablesStayWithTheirConnection()
    {
        TestDatabase t;
        t.db().insert(QStringLiteral("CutsheetsTEMP"), {{"ID", 7}, {"Action", QStringLiteral("**New**")}});
        t.db().exec(QStringLiteral("CREATE TEMP TABLE tmpMine AS SELECT 1 AS X"));
        auto other = secondConnection(t);
        QCOMPARE(other->scalar(QStringLiteral("SELECT COUNT(*) FROM CutsheetsTEMP")).toInt(), 0);
        QVERIFY(!other->tableExists(QStringLiteral("tmpMine")));
        QVERIFY(t.db().tableExists(QStringLiteral("tmpMine")));
        QVERIFY(!t.db().tableNames().contains(QStringLiteral("CutsheetsTEMP"), Qt::CaseInsensitive));
        QCOMPARE(t.db().scalar(QStringLiteral("SELECT COUNT(*) FROM CutsheetsTEMP")).toInt(), 1);
    }

    // A clerk reads the engine's message: it names the table as the schema spells it on both.
    void failuresNameTablesAsSpelled_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QString>("named");
        QTest::newRow("missing column of a table") << "INSERT INTO OrderItem (NoSuchColumn) VALUES (1)"
                                                   << "OrderItem";
        QTest::newRow("table not in the query") << "SELECT OrderItem.Qty FROM Orders"
                                                << "OrderItem";
        QTest::newRow("qualified missing column") << "SELECT Cutsheets.Nope FROM Cutsheets"
                                                  << "Cutsheets";
        QTest::newRow("scratch table") << "SELECT tmpNoSuchTable.X FROM Orders"
                                       << "tmpNoSuchTable";
    }
    void failuresNameTablesAsSpelled()
    {
        QFETCH(QString, sql);
        QFETCH(QString, named);
        TestDatabase t;
        try {
            t.db().exec(sql);
            QFAIL("the bad statement ran");
        } catch (const DbError &e) {
            QVERIFY2(e.message().contains(named), qPrintable(e.message()));
            QVERIFY2(!e.message().contains(named.toLower()), qPrintable(e.message()));
        }
    }

    void failedTransactionLeavesNothing()
    {
        TestDatabase t;
        try {
            Transaction outer(t.db());
            t.db().insert(QStringLiteral("Shipment"), {{"Customer", QStringLiteral("Kept?")}});
            {
                Transaction inner(t.db());
                t.db().insert(QStringLiteral("Shipment"), {{"Customer", QStringLiteral("Inner")}});
                inner.commit();
            }
            t.db().exec(QStringLiteral("INSERT INTO NoSuchTable VALUES (1)"));
            outer.commit();
            QFAIL("the bad statement ran");
        } catch (const DbError &e) {
            QVERIFY(!e.message().isEmpty());
            QCOMPARE(e.file(), t.path());
        }
        QCOMPARE(t.db().scalar(QStringLiteral("SELECT COUNT(*) FROM Shipment")).toInt(), 0);
    }

    // Each way a server cannot be used is one plain line.
    void serverRefusalsArePlain_data()
    {
        QTest::addColumn<QString>("situation");
        QTest::addColumn<QString>("message");
        QTest::newRow("wrong password") << "password"
                                        << "The user name or password for the database server was not "
                                           "accepted.";
        QTest::newRow("no password") << "nopassword"
                                     << "The database server asks for a password.";
        QTest::newRow("missing database") << "missing"
                                          << "The database corvane_nosuch does not exist on the server.";
        QTest::newRow("unreachable") << "unreachable"
                                     << "The database server cannot be reached";
        QTest::newRow("no schema") << "empty"
                                   << "holds no tables of this program; corvane-mkdb prepares it.";
    }
    void serverRefusalsArePlain()
    {
        QFETCH(QString, situation);
        QFETCH(QString, message);
        if (!testingOnServer())
            QSKIP("needs the test server (CORVANE_TEST_DB=postgres)");
        auto admin = Database::openServer(serverUri(QStringLiteral("postgres")));
        admin->exec(QStringLiteral("DROP ROLE IF EXISTS clerk"));
        admin->exec(QStringLiteral("CREATE ROLE clerk LOGIN PASSWORD 'right-one'"));
        QString uri = serverUri(QStringLiteral("postgres"), QStringLiteral("clerk"));
        QString password;
        std::unique_ptr<Database> empty;
        QString emptyUri;
        if (situation == QLatin1String("password")) {
            password = QStringLiteral("wrong-one");
        } else if (situation == QLatin1String("missing")) {
            uri = serverUri(QStringLiteral("corvane_nosuch"));
        } else if (situation == QLatin1String("unreachable")) {
            uri = QStringLiteral("postgresql:///postgres?host=/nonexistent-folder");
        } else if (situation == QLatin1String("empty")) {
            empty = freshTestDatabase(&emptyUri);
            for (const QString &table : empty->tableNames())
                empty->exec(QStringLiteral("DROP TABLE %1").arg(table));
            uri = emptyUri;
        }
        qputenv("PGPASSFILE", "/nonexistent-passfile");
        try {
            if (situation == QLatin1String("empty"))
                openShopDatabase(uri);
            else
                Database::openServer(uri, QString(), password);
            QFAIL("the connection was made");
        } catch (const DbError &e) {
            QVERIFY2(e.message().contains(message), qPrintable(e.message()));
            QVERIFY2(!e.message().contains(u'\n'), qPrintable(e.message()));
        }
        // The right password is taken, given with the login box's user name.
        auto clerk = Database::openServer(serverUri(QStringLiteral("postgres"), QStringLiteral("clerk")),
                                          QStringLiteral("clerk"), QStringLiteral("right-one"));
        QCOMPARE(clerk->scalar(QStringLiteral("SELECT current_user")).toString(), QStringLiteral("clerk"));
        clerk.reset();
        if (empty) {
            empty.reset();
            dropTestDatabase(emptyUri);
        }
    }

    // corvane-mkdb prepares an empty server database and refuses one that holds tables.
    void mkdbPreparesOnlyAnEmptyServerDatabase()
    {
        if (!testingOnServer())
            QSKIP("needs the test server (CORVANE_TEST_DB=postgres)");
        QString uri;
        auto db = freshTestDatabase(&uri);
        const QString mkdb = QString::fromLocal8Bit(qgetenv("CORVANE_BIN")) + QStringLiteral("/corvane-mkdb");
        QProcess p;
        p.start(mkdb, {uri});
        QVERIFY(p.waitForFinished(60000));
        QCOMPARE(p.exitCode(), 1);
        QVERIFY(p.readAllStandardError().contains("already holds tables"));
        for (const QString &table : db->tableNames())
            db->exec(QStringLiteral("DROP TABLE %1").arg(table));
        db->execScript(QStringLiteral("DROP FUNCTION RoundHalfEven(NUMERIC, INTEGER); "
                                      "DROP FUNCTION RoundHalfEven(DOUBLE PRECISION, INTEGER)"));
        p.start(mkdb, {QStringLiteral("--demo"), uri});
        QVERIFY(p.waitForFinished(300000));
        QCOMPARE(p.exitCode(), 0);
        QVERIFY(db->scalar(QStringLiteral("SELECT COUNT(*) FROM Orders")).toInt() > 0);
        QCOMPARE(db->tableNames().size(), int(schema::tables().size()) + 2); // and the two of figures
        db.reset();
        dropTestDatabase(uri);
    }
};

QTEST_GUILESS_MAIN(TestEngines)
#include "tst_engines.moc"
