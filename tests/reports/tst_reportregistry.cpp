#include "ReportTestSupport.h"
#include "TestSupport.h"
#include "reports/ReportCommandLine.h"
#include "reports/ReportCommands.h"
#include "reports/ReportPrinter.h"
#include "reports/ReportRegistry.h"
#include "reports/ReportsMod.h"
#include "reports/Viewer.h"
#include "ui/CommandRegistry.h"
#include "ui/CommandTable.h"
#include "ui/MessageBox.h"
#include "ui/WindowHost.h"

#include <QFileInfo>
#include <QSet>
#include <QTemporaryDir>
#include <QtTest>

using namespace reports;

namespace {

const Argument *firstRequired(const Document &d)
{
    for (const Argument &a : d.arguments) {
        if (a.required)
            return &a;
    }
    return nullptr;
}

// A value for every argument the entry takes, on the shop fixture.
QMap<QString, QString> fullRequest(const Document &d)
{
    static const QMap<QString, QString> known = {
        {"order", "101"},      {"shipment", "9001"},   {"po", "61"},         {"import", "7"},
        {"invoice", "3003"},   {"from", "2010-04-01"}, {"to", "2010-05-31"}, {"asof", "2010-05-14"},
        {"due", "2010-06-11"}, {"inactive", "yes"},    {"cutsheets", "yes"}};
    QMap<QString, QString> request;
    for (const Argument &a : d.arguments)
        request.insert(a.name, known.value(a.name, a.kind == ArgumentKind::Number ? "1" : "x"));
    return request;
}

} // namespace

// Walks the registry: what every entry promises, the viewer, the command line and the
// navigation pane keep.
class TestReportRegistry : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void everyEntryIsComplete_data();
    void everyEntryIsComplete();
    void everyDocumentRunsWithoutArguments_data();
    void everyDocumentRunsWithoutArguments();
    void navigationPaneRunsWhatTheRegistryNames();
    void everyRowBuilderReturnsItsColumns_data();
    void everyRowBuilderReturnsItsColumns();
    void entryProblemsNameWhatIsWrong_data();
    void entryProblemsNameWhatIsWrong();
};

void TestReportRegistry::everyEntryIsComplete_data()
{
    QTest::addColumn<QString>("name");
    QVERIFY(!registry().isEmpty());
    for (const Document *d : registry())
        QTest::newRow(qPrintable(d->name())) << d->name();
}

void TestReportRegistry::everyEntryIsComplete()
{
    QFETCH(QString, name);
    const Document *d = find(name);
    QVERIFY(d);
    QCOMPARE(find(name.toUpper()), d);
    QVERIFY(d->build);
    // The engine lays out the very design of the entry.
    QCOMPARE(findDesign(name), &d->design);
    QVERIFY(name.startsWith(QLatin1String("crpt")));
    QVERIFY(!d->design.title.isEmpty());
    QVERIFY(!d->design.columns.isEmpty());

    QSet<QString> names;
    const QString usage = commandLineUsage();
    QVERIFY(usage.contains(QStringLiteral("  ") + name + u'\n'));
    for (const Argument &a : d->arguments) {
        QVERIFY2(!a.name.isEmpty() && a.name == a.name.toLower(), qPrintable(a.name));
        QVERIFY2(!names.contains(a.name), qPrintable(a.name));
        names.insert(a.name);
        QVERIFY(!a.help.isEmpty());
        QVERIFY(usage.contains(QStringLiteral("--arg %1=...   %2\n").arg(a.name, a.help)));
    }

    if (!d->command)
        return;
    TestDatabase t; // places the documents' commands in the pane
    const auto &table = commandTable();
    const auto command =
        std::find_if(table.begin(), table.end(), [&](const Command &c) { return c.key == d->command->key; });
    QVERIFY2(command != table.end(), qPrintable(d->command->key));
    QCOMPARE(command->icon, QStringLiteral("Reports"));
    QCOMPARE(command->group, d->command->group);
    QCOMPARE(command->caption, d->command->caption);
    QVERIFY(command != table.begin());
    QCOMPARE((command - 1)->key, d->command->after);
    QCOMPARE(findCommand(d->command->key), d);
    QVERIFY2(!firstRequired(*d), "a navigation-pane command gives no arguments");
    QCOMPARE(d->output, Output::Preview);
}

void TestReportRegistry::everyDocumentRunsWithoutArguments_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("format");
    for (const Document *d : registry()) {
        for (const char *format : {"pdf", "csv"})
            QTest::addRow("%s %s", qPrintable(d->name()), format) << d->name() << QString::fromLatin1(format);
    }
}

// Without arguments a document is written and previewed, or refused with the argument it needs.
void TestReportRegistry::everyDocumentRunsWithoutArguments()
{
    QFETCH(QString, name);
    QFETCH(QString, format);
    TestDatabase t;
    loadShopFixture();
    const Document *d = find(name);
    QVERIFY(d);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("doc.") + format);
    const CommandResult r = runCommand({"--report", name, "--" + format, path, "--db", t.path()});
    if (const Argument *needed = firstRequired(*d)) {
        QCOMPARE(r.code, 2);
        QVERIFY2(r.err.startsWith(QStringLiteral("corvane: This document needs --arg %1=").arg(needed->name)),
                 qPrintable(r.err));
        QVERIFY(r.err.endsWith(QStringLiteral("(see corvane --help)\n")));
        QVERIFY(!QFileInfo::exists(path));
        QVERIFY_THROWS_EXCEPTION(UsageError, buildJob(*d));
        return;
    }
    QCOMPARE(r.code, 0);
    QVERIFY2(r.out.startsWith(name + QStringLiteral(": ")), qPrintable(r.out + r.err));
    QVERIFY(r.err.isEmpty());
    if (format == QLatin1String("pdf")) {
        QVERIFY(pdfPageCount(path) >= 1);
        QVERIFY(pdfText(path).contains(d->design.title));
        // The same rows in the viewer window.
        WindowReportOutput output;
        output.preview(buildJob(*d));
        auto *viewer = qobject_cast<Viewer *>(host::findChild(QStringLiteral("Viewer")));
        QVERIFY(viewer);
        QCOMPARE(viewer->CRViewer()->reportSource()->design().name, name);
        QVERIFY(!viewer->CRViewer()->shownPage().isNull());
        host::closeLoneChildren();
    } else {
        const QStringList lines = csvLines(path);
        QVERIFY(!lines.isEmpty());
        QCOMPARE(lines.first(), d->design.columns.join(u','));
    }
}

void TestReportRegistry::navigationPaneRunsWhatTheRegistryNames()
{
    TestDatabase t;
    loadShopFixture();
    CapturedReports captured;
    setReportOutput(&captured);
    MessageBox::clearShown();
    reports::registerCommands();
    QStringList keys;
    QStringList expected;
    for (const Document *d : registry()) {
        if (!d->command)
            continue;
        const QString &key = d->command->key;
        keys << key;
        expected << d->name();
        QVERIFY2(commands::isRegistered(key), qPrintable(key));
        QVERIFY(isReportCommand(key));
        QVERIFY(commands::run(key));
    }
    // The six report commands of the pane that print at once.
    QCOMPARE(keys, QStringList({"OpenOrders", "ProductionSchedule", "CustomerReport", "EmployeeReport",
                                "SetReport", "MaterialReport"}));
    QStringList previewed;
    for (const ReportJob &j : captured.previews)
        previewed << j.design;
    QCOMPARE(previewed, expected);
    QVERIFY(captured.prints.isEmpty());
    QVERIFY(MessageBox::shown().isEmpty());
    setReportOutput(nullptr);
}

void TestReportRegistry::everyRowBuilderReturnsItsColumns_data()
{
    QTest::addColumn<QString>("name");
    for (const Document *d : registry())
        QTest::newRow(qPrintable(d->name())) << d->name();
}

// The columns an entry declares are the ones its statement returns, in their order.
void TestReportRegistry::everyRowBuilderReturnsItsColumns()
{
    QFETCH(QString, name);
    TestDatabase t;
    loadShopFixture();
    const Document *d = find(name);
    QVERIFY(d);
    const ReportJob job = buildJob(*d, fullRequest(*d));
    QCOMPARE(job.design, name);
    QCOMPARE(job.rows.columns(), d->columns);
    QCOMPARE(d->design.columns, d->columns);
    if (d->design.sub) {
        QVERIFY(job.subRows);
        QCOMPARE(job.subRows->columns(), d->design.sub->columns);
    }
}

void TestReportRegistry::entryProblemsNameWhatIsWrong_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("header");
    QTest::addColumn<QString>("sum");
    QTest::addColumn<bool>("paneWithArgument");
    QTest::addColumn<QStringList>("problems");
    const QString missing =
        QStringLiteral("crptTrial uses the column \"%1\", which its row builder does not return.");
    QTest::newRow("sound") << "Qty*Price"
                           << "{Customer|(none)} {@Slot} {count}"
                           << "Qty" << false << QStringList();
    QTest::newRow("detail expression") << "Qty*Cost"
                                       << ""
                                       << "" << false << QStringList{missing.arg("Cost")};
    QTest::newRow("detail template") << "{Customer}, {City:date}"
                                     << ""
                                     << "" << false << QStringList{missing.arg("City")};
    QTest::newRow("group header") << "Qty"
                                  << "Order {OrderNumber:qty}"
                                  << "" << false << QStringList{missing.arg("OrderNumber")};
    QTest::newRow("group sum") << "Qty"
                               << ""
                               << "(Qty-Shipped)/Qty" << false << QStringList{missing.arg("Shipped")};
    QTest::newRow("pane command with an argument")
        << "Qty"
        << ""
        << "" << true << QStringList{"crptTrial is a pane command but needs arguments."};
}

// The check every entry passes when it is registered.
void TestReportRegistry::entryProblemsNameWhatIsWrong()
{
    QFETCH(QString, field);
    QFETCH(QString, header);
    QFETCH(QString, sum);
    QFETCH(bool, paneWithArgument);
    QFETCH(QStringList, problems);
    Document d;
    d.design.name = QStringLiteral("crptTrial");
    d.columns = {"Customer", "Qty", "Price"};
    d.build = [](const ReportArguments &) { return ReportJob(); };
    d.design.details = {{field, QStringLiteral("Heading"), 1, Format::Text, Align::Auto, {}}};
    Group g;
    g.keys = {QStringLiteral("Customer")};
    g.header = header;
    if (!sum.isEmpty())
        g.sums = {sum};
    d.design.groups = {g};
    if (paneWithArgument) {
        d.command = PaneCommand{"Order Entry", "Trial", "Trial", "OrderEntry"};
        d.arguments = {{QStringLiteral("order"), ArgumentKind::Number, true, QStringLiteral("order ID")}};
    }
    QCOMPARE(entryProblems(d), problems);
}

QTEST_MAIN(TestReportRegistry)
#include "tst_reportregistry.moc"
