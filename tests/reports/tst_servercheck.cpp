#include "TestServer.h"
#include "TestSupport.h"
#include "core/Database.h"
#include "core/PgEngine.h"
#include "reports/ReportCommandLine.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>

// corvane --check on a server database says in words what keeps the program from it.
class TestServerCheck : public QObject
{
    Q_OBJECT

    struct Result
    {
        int code = -1;
        QString out;
        QString err;
    };
    static Result check(const QStringList &args, const QString &programFolder = {})
    {
        QString out;
        QString err;
        QTextStream o(&out);
        QTextStream e(&err);
        QTextStream in(stdin);
        Result r;
        r.code = reports::runReportCommand(QStringList{QStringLiteral("--check")} + args, programFolder, o, e,
                                           &in);
        r.out = out;
        r.err = err;
        return r;
    }

private Q_SLOTS:
    void initTestCase()
    {
        const QString why = startTestServer();
        if (!why.isEmpty())
            QSKIP(qPrintable(why));
        qputenv("PGPASSFILE", "/nonexistent-passfile");
        auto admin = Database::openServer(testServerUri(QStringLiteral("postgres")));
        // Made once and never dropped: other test programs use the same login side by side.
        admin->execScript(QStringLiteral(
            "DO $$ BEGIN CREATE ROLE clerk LOGIN PASSWORD 'right-one'; EXCEPTION WHEN duplicate_object THEN "
            "NULL; END $$; DO $$ BEGIN CREATE ROLE corvane_reader LOGIN; EXCEPTION WHEN duplicate_object "
            "THEN NULL; END $$"));
    }

    void cleanup() { qunsetenv("PGPASSWORD"); }

    void soundDatabaseReadsWhole_data()
    {
        QTest::addColumn<bool>("fromConfig");
        QTest::newRow("--db") << false;
        QTest::newRow("config.txt") << true;
    }
    void soundDatabaseReadsWhole()
    {
        QFETCH(bool, fromConfig);
        QString uri;
        freshTestDatabase(&uri)->insert(QStringLiteral("Customer"), {{"Name", QStringLiteral("Acme")}});
        QTemporaryDir program;
        QFile config(QDir(program.path()).filePath(QStringLiteral("config.txt")));
        QVERIFY(config.open(QIODevice::WriteOnly));
        config.write(
            QStringLiteral("\"Corvane\"\nDatabase,\"%1\"\nPriceChangeCutoff,1/1/2010\n").arg(uri).toUtf8());
        config.close();
        const Result r = fromConfig ? check({}, program.path()) : check({QStringLiteral("--db"), uri});
        dropTestDatabase(uri);
        QVERIFY2(r.code == 0, qPrintable(r.err));
        QCOMPARE(r.out, QStringLiteral("%1: no damage found.\n").arg(uri));
    }

    // Each thing that keeps the program from a server database is said in words.
    void problemsSaidInWords_data()
    {
        QTest::addColumn<QString>("situation");
        QTest::addColumn<QString>("message");
        QTest::newRow("unreachable") << "unreachable"
                                     << "The database server cannot be reached";
        QTest::newRow("wrong password")
            << "password"
            << "The user name or password for the database server was not accepted.";
        QTest::newRow("missing database") << "missing"
                                          << "The database corvane_test_nosuch does not exist on the server.";
        QTest::newRow("no tables") << "empty"
                                   << "holds no tables of this program; corvane-mkdb prepares it.";
        QTest::newRow("missing tables") << "tables"
                                        << "the table(s) Payments, POSetup are missing.";
        QTest::newRow("another version") << "version"
                                         << "holds a schema of another version of this program (Orders lacks "
                                            "Total; ShipmentItems lacks QtyOrd, Box)";
        QTest::newRow("unreadable table") << "unreadable"
                                          << "table Payments: permission denied for table Payments";
    }
    void problemsSaidInWords()
    {
        QFETCH(QString, situation);
        QFETCH(QString, message);
        QString uri;
        auto db = freshTestDatabase(&uri);
        const QString name = serverDatabaseName(uri);
        QString target = uri;
        if (situation == QLatin1String("unreachable")) {
            target = QStringLiteral("postgresql:///corvane?host=/nonexistent-folder");
        } else if (situation == QLatin1String("password")) {
            target = testServerUri(name, QStringLiteral("clerk"));
            qputenv("PGPASSWORD", "wrong-one");
        } else if (situation == QLatin1String("missing")) {
            target = testServerUri(QStringLiteral("corvane_test_nosuch"));
        } else if (situation == QLatin1String("empty")) {
            for (const QString &table : db->tableNames())
                db->exec(QStringLiteral("DROP TABLE %1").arg(table));
        } else if (situation == QLatin1String("tables")) {
            db->execScript(QStringLiteral("DROP TABLE Payments; DROP TABLE POSetup"));
        } else if (situation == QLatin1String("version")) {
            db->execScript(
                QStringLiteral("ALTER TABLE Orders DROP COLUMN Total; ALTER TABLE ShipmentItems DROP "
                               "COLUMN QtyOrd; ALTER TABLE ShipmentItems DROP COLUMN Box"));
        } else if (situation == QLatin1String("unreadable")) {
            db->execScript(
                QStringLiteral("GRANT SELECT, INSERT, UPDATE, DELETE ON ALL TABLES IN SCHEMA public TO "
                               "corvane_reader; REVOKE ALL ON Payments FROM corvane_reader"));
            target = testServerUri(name, QStringLiteral("corvane_reader"));
        }
        db.reset();
        const Result r = check({QStringLiteral("--db"), target});
        dropTestDatabase(uri); // the grants go with it
        QCOMPARE(r.code, 1);
        QVERIFY2(r.err.contains(message), qPrintable(r.err));
        QVERIFY(r.out.isEmpty());
        // One plain statement of the problem, and where.
        QVERIFY2(r.err.count(QStringLiteral("\n")) <= 3, qPrintable(r.err));
    }
};

QTEST_MAIN(TestServerCheck)
#include "tst_servercheck.moc"
