#include "reports/ReportCommandLine.h"
#include "reports/ReportDesign.h"
#include "ReportTestSupport.h"
#include "TestSupport.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

using namespace reports;

namespace {

struct Result
{
    int code;
    QString out;
    QString err;
};

Result run(const QStringList &args, const QString &folder = QString())
{
    QString out;
    QString err;
    QTextStream o(&out);
    QTextStream e(&err);
    const int code = runReportCommand(args, folder, o, e);
    return {code, out, err};
}

QStringList csvLines(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    QStringList lines = QString::fromUtf8(f.readAll()).split(QStringLiteral("\r\n"));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

} // namespace

class TestReportCommandLine : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void badArgumentsGiveUsage_data();
    void badArgumentsGiveUsage();
    void csvHoldsTheRowsAsHandedOver();
    void csvOfSubReportAndQuoting();
    void pdfOfInvoiceUsesStoredInvoice();
    void missingDatabaseFails();
    void documentTableCanGrow();
    void programRunsWithoutWindow();
};

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
    QTest::newRow("bad date") << QStringList{"--report", "crptARTranReport", "--arg", "from=5/44/2010", "--arg",
                                             "to=2010-05-31", "--csv", "a.csv"}
                              << "--arg from must be a date";
}

void TestReportCommandLine::badArgumentsGiveUsage()
{
    QFETCH(QStringList, args);
    QFETCH(QString, says);
    TestDatabase t;
    QTemporaryDir dir;
    QDir::setCurrent(dir.path());
    const Result r = run(args + QStringList{"--db", t.path()});
    QCOMPARE(r.code, 2);
    QVERIFY2(r.err.startsWith(says), qPrintable(r.err));
    QVERIFY(r.err.contains(QStringLiteral("Usage: corvane --report NAME")));
    QVERIFY(!QFileInfo::exists(dir.filePath(QStringLiteral("a.csv"))));
    QCOMPARE(DbConnection().path(), t.path()); // the test's own connection is back
}

void TestReportCommandLine::csvHoldsTheRowsAsHandedOver()
{
    TestDatabase t;
    loadShopFixture();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("open.csv"));
    const Result r = run({"--report", "crptOpenOrdersReport", "--csv", path, "--db", t.path()});
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
    const Result r = run({"--report", "crptARTranReport", "--arg", "from=5/1/2010", "--arg", "to=2010-05-31", "--csv",
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
    Result r = run({"--report", "crptinvoice", "--arg", "shipment=9001", "--pdf", path, "--db", t.path()});
    QCOMPARE(r.code, 0);
    QString text = pdfText(path);
    QVERIFY(text.contains(QStringLiteral("Invoice No.: 3003")));
    QVERIFY(text.contains(QStringLiteral("Due Date: 6/11/2010")));
    QVERIFY(text.contains(QStringLiteral("$1,687.44")));

    r = run({"--report", "crptInvoice", "--arg", "shipment=9001", "--arg", "invoice=77", "--arg", "terms=Due now",
             "--pdf", path, "--db", t.path()});
    QCOMPARE(r.code, 0);
    text = pdfText(path);
    QVERIFY(text.contains(QStringLiteral("Invoice No.: 77")));
    QVERIFY(text.contains(QStringLiteral("Terms: Due now")));

    t.db().exec(QStringLiteral("DELETE FROM Invoice"));
    r = run({"--report", "crptInvoice", "--arg", "shipment=9001", "--pdf", path, "--db", t.path()});
    QCOMPARE(r.code, 2);
    QVERIFY(r.err.startsWith(QStringLiteral("Shipment 9001 has no invoice yet")));
}

void TestReportCommandLine::missingDatabaseFails()
{
    TestDatabase t;
    QTemporaryDir dir;
    Result r = run({"--report", "crptMaterialReport", "--csv", dir.filePath("m.csv"), "--db", dir.filePath("none.db")});
    QCOMPARE(r.code, 1);
    QVERIFY(r.err.contains(QStringLiteral("none.db")));
    // Without --db: config.txt beside the program, which this folder lacks.
    r = run({"--report", "crptMaterialReport", "--csv", dir.filePath("m.csv")}, dir.path());
    QCOMPARE(r.code, 1);
    QVERIFY(r.err.contains(QStringLiteral("config.txt")));
    QVERIFY(!QFileInfo::exists(dir.filePath("m.csv")));
}

void TestReportCommandLine::documentTableCanGrow()
{
    TestDatabase t;
    loadShopFixture();
    addCommandLineDocument({QStringLiteral("crptSalesRegisterReport"),
                            {{QStringLiteral("from"), QStringLiteral("first date")}},
                            [](const ReportArguments &a) {
                                ReportJob job;
                                job.design = QStringLiteral("crptSalesRegisterReport");
                                job.rows = DbConnection().query(
                                    QStringLiteral("SELECT Customer, InvoiceDate, Invoice, 0 AS Cutting, 0 AS Sewing, "
                                                   "0 AS Vinyl, 0 AS Kit, Total FROM Invoice WHERE InvoiceDate >= ?"),
                                    {isoDate(a.date(QStringLiteral("from")))});
                                return job;
                            }});
    QVERIFY(commandLineUsage().contains(QStringLiteral("crptSalesRegisterReport")));
    QTemporaryDir dir;
    const Result r = run({"--report", "crptSalesRegisterReport", "--arg", "from=2010-05-01", "--csv",
                          dir.filePath("s.csv"), "--db", t.path()});
    QCOMPARE(r.code, 0);
    QCOMPARE(csvLines(dir.filePath("s.csv")).size(), 2);
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
    QVERIFY(QString::fromUtf8(p.readAllStandardError()).contains(QStringLiteral("Usage: corvane")));

    // Asking for help needs no display either.
    p.start(program, {"--help"});
    QVERIFY(p.waitForFinished(60000));
    QCOMPARE(p.exitCode(), 0);
    QVERIFY(QString::fromUtf8(p.readAllStandardOutput() + p.readAllStandardError()).contains(QStringLiteral("crptInvoice")));
}

QTEST_MAIN(TestReportCommandLine)
#include "tst_reportcommandline.moc"
