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

    if (d->commandKey.isEmpty())
        return;
    const auto &table = commandTable();
    const auto command =
        std::find_if(table.begin(), table.end(), [&](const Command &c) { return c.key == d->commandKey; });
    QVERIFY2(command != table.end(), qPrintable(d->commandKey));
    QCOMPARE(command->icon, QStringLiteral("Reports"));
    QCOMPARE(findCommand(d->commandKey), d);
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
        if (d->commandKey.isEmpty())
            continue;
        keys << d->commandKey;
        expected << d->name();
        QVERIFY2(commands::isRegistered(d->commandKey), qPrintable(d->commandKey));
        QVERIFY(isReportCommand(d->commandKey));
        QVERIFY(commands::run(d->commandKey));
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

QTEST_MAIN(TestReportRegistry)
#include "tst_reportregistry.moc"
