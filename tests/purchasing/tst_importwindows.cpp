#include "PurchasingWindowSupport.h"
#include "core/ReportJob.h"
#include "core/WorkbookReader.h"
#include "purchasing/ImportWindows.h"
#include "ui/CommandRegistry.h"
#include "ui/FileDialogs.h"
#include "ui/MainWindow.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include <optional>

using namespace purchasingtest;

namespace {

const QString kImportName = QStringLiteral("ImportXLS");
const QString kLogName = QStringLiteral("ImportXLSLogReport");

} // namespace

class TestImportWindows : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();

    void commandsOpenWindows();
    void refusesMissingChoices_data();
    void refusesMissingChoices();
    void importsAndShowsTheRunsLog();
    void unreadableOrFailedRunKeepsWindow_data();
    void unreadableOrFailedRunKeepsWindow();
    void logWindowReprintsChosenRun();

private:
    frmImportOrderXLS *openImport();
    WindowSession m_session;
};

void TestImportWindows::init()
{
    m_session.start();
    seedCatalogue(*m_session.db);
    m_session.db->db().exec(
        QStringLiteral("UPDATE Customer SET Status = 'InActive' WHERE Name = 'Acme Upholstery'"));
    m_session.db->addCustomer(QStringLiteral("Bolt Marine"));
}

void TestImportWindows::cleanup()
{
    m_session.finish({kImportName, kLogName});
}

frmImportOrderXLS *TestImportWindows::openImport()
{
    return drive::open<frmImportOrderXLS>(kImportName);
}

void TestImportWindows::commandsOpenWindows()
{
    for (const QString &key :
         {kImportName, kLogName, QStringLiteral("PendingItems"), QStringLiteral("PONavigator")}) {
        QVERIFY2(commands::isRegistered(key), qPrintable(key));
    }
    frmImportOrderXLS *w = openImport();
    QCOMPARE(w->windowTitle(), QStringLiteral("Browse For Spreadsheet..."));
    QStringList names;
    auto *customers = control<QComboBox>(w, "cmbCustomer");
    for (int i = 0; i < customers->count(); ++i)
        names << customers->itemText(i);
    QCOMPARE(names, QStringList({"Bolt Marine", "O'Hare Trim"})); // active ones, by name
    QCOMPARE(customers->currentIndex(), -1);
}

void TestImportWindows::refusesMissingChoices_data()
{
    QTest::addColumn<bool>("customer");
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("message");
    QTest::newRow("no customer") << false << "demand.xlsx"
                                 << "You must select a customer before clicking ok.";
    QTest::newRow("no file") << true << ""
                             << "The Selected File Does Not Exist.  Choose Again.";
    QTest::newRow("file not there") << true << "gone.xlsx"
                                    << "The Selected File Does Not Exist.  Choose Again.";
}

void TestImportWindows::refusesMissingChoices()
{
    QFETCH(bool, customer);
    QFETCH(QString, file);
    QFETCH(QString, message);
    frmImportOrderXLS *w = openImport();
    if (customer)
        control<QComboBox>(w, "cmbCustomer")->setCurrentIndex(1);
    control<QLineEdit>(w, "SelectedFile")->setText(file.isEmpty() ? QString() : fixture(file));
    drive::click(control<QPushButton>(w, "btnOK"));
    QCOMPARE(MessageBox::shown().size(), 1);
    QCOMPARE(MessageBox::shown().at(0).text, message);
    QCOMPARE(MessageBox::shown().at(0).title, QCoreApplication::applicationName());
    QCOMPARE(MessageBox::shown().at(0).icon, MessageBox::Information);
    QVERIFY(MainWindow::findChildWindow(kImportName));
    QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM ImportXLSLog")), 0);
}

void TestImportWindows::importsAndShowsTheRunsLog()
{
    frmImportOrderXLS *w = openImport();
    QPointer<QWidget> alive(w);
    control<QComboBox>(w, "cmbCustomer")->setCurrentIndex(1);
    FileDialogs::script({QString(), fixture(QStringLiteral("demand.xls"))});
    drive::click(control<QPushButton>(w, "btnBrowse")); // cancelled: nothing chosen
    QCOMPARE(control<QLineEdit>(w, "SelectedFile")->text(), QString());
    drive::click(control<QPushButton>(w, "btnBrowse"));
    QCOMPARE(QDir::fromNativeSeparators(control<QLineEdit>(w, "SelectedFile")->text()),
             fixture("demand.xls"));
    drive::click(control<QPushButton>(w, "btnOK"));
    flushDeletes();

    QCOMPARE(MessageBox::shown().size(), 0);
    QVERIFY(!drive::stillOpen(alive));
    QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM Orders WHERE Customer = ?"), {"O'Hare Trim"}), 5);
    const QList<ReportJob> jobs = m_session.documents();
    QCOMPARE(jobs.size(), 1);
    QCOMPARE(jobs.at(0).design, QStringLiteral("crptImportLogReport"));
    QCOMPARE(jobs.at(0).rows.size(), 10); // nine lines and the summary
    for (const Row &r : jobs.at(0).rows)
        QCOMPARE(r.integer(QStringLiteral("ImportID")), 1);
}

void TestImportWindows::unreadableOrFailedRunKeepsWindow_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<bool>("failWrite");
    QTest::addColumn<QString>("part"); // of the one message
    QTest::addColumn<QString>("reader"); // a script standing in for the .xls reader; empty for the real one
    QTest::newRow("not a workbook") << "not-a-workbook.xls" << false << "Nothing was imported." << QString();
    QTest::newRow("failure part-way")
        << "demand.xlsx" << true << "Row 11 (PO#: PO-101, Item #: Q200)" << QString();
    QTest::newRow("reader crashed") << "demand.xls" << false
                                    << "\"demand.xls\" could not be read: it is damaged"
                                    << "kill -SEGV $$";
    QTest::newRow("reader handed back no sheets")
        << "demand.xls" << false << "\"demand.xls\" could not be read: it is damaged"
        << "printf 'CVX1\\000\\000\\000\\000'";
}

void TestImportWindows::unreadableOrFailedRunKeepsWindow()
{
    QFETCH(QString, file);
    QFETCH(bool, failWrite);
    QFETCH(QString, part);
    QFETCH(QString, reader);
    if (!reader.isEmpty())
        workbookreader::setCommand({QStringLiteral("/bin/sh"), QStringLiteral("-c"), reader});
    auto realReader = qScopeGuard([] { workbookreader::setCommand({}); });
    std::optional<RefusedWrites> refused;
    if (failWrite)
        refused.emplace(m_session.db->db(), QStringLiteral("Orders"), QStringLiteral("INSERT"),
                        QStringLiteral("order refused"), QStringLiteral("NEW.OrderNumber = 'PO-101'"));
    frmImportOrderXLS *w = openImport();
    control<QComboBox>(w, "cmbCustomer")->setCurrentIndex(1);
    control<QLineEdit>(w, "SelectedFile")->setText(fixture(file));
    drive::click(control<QPushButton>(w, "btnOK"));
    flushDeletes();
    QCOMPARE(MessageBox::shown().size(), 1);
    QVERIFY2(MessageBox::shown().at(0).text.contains(part), qPrintable(MessageBox::shown().at(0).text));
    QCOMPARE(MessageBox::shown().at(0).icon, MessageBox::Exclamation);
    QVERIFY(MainWindow::findChildWindow(kImportName));
    QCOMPARE(m_session.documents().size(), 0);
    QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM Orders")), 0);
    QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM ImportXLSLog")), 0);
}

void TestImportWindows::logWindowReprintsChosenRun()
{
    for (int id : {1, 2, 3})
        m_session.db->db().insert(
            QStringLiteral("ImportXLSLog"),
            {{"ImportID", id}, {"LogDate", QDate(2010, 5, 10 + id % 2)}, {"Description", "line"}});
    auto *w = drive::open<frmPrintImportLog>(kLogName);
    QPointer<QWidget> alive(w);
    QCOMPARE(w->windowTitle(), QStringLiteral("Import Log Report"));
    auto *list = control<QComboBox>(w, "cmbLog");
    QStringList entries;
    for (int i = 0; i < list->count(); ++i)
        entries << list->itemText(i);
    QCOMPARE(entries, QStringList({"5/11/2010 - 1", "5/11/2010 - 3", "5/10/2010 - 2"}));

    drive::click(control<QPushButton>(w, "btnPrint"));
    QCOMPARE(drive::shownTexts(), QStringList({"You must select a log."}));
    QVERIFY(drive::stillOpen(alive));

    list->setCurrentIndex(1);
    drive::click(control<QPushButton>(w, "btnPrint"));
    flushDeletes();
    const QList<ReportJob> jobs = m_session.documents();
    QCOMPARE(jobs.size(), 1);
    QCOMPARE(jobs.at(0).rows.first().integer(QStringLiteral("ImportID")), 3);
    QVERIFY(!drive::stillOpen(alive));
}

QTEST_MAIN(TestImportWindows)
#include "tst_importwindows.moc"
