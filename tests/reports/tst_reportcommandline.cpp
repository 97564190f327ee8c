#include "core/Passphrase.h"
#include "core/schema/Schema.h"
#include "reports/ReportCommandLine.h"
#include "reports/ReportDesign.h"
#include "ReportTestSupport.h"
#include "TestSupport.h"
#include "core/Backup.h"
#include "core/SharedRoutines.h"
#include "core/Startup.h"
#include "core/schema/Schema.h"
#include "reports/ReportCommandLine.h"
#include "reports/ReportDesign.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

using namespace reports;


class TestReportCommandLine : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void badArgumentsGiveUsage_data();
    void badArgumentsGiveUsage();
    void csvHoldsTheRowsAsHandedOver();
    void csvOfSubReportAndQuoting();
    void pdfOfInvoiceUsesStoredInvoice();
    void datesReadInBothForms_data();
    void datesReadInBothForms();
    void missingDatabaseFails();
    void missingRecordsAreNamed_data();
    void missingRecordsAreNamed();
    void checkNamesDamagedTables();
    void backupAndRestore_data();
    void backupAndRestore();
    void restoreRefusesWhileTheProgramHoldsTheFile();
    void programRunsWithoutWindow();
    void outputOntoTheDatabaseIsRefused_data();
    void outputOntoTheDatabaseIsRefused();
    void fileWithoutTheShopsTablesIsRefused_data();
    void fileWithoutTheShopsTablesIsRefused();
    void passphraseOpensAKeyedFile();
    void serverDatabaseHasNoFileCommands_data();
    void serverDatabaseHasNoFileCommands();
};

void TestReportCommandLine::outputOntoTheDatabaseIsRefused_data()
{
    QTest::addColumn<QString>("option");
    QTest::addColumn<QString>("target");
    QTest::newRow("csv onto the database") << "--csv" << "db";
    QTest::newRow("pdf onto the database") << "--pdf" << "db";
    QTest::newRow("csv onto ./database") << "--csv" << "relative";
    QTest::newRow("csv whose sub-report would be the database") << "--csv" << "sub";
    QTest::newRow("csv onto config.txt") << "--csv" << "config";
}

// Exit 2 and nothing written: the database opens and reads as before.
void TestReportCommandLine::outputOntoTheDatabaseIsRefused()
{
    QFETCH(QString, option);
    QFETCH(QString, target);
    if (target != QLatin1String("config"))
        SKIP_ON_SERVER("the database is no file that output could overwrite");
    TestDatabase t;
    loadShopFixture();
    QTemporaryDir program;
    QFile config(program.filePath(QStringLiteral("config.txt")));
    QVERIFY(config.open(QIODevice::WriteOnly));
    config.write("H\nDatabase,\"" + t.path().toUtf8() + "\"\nCutoff,1/1/2010\n");
    config.close();
    const QFileInfo db(t.path());
    QString document = QStringLiteral("crptCustomerReport");
    QString out = t.path();
    if (target == "relative") {
        QDir::setCurrent(db.absolutePath());
        out = QStringLiteral("./") + db.fileName();
    } else if (target == "sub") {
        // The AR document writes its payments beside its CSV, as NAME-sub.csv.
        QVERIFY(QFile::rename(t.path(), db.absoluteDir().filePath(QStringLiteral("shop-sub.csv"))));
        QVERIFY(QFile::link(db.absoluteDir().filePath(QStringLiteral("shop-sub.csv")), t.path()));
        out = db.absoluteDir().filePath(QStringLiteral("shop.csv"));
        document = QStringLiteral("crptARTranReport");
    } else if (target == "config") {
        out = config.fileName();
    }
    const qint64 before = QFileInfo(t.path()).size();
    QStringList args{"--report", document, option, out};
    if (document == QLatin1String("crptARTranReport"))
        args << "--arg" << "from=2010-01-01" << "--arg" << "to=2010-12-31";
    const CommandResult r = runCommand(args, program.path());
    QCOMPARE(r.code, 2);
    QVERIFY2(r.err.count(u'\n') == 1 && r.err.contains(QStringLiteral("the document was not written")), qPrintable(r.err));
    QCOMPARE(QFileInfo(t.path()).size(), before);
    QVERIFY(!QFileInfo::exists(db.absoluteDir().filePath(QStringLiteral("shop.csv"))));
    QCOMPARE(runCommand({"--check"}, program.path()).code, 0);
}

void TestReportCommandLine::fileWithoutTheShopsTablesIsRefused_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("empty file") << QByteArray();
    QTest::newRow("one byte") << QByteArray("x");
}

// Neither --check nor a document takes a file that holds no shop for a sound one.
void TestReportCommandLine::fileWithoutTheShopsTablesIsRefused()
{
    QFETCH(QByteArray, bytes);
    TestDatabase t;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("shop.db"));
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
    f.close();
    for (const QStringList &args : {QStringList{"--check", "--db", path},
                                    QStringList{"--report", "crptCustomerReport", "--csv",
                                                dir.filePath(QStringLiteral("c.csv")), "--db", path}}) {
        const CommandResult r = runCommand(args);
        QCOMPARE(r.code, 1);
        QVERIFY2(r.err.contains(path) && r.err.contains(QStringLiteral("not a")) && r.err.count(u'\n') == 1,
                 qPrintable(r.err));
        QVERIFY(!r.out.contains(QStringLiteral("no damage found")));
    }
    QVERIFY(!QFileInfo::exists(dir.filePath(QStringLiteral("c.csv"))));
}

// A file keyed with the shop's own passphrase opens only with it; the fixed key no longer does.
void TestReportCommandLine::passphraseOpensAKeyedFile()
{
    SKIP_ON_SERVER("a passphrase keys the shop file");
    TestDatabase t;
    loadShopFixture();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("keyed.db"));
    QVERIFY(QFile::copy(t.path(), path));
    {
        auto db = Database::open(path, schema::password());
        QVERIFY(passphrase::refusal("short", "short"));
        QVERIFY(passphrase::refusal("long enough one", "long enough two"));
        QVERIFY(!passphrase::refusal("long enough one", "long enough one"));
        passphrase::rekey(*db, "long enough one");
    }
    const QStringList args{"--report", "crptCustomerReport", "--csv", dir.filePath(QStringLiteral("c.csv")), "--db",
                           path};
    QList<QByteArray> asked;
    passphrase::setPrompt([&](const QString &, int attempt) {
        asked << QByteArray::number(attempt);
        return attempt < 3 ? QByteArray("wrong passphrase") : QByteArray("long enough one");
    });
    CommandResult r = runCommand(args);
    QCOMPARE(r.code, 0);
    QCOMPARE(asked, QList<QByteArray>({"1", "2", "3"}));
    QCOMPARE(runCommand({"--report", "crptCustomerReport", "--csv", dir.filePath(QStringLiteral("plain.csv")),
                         "--db", t.path()})
                 .code,
             0);
    QCOMPARE(csvLines(dir.filePath(QStringLiteral("c.csv"))), csvLines(dir.filePath(QStringLiteral("plain.csv"))));
    QVERIFY(csvLines(dir.filePath(QStringLiteral("c.csv"))).size() > 1);
    // Three wrong answers, or none, end in one plain line.
    passphrase::setPrompt([](const QString &, int) { return QByteArray("wrong passphrase"); });
    r = runCommand(args);
    QCOMPARE(r.code, 1);
    QVERIFY2(r.err.contains(QStringLiteral("passphrase was wrong three times")), qPrintable(r.err));
    passphrase::setPrompt([](const QString &, int) { return QByteArray(); });
    r = runCommand(args);
    QCOMPARE(r.code, 1);
    QVERIFY2(r.err.contains(QStringLiteral("keyed with a passphrase")), qPrintable(r.err));
    // Without a prompt the file reads as before: not opened.
    passphrase::setPrompt({});
    QCOMPARE(runCommand(args).code, 1);
    QVERIFY_THROWS_EXCEPTION(DbError, Database::open(path, schema::password()));
}

void TestReportCommandLine::badArgumentsGiveUsage_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("says");
    QTest::newRow("no document") << QStringList{"--pdf", "x.pdf"} << "Name the document with --report.";
    QTest::newRow("no output") << QStringList{"--report", "crptMaterialReport"} << "Give exactly one of";
    QTest::newRow("two outputs") << QStringList{"--report", "crptMaterialReport", "--pdf", "a.pdf", "--csv", "a.csv"}
                                 << "Give exactly one of";
    QTest::newRow("unknown document") << QStringList{"--report", "crptNothing", "--csv", "a.csv"}
                                      << "There is no document named \"crptNothing\".";
    QTest::newRow("unknown option") << QStringList{"--report", "crptMaterialReport", "--csv", "a.csv", "--fast"}
                                    << "Unknown argument \"--fast\".";
    QTest::newRow("option without value") << QStringList{"--report", "crptMaterialReport", "--csv"} << "--csv needs a value.";
    QTest::newRow("arg without =") << QStringList{"--report", "crptPackingSlip", "--arg", "shipment", "--csv", "a.csv"}
                                   << "--arg takes KEY=VALUE";
    QTest::newRow("arg not taken") << QStringList{"--report", "crptMaterialReport", "--arg", "id=3", "--csv", "a.csv"}
                                   << "crptMaterialReport takes no --arg id.";
    QTest::newRow("arg missing") << QStringList{"--report", "crptPackingSlip", "--csv", "a.csv"}
                                 << "This document needs --arg shipment=NUMBER.";
    QTest::newRow("id not a number") << QStringList{"--report", "crptPackingSlip", "--arg", "shipment=12a", "--csv", "a.csv"}
                                     << "--arg shipment must be a whole number";
    QTest::newRow("optional number not a number")
        << QStringList{"--report", "crptInvoice", "--arg", "shipment=9001", "--arg", "invoice=3OO3", "--csv", "a.csv"}
        << "--arg invoice must be a whole number, not \"3OO3\".";
    QTest::newRow("optional date not a date")
        << QStringList{"--report", "crptInvoice", "--arg", "shipment=9001", "--arg", "due=2010-13-01", "--csv", "a.csv"}
        << "--arg due must be a date (yyyy-mm-dd or m/d/yyyy), not \"2010-13-01\".";
    QTest::newRow("required date missing") << QStringList{"--report", "crptARTranReport", "--arg", "from=5/1/2010",
                                                          "--csv", "a.csv"}
                                           << "This document needs --arg to=DATE (yyyy-mm-dd or m/d/yyyy).";
    QTest::newRow("bad date") << QStringList{"--report", "crptARTranReport", "--arg", "from=5/44/2010", "--arg",
                                             "to=2010-05-31", "--csv", "a.csv"}
                              << "--arg from must be a date";
    // The whole text is the date, or it is no date at all.
    QTest::newRow("date with text after it") << QStringList{"--report", "crptARTranReport", "--arg",
                                                            "from=2024-01-01'; x", "--arg", "to=2024-12-31", "--csv",
                                                            "a.csv"}
                                             << "--arg from must be a date";
    QTest::newRow("date with a time after it") << QStringList{"--report", "crptARTranReport", "--arg",
                                                              "from=2024-01-01 10:00", "--arg", "to=2024-12-31",
                                                              "--csv", "a.csv"}
                                               << "--arg from must be a date";
    QTest::newRow("check with a document") << QStringList{"--set-passphrase", "--report", "crptSetReport"}
                                           << "--set-passphrase takes only --db.";
    QTest::newRow("backup with a document")
        << QStringList{"--backup", "--pdf", "a.pdf"} << "--backup takes only --db and --to.";
    QTest::newRow("--to alone") << QStringList{"--to", "x"} << "--to goes with --backup.";
    QTest::newRow("backup and check")
        << QStringList{"--backup", "--check"} << "Give one of --check, --backup, --restore and --set-passphrase.";
    QTest::newRow("restore without a backup") << QStringList{"--restore"} << "--restore needs a value.";
    QTest::newRow("restore with a document")
        << QStringList{"--restore", "b.db", "--report", "crptSetReport"} << "--restore takes only --db.";
}

void TestReportCommandLine::badArgumentsGiveUsage()
{
    QFETCH(QStringList, args);
    QFETCH(QString, says);
    TestDatabase t;
    QTemporaryDir dir;
    QDir::setCurrent(dir.path());
    const CommandResult r = runCommand(args + QStringList{"--db", t.path()});
    QCOMPARE(r.code, 2);
    // One line: the reason and where to read more; the whole usage is for --help.
    QVERIFY2(r.err.startsWith(QStringLiteral("corvane: ") + says), qPrintable(r.err));
    QVERIFY2(r.err.endsWith(QStringLiteral(" (see corvane --help)\n")), qPrintable(r.err));
    QCOMPARE(r.err.count(u'\n'), 1);
    QVERIFY(!QFileInfo::exists(dir.filePath(QStringLiteral("a.csv"))));
    QCOMPARE(DbConnection().path(), t.path()); // the test's own connection is back
}

void TestReportCommandLine::csvHoldsTheRowsAsHandedOver()
{
    TestDatabase t;
    loadShopFixture();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("open.csv"));
    const CommandResult r = runCommand({"--report", "crptOpenOrdersReport", "--csv", path, "--db", t.path()});
    QCOMPARE(r.code, 0);
    QVERIFY(r.out.contains(QStringLiteral("6 row(s) written")));
    const QStringList lines = csvLines(path);
    QCOMPARE(lines.size(), 7);
    QCOMPARE(lines.first(), findDesign(QStringLiteral("crptOpenOrdersReport"))->columns.join(u','));
    // Bayside's kit line: cut by the shipment's consumption row; Carter's second line never shipped.
    QVERIFY(lines.at(3).contains(QStringLiteral(",3,16,10,10,Seat Base Kit,KIT-SB,BMI-KIT1,24.8438,397.5")));
    QVERIFY(lines.at(5).contains(QStringLiteral(",2,1,0,,Sofa Bed 3-Seat,BLK-01,CCW-221,690,690")));
    QCOMPARE(DbConnection().path(), t.path());
}

void TestReportCommandLine::csvOfSubReportAndQuoting()
{
    TestDatabase t;
    loadShopFixture();
    t.db().exec(QStringLiteral("UPDATE Invoice SET Customer = 'Smith, \"Big\" Co' WHERE Invoice = 3003"));
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("ar.csv"));
    const CommandResult r = runCommand({"--report", "crptARTranReport", "--arg", "from=5/1/2010", "--arg", "to=2010-05-31", "--csv",
                          path, "--db", t.path()});
    QCOMPARE(r.code, 0);
    QCOMPARE(csvLines(path), QStringList({"Customer,Invoice,InvoiceDate,DueDate,Terms,Shipment,Total,Type",
                                          "\"Smith, \"\"Big\"\" Co\",3003,2010-05-12,2010-06-11,Net 30,9001,1687.44,Auto Invoice"}));
    QCOMPARE(csvLines(dir.filePath(QStringLiteral("ar-sub.csv"))),
             QStringList({"ID,Invoice,Date,Amount", "3,3003,2010-05-20,500"}));
}

void TestReportCommandLine::pdfOfInvoiceUsesStoredInvoice()
{
    TestDatabase t;
    loadShopFixture();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("invoice.pdf"));
    CommandResult r = runCommand({"--report", "crptinvoice", "--arg", "shipment=9001", "--pdf", path, "--db", t.path()});
    QCOMPARE(r.code, 0);
    QString text = pdfText(path);
    QVERIFY(text.contains(QStringLiteral("Invoice No.: 3003")));
    QVERIFY(text.contains(QStringLiteral("Due Date: 6/11/2010")));
    QVERIFY(text.contains(QStringLiteral("$1,687.44")));

    r = runCommand({"--report", "crptInvoice", "--arg", "shipment=9001", "--arg", "invoice=77", "--arg", "terms=Due now",
             "--pdf", path, "--db", t.path()});
    QCOMPARE(r.code, 0);
    text = pdfText(path);
    QVERIFY(text.contains(QStringLiteral("Invoice No.: 77")));
    QVERIFY(text.contains(QStringLiteral("Terms: Due now")));

    t.db().exec(QStringLiteral("DELETE FROM Invoice"));
    r = runCommand({"--report", "crptInvoice", "--arg", "shipment=9001", "--pdf", path, "--db", t.path()});
    QCOMPARE(r.code, 2);
    QVERIFY2(r.err.startsWith(QStringLiteral("corvane: Shipment 9001 has no invoice yet")), qPrintable(r.err));
}

void TestReportCommandLine::datesReadInBothForms_data()
{
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("to");
    // Month before day: read the other way round, 5/12 would be the 5th of December.
    QTest::newRow("iso") << "2010-05-12" << "2010-05-20";
    QTest::newRow("month/day/year") << "5/12/2010" << "5/20/2010";
    QTest::newRow("padded") << "05/12/2010" << "05/20/2010";
    QTest::newRow("mixed") << "5/12/2010" << "2010-05-20";
}

// Both bounds fall on a row's day, so a date read wrong loses the row.
void TestReportCommandLine::datesReadInBothForms()
{
    QFETCH(QString, from);
    QFETCH(QString, to);
    TestDatabase t;
    loadShopFixture();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("ar.csv"));
    const CommandResult r = runCommand({"--report", "crptARTranReport", "--arg", "from=" + from, "--arg", "to=" + to,
                                        "--csv", path, "--db", t.path()});
    QCOMPARE(r.code, 0);
    QCOMPARE(csvLines(path), QStringList({"Customer,Invoice,InvoiceDate,DueDate,Terms,Shipment,Total,Type",
                                          "Bayside Marine Interiors,3003,2010-05-12,2010-06-11,Net 30,9001,1687.44,"
                                          "Auto Invoice"}));
    QCOMPARE(csvLines(dir.filePath(QStringLiteral("ar-sub.csv"))),
             QStringList({"ID,Invoice,Date,Amount", "3,3003,2010-05-20,500"}));
}

void TestReportCommandLine::missingRecordsAreNamed_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("says");
    QTest::newRow("shipment") << QStringList{"--report", "crptPackingSlip", "--arg", "shipment=999999"}
                              << "Shipment 999999 does not exist.";
    QTest::newRow("invoice of a shipment") << QStringList{"--report", "crptInvoice", "--arg", "shipment=999999"}
                                           << "Shipment 999999 does not exist.";
    QTest::newRow("order") << QStringList{"--report", "crptOrderEntryControlReport", "--arg", "order=40000"}
                           << "Order 40000 does not exist.";
    QTest::newRow("purchase order") << QStringList{"--report", "crptPurchaseOrder", "--arg", "po=31"}
                                    << "Purchase order 31 does not exist.";
    QTest::newRow("import") << QStringList{"--report", "crptImportLogReport", "--arg", "import=12"}
                            << "Import 12 does not exist.";
}

void TestReportCommandLine::missingRecordsAreNamed()
{
    QFETCH(QStringList, args);
    QFETCH(QString, says);
    TestDatabase t;
    loadShopFixture();
    QTemporaryDir dir;
    const QString out = dir.filePath(QStringLiteral("out.csv"));
    const CommandResult r = runCommand(args + QStringList{"--csv", out, "--db", t.path()});
    QCOMPARE(r.code, 2);
    QCOMPARE(r.err, QStringLiteral("corvane: ") + says + u'\n');
    QVERIFY(!QFileInfo::exists(out));
}

void TestReportCommandLine::checkNamesDamagedTables()
{
    TestDatabase t;
    loadShopFixture();
    CommandResult r = runCommand({"--check", "--db", t.path()});
    QCOMPARE(r.code, 0);
    QVERIFY2(r.out.contains(QStringLiteral("no damage found")), qPrintable(r.out));
    if (testingOnServer())
        return; // pages are the file's

    // A byte flipped in the first page of the orders, which holds their rows.
    const qint64 page =
        t.db().scalar(QStringLiteral("SELECT rootpage FROM sqlite_master WHERE name = 'Orders'")).toLongLong();
    QVERIFY(page > 1);
    QTemporaryDir dir;
    const QString copy = dir.filePath(QStringLiteral("damaged.db"));
    QVERIFY(QFile::copy(t.path(), copy));
    QFile f(copy);
    QVERIFY(f.open(QIODevice::ReadWrite));
    const qint64 at = page * 1024 - 100;
    f.seek(at);
    char byte = 0;
    f.getChar(&byte);
    f.seek(at);
    f.putChar(char(byte ^ 0x20));
    f.close();
    r = runCommand({"--check", "--db", copy});
    QCOMPARE(r.code, 1);
    QVERIFY2(r.err.startsWith(copy + QStringLiteral(" is damaged:")), qPrintable(r.err));
    // The damaged page is named by the table or index it belongs to.
    QVERIFY2(r.err.contains(QRegularExpression(QStringLiteral("\\n  (table|index) \\w+.*: database disk image is malformed"))),
             qPrintable(r.err));

    QCOMPARE(runCommand({"--check", "--report", "crptSetReport", "--db", copy}).code, 2);
}

namespace {

// The command line with `answer` typed at its question.
CommandResult runAnswering(const QStringList &args, const QString &answer)
{
    QString out;
    QString err;
    QString typed = answer;
    QTextStream o(&out);
    QTextStream e(&err);
    QTextStream in(&typed);
    const int code = runReportCommand(args, QString(), o, e, &in);
    return {code, out, err};
}

qint64 setsIn(const QString &file)
{
    return Database::open(file, schema::password())
        ->scalar(QStringLiteral("SELECT count(*) FROM Sets"))
        .toLongLong();
}

} // namespace

void TestReportCommandLine::backupAndRestore_data()
{
    QTest::addColumn<QString>("answer");
    QTest::addColumn<bool>("restored");
    QTest::newRow("yes") << "yes\n" << true;
    QTest::newRow("y") << "y\n" << true;
    QTest::newRow("no") << "no\n" << false;
    QTest::newRow("nothing typed") << "" << false;
}

void TestReportCommandLine::backupAndRestore()
{
    QFETCH(QString, answer);
    QFETCH(bool, restored);
    SKIP_ON_SERVER("backups are copies of the shop file");
    TestDatabase t;
    loadShopFixture();
    const qint64 sets = setsIn(t.path());
    QVERIFY(sets > 0);
    QTemporaryDir dir;
    CommandResult r = runCommand({"--backup", "--db", t.path(), "--to", dir.path()});
    QCOMPARE(r.code, 0);
    QVERIFY2(r.out.contains(QStringLiteral("backup written and verified")), qPrintable(r.out));
    const QStringList backups = QDir(dir.path()).entryList(QDir::Files);
    QCOMPARE(backups.size(), 1);
    const QString saved = dir.filePath(backups.first());
    QVERIFY2(r.out.startsWith(saved + u':'), qPrintable(r.out));

    t.db().exec(QStringLiteral("DELETE FROM Sets"));
    const QString database = t.path();
    CloseDatabase();
    r = runAnswering({"--restore", saved, "--db", database}, answer);
    QVERIFY2(r.out.contains(QStringLiteral("Type yes to go on")), qPrintable(r.out));
    QCOMPARE(r.code, restored ? 0 : 1);
    QCOMPARE(setsIn(database), restored ? sets : 0);
    // The replaced file is one more backup beside the database, only when something was replaced.
    const QStringList kept = QDir(backup::defaultFolder(database)).entryList(QDir::Files);
    QCOMPARE(kept.size(), restored ? 1 : 0);
    if (restored) {
        QVERIFY2(r.out.contains(QStringLiteral("The replaced file is kept as")), qPrintable(r.out));
        QCOMPARE(setsIn(QDir(backup::defaultFolder(database)).filePath(kept.first())), 0);
    } else {
        QVERIFY(r.out.endsWith(QStringLiteral("Nothing was changed.\n")));
    }
}

void TestReportCommandLine::restoreRefusesWhileTheProgramHoldsTheFile()
{
    SKIP_ON_SERVER("backups are copies of the shop file");
    TestDatabase t;
    loadShopFixture();
    QTemporaryDir dir;
    QCOMPARE(runCommand({"--backup", "--db", t.path(), "--to", dir.path()}).code, 0);
    const QString saved = dir.filePath(QDir(dir.path()).entryList(QDir::Files).first());
    t.db().exec(QStringLiteral("DELETE FROM Sets"));
    InstanceLock running(t.path());
    QVERIFY(running.tryLock());
    const CommandResult r = runAnswering({"--restore", saved, "--db", t.path()}, QStringLiteral("yes\n"));
    QCOMPARE(r.code, 1);
    QCOMPARE(
        r.err,
        QStringLiteral("corvane: The program is running on %1. Close it, then restore.\n").arg(t.path()));
    QVERIFY(!r.out.contains(QStringLiteral("Type yes"))); // refused before asking
    QCOMPARE(setsIn(t.path()), 0);
}

void TestReportCommandLine::serverDatabaseHasNoFileCommands_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::newRow("backup") << QStringList{"--backup"};
    QTest::newRow("restore") << QStringList{"--restore", "backup.db"};
    QTest::newRow("passphrase") << QStringList{"--set-passphrase"};
}

// The server keeps its own backups and logins: each file command is refused in one line, and
// the database is as it was.
void TestReportCommandLine::serverDatabaseHasNoFileCommands()
{
    QFETCH(QStringList, args);
    if (!testingOnServer())
        QSKIP("needs the test server (CORVANE_TEST_DB=postgres)");
    TestDatabase t;
    loadShopFixture();
    const qint64 sets = setsIn(t.path());
    QTemporaryDir dir;
    QDir::setCurrent(dir.path());
    if (args.contains(QStringLiteral("backup.db")))
        schema::createDatabaseFile(dir.filePath(QStringLiteral("backup.db")));
    const CommandResult r = runAnswering(args + QStringList{"--db", t.path()}, QStringLiteral("yes\n"));
    QCOMPARE(r.code, 1);
    QVERIFY2(r.err.count(u'\n') == 1 &&
                 r.err.contains(QStringLiteral("is a database on a PostgreSQL server")),
             qPrintable(r.err));
    QCOMPARE(setsIn(t.path()), sets);
    QCOMPARE(
        QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
        QStringList(args.contains(QStringLiteral("backup.db")) ? QStringList{"backup.db"} : QStringList{}));
}

void TestReportCommandLine::missingDatabaseFails()
{
    TestDatabase t;
    QTemporaryDir dir;
    CommandResult r = runCommand({"--report", "crptMaterialReport", "--csv", dir.filePath("m.csv"), "--db", dir.filePath("none.db")});
    QCOMPARE(r.code, 1);
    QVERIFY(r.err.contains(QStringLiteral("none.db")));
    // Without --db: config.txt beside the program, which this folder lacks.
    r = runCommand({"--report", "crptMaterialReport", "--csv", dir.filePath("m.csv")}, dir.path());
    QCOMPARE(r.code, 1);
    QVERIFY(r.err.contains(QStringLiteral("config.txt")));
    QVERIFY(!QFileInfo::exists(dir.filePath("m.csv")));
}

void TestReportCommandLine::programRunsWithoutWindow()
{
    TestDatabase t;
    loadShopFixture();
    const QString program = QDir(qEnvironmentVariable("CORVANE_BIN")).filePath(QStringLiteral("corvane"));
    if (!QFileInfo(program).isExecutable())
        QSKIP("the program is not built beside the tests");
    QTemporaryDir dir;
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    env.remove(QStringLiteral("DISPLAY"));
    p.setProcessEnvironment(env);
    p.start(program, {"--report", "crptPackingSlip", "--arg", "shipment=9001", "--pdf", dir.filePath("slip.pdf"), "--db",
                      t.path()});
    QVERIFY(p.waitForFinished(60000));
    QCOMPARE(p.exitCode(), 0);
    QVERIFY(pdfText(dir.filePath("slip.pdf")).contains(QStringLiteral("Sets in box 2")));

    p.start(program, {"--report", "crptPackingSlip", "--pdf"});
    QVERIFY(p.waitForFinished(60000));
    QCOMPARE(p.exitCode(), 2);
    QVERIFY(QString::fromUtf8(p.readAllStandardError()).contains(QStringLiteral("see corvane --help")));

    // Nothing unknown starts the windows (there is no display to start them on here).
    p.start(program, {"--bogus"});
    QVERIFY(p.waitForFinished(60000));
    QCOMPARE(p.exitStatus(), QProcess::NormalExit);
    QCOMPARE(p.exitCode(), 2);
    QCOMPARE(QString::fromUtf8(p.readAllStandardError()),
             QStringLiteral("corvane: Unknown argument \"--bogus\". (see corvane --help)\n"));

    // An unwritable PDF path is one line of this program's own, no toolkit notes.
    p.start(program, {"--report", "crptPackingSlip", "--arg", "shipment=9001", "--pdf",
                      dir.filePath(QStringLiteral("missing/folder/slip.pdf")), "--db", t.path()});
    QVERIFY(p.waitForFinished(60000));
    QCOMPARE(p.exitCode(), 1);
    const QString err = QString::fromUtf8(p.readAllStandardError());
    QCOMPARE(err.count(u'\n'), 1);
    QVERIFY2(err.contains(QStringLiteral("could not be written")), qPrintable(err));

    // Asking for help needs no display either.
    p.start(program, {"--help"});
    QVERIFY(p.waitForFinished(60000));
    QCOMPARE(p.exitCode(), 0);
    QVERIFY(QString::fromUtf8(p.readAllStandardOutput() + p.readAllStandardError()).contains(QStringLiteral("crptInvoice")));
}

QTEST_MAIN(TestReportCommandLine)
#include "tst_reportcommandline.moc"
