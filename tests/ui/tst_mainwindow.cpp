#include "TestSupport.h"
#include "core/schema/Schema.h"
#include "ui/AboutBox.h"
#include "ui/CommandTable.h"
#include "ui/MainWindow.h"
#include "ui/MessageBox.h"
#include "ui/ShopPassphrase.h"
#include "ui/Widgets.h"
#include "ui/WindowMemory.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QDate>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QPushButton>
#include <QSet>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolBox>

#include "core/Clock.h"
#include "core/ReportJob.h"
#include "core/SharedRoutines.h"

class TestMainWindow : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void commandTableHasTheSixGroupsInOrder()
    {
        TestDatabase t; // places the documents' commands too
        QCOMPARE(commandGroups(), QStringList({"Order Entry", "Cutsheets", "Shipping", "Inventory",
                                               "Administrative", "Purchasing"}));
        QStringList keys;
        for (const Command &c : commandTable()) {
            QVERIFY2(QStringList({"Navigator", "Entry", "Reports"}).contains(c.icon), qPrintable(c.key));
            keys << c.key;
        }
        QStringList unique = keys;
        QCOMPARE(unique.removeDuplicates(), 0);
    }

    // What clicking each command of the pane gives: the class of the window it opens, the
    // document it previews, the dialog or question it shows, or nothing visible.
    void everyCommandOpensItsWindowOrDocument_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("what");
        const QMap<QString, QPair<QString, QString>> expected = {
            {"OrderNavigator", {"window", "OrderNavigator"}},
            {"OrderEntry", {"window", "OrderEntry"}},
            {"OpenOrders", {"document", "crptOpenOrdersReport"}},
            {"ProductionSchedule", {"document", "crptProductionScheduleReport"}},
            {"LeatherSales", {"window", "frmLeatherSales"}},
            {"CloseOrders", {"nothing", ""}},
            {"Cutsheet", {"window", "CutSheet"}},
            {"EmployeeYield", {"window", "frmEmployeeYield"}},
            {"CustomerYield", {"window", "frmCustomerYield"}},
            {"EmployeeEarnings", {"window", "frmEmployeeEarnings"}},
            {"Shipping", {"window", "Shipment"}},
            {"ReceivePayment", {"window", "ReceivePayment"}},
            {"ManualInvoice", {"window", "frmInvoiceEntry"}},
            {"OpenInvoices", {"window", "frmOpenInvoicesReport"}},
            {"SalesRegister", {"window", "frmSalesRegister"}},
            {"ARTranReport", {"window", "frmARTranReport"}},
            {"MaterialEntry", {"window", "MaterialEntry"}},
            {"MaterialReport", {"document", "crptMaterialReport"}},
            {"InventoryAdjust", {"window", "InventoryAdjust"}},
            {"AdjustValue", {"window", "InventoryValueAdjust"}},
            {"AvailableInventory", {"window", "frmAvailableInventory"}},
            {"InventoryValuation", {"window", "frmInventoryValuation"}},
            {"LeatherHistory", {"window", "frmLeatherHistory"}},
            {"CustomerEntry", {"window", "CustomerEntry"}},
            {"CustomerReport", {"document", "crptCustomerReport"}},
            {"EmployeeEntry", {"window", "EmployeeEntry"}},
            {"EmployeeReport", {"document", "crptEmployeeReport"}},
            {"SetEntry", {"window", "SetEntry"}},
            {"SetReport", {"document", "crptSetReport"}},
            {"ResetPrice", {"question", "Confirmation"}},
            {"ShopPassphrase", {"dialog", "ShopPassphrase"}},
            {"About", {"dialog", "AboutBox"}},
            {"ImportXLS", {"window", "frmImportOrderXLS"}},
            {"PendingItems", {"window", "frmPendingPOItems"}},
            {"ImportXLSLogReport", {"window", "frmPrintImportLog"}},
            {"PONavigator", {"window", "frmPONavigator"}},
            {"CrossReference", {"window", "CrossReferenceEntry"}},
        };
        TestDatabase t;
        QStringList keys;
        for (const Command &c : commandTable()) {
            keys << c.key;
            QVERIFY2(expected.contains(c.key), qPrintable(c.key));
            QTest::newRow(qPrintable(c.key)) << expected.value(c.key).first << expected.value(c.key).second;
        }
        for (auto it = expected.cbegin(); it != expected.cend(); ++it)
            QVERIFY2(keys.contains(it.key()), qPrintable(it.key() + QStringLiteral(" is not in the pane")));
    }
    void everyCommandOpensItsWindowOrDocument()
    {
        QFETCH(QString, kind);
        QFETCH(QString, what);
        const QString key = QString::fromLatin1(QTest::currentDataTag());
        TestDatabase t;
        CapturedReports captured;
        setReportOutput(&captured);
        MainWindow w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        // A modal dialog is noted and closed as soon as it shows.
        QString dialog;
        QTimer closer;
        connect(&closer, &QTimer::timeout, this, [&] {
            if (QWidget *modal = QApplication::activeModalWidget()) {
                dialog = QString::fromLatin1(modal->metaObject()->className());
                modal->close();
            }
        });
        closer.start(20);
        w.runCommand(key);
        closer.stop();
        QStringList windows;
        for (QMdiSubWindow *sub : w.mdiArea()->subWindowList()) {
            if (sub == w.slideBar())
                continue;
            windows << QString::fromLatin1(sub->widget()->metaObject()->className());
            // Every button can be pressed with Alt and a letter of its own.
            QSet<QChar> letters;
            for (const QAbstractButton *b : sub->widget()->findChildren<QAbstractButton *>()) {
                if (b->inherits("QToolButton") || b->text().isEmpty())
                    continue;
                const qsizetype at = b->text().indexOf(u'&');
                QVERIFY2(at >= 0 && at + 1 < b->text().size(), qPrintable(b->text()));
                QVERIFY2(!letters.contains(b->text().at(at + 1).toLower()), qPrintable(b->text()));
                letters.insert(b->text().at(at + 1).toLower());
            }
        }
        QStringList previewed;
        for (const ReportJob &j : captured.previews)
            previewed << j.design;
        QStringList questions;
        for (const MessageBox::Shown &m : MessageBox::shown())
            questions << m.title;
        setReportOutput(nullptr);
        QCOMPARE(windows, kind == QLatin1String("window") ? QStringList{what} : QStringList());
        QCOMPARE(previewed, kind == QLatin1String("document") ? QStringList{what} : QStringList());
        QCOMPARE(dialog, kind == QLatin1String("dialog") ? what : QString());
        QCOMPARE(questions, kind == QLatin1String("question") ? QStringList{what} : QStringList());
        QVERIFY(captured.prints.isEmpty());
    }

    void mainWindowShowsTitleAndFullNavigationPane()
    {
        TestDatabase t;
        MainWindow w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QCOMPARE(w.windowTitle(), QStringLiteral("Corvane - Order Management Software"));
        QCOMPARE(w.slideBar()->windowTitle(), QStringLiteral("Slide Bar"));
        QToolBox *bar = w.listBar();
        QCOMPARE(bar->objectName(), QStringLiteral("MainListBar"));
        QCOMPARE(bar->count(), 6);
        // The pane shows the command table, group by group, in its order.
        int row = 0;
        for (int g = 0; g < bar->count(); ++g) {
            QCOMPARE(bar->itemText(g), commandGroups().at(g));
            auto *list = qobject_cast<QListWidget *>(bar->widget(g));
            QVERIFY(list);
            for (int i = 0; i < list->count(); ++i, ++row) {
                const Command &c = commandTable().at(size_t(row));
                QCOMPARE(c.group, commandGroups().at(g));
                QCOMPARE(list->item(i)->text(), c.caption);
                QCOMPARE(list->item(i)->data(Qt::UserRole).toString(), c.key);
            }
        }
        QCOMPARE(row, int(commandTable().size()));
        // The pane cannot be closed on its own: it is the whole menu.
        w.slideBar()->close();
        QVERIFY(w.slideBar()->isVisible());
    }

    void arrangeSlideBarFollowsTheFrame()
    {
        TestDatabase t;
        MainWindow w;
        w.resize(1000, 700);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QCOMPARE(w.slideBar()->height(), w.frameGeometry().height() - 60);
        QCOMPARE(w.slideBar()->width(), w.listBar()->width() + w.slideBar()->contentsMargins().left() +
                                            w.slideBar()->contentsMargins().right());
        w.resize(1000, 900);
        QApplication::processEvents();
        QCOMPARE(w.slideBar()->height(), w.frameGeometry().height() - 60);
        // A minimised pane is left alone.
        w.slideBar()->showMinimized();
        const QSize minimised = w.slideBar()->size();
        w.resize(1000, 600);
        QApplication::processEvents();
        QCOMPARE(w.slideBar()->size(), minimised);
    }

    void closeStuckOrdersRunsAtOnceAndSilently()
    {
        TestDatabase t;
        const qint64 id = t.addOrder(QStringLiteral("ACME"), QStringLiteral("1"));
        t.addOrderLine(id, 1, 2, QStringLiteral("R"), 5);
        t.addShipmentLine(t.addShipment(QStringLiteral("ACME"), QDate(2010, 5, 2)), 1, id, 1, 2);
        MainWindow w;
        w.show();
        auto *list = qobject_cast<QListWidget *>(w.listBar()->widget(0));
        QListWidgetItem *close =
            list->findItems(QStringLiteral("Close Stuck Orders"), Qt::MatchExactly).value(0);
        QVERIFY(close);
        list->scrollToItem(close);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(close).center());
        QCOMPARE(t.db().scalar(QStringLiteral("SELECT Status FROM Orders")).toString(),
                 QStringLiteral("Closed"));
        QVERIFY(MessageBox::shown().isEmpty());
    }

    void unknownOrWrongCaseKeysDoNothing()
    {
        TestDatabase t;
        const qint64 id = t.addOrder(QStringLiteral("ACME"), QStringLiteral("1"));
        t.addOrderLine(id, 1, 1, QStringLiteral("R"), 5);
        t.addShipmentLine(t.addShipment(QStringLiteral("ACME"), QDate(2010, 5, 2)), 1, id, 1, 1);
        MainWindow w;
        w.runCommand(QStringLiteral("closeorders"));
        w.runCommand(QStringLiteral("Nothing"));
        QCOMPARE(t.db().scalar(QStringLiteral("SELECT Status FROM Orders")).toString(),
                 QStringLiteral("Open"));
        QCOMPARE(w.mdiArea()->subWindowList().size(), 1);
    }

    // New windows step down and right of the ones open; a window comes back where it was closed,
    // once the program keeps a memory file.
    void windowsCascadeAndComeBackWhereTheyWere()
    {
        TestDatabase t;
        QTemporaryDir settings;
        MainWindow w;
        w.resize(1100, 800);
        w.show();
        auto make = [] { return new QLabel(QStringLiteral("child")); };
        QWidget *first = MainWindow::openChild(QStringLiteral("First"), make);
        QWidget *second = MainWindow::openChild(QStringLiteral("Second"), make);
        const QPoint step = second->parentWidget()->pos() - first->parentWidget()->pos();
        QVERIFY2(step.x() > 0 && step.y() > 0 && step.x() == step.y(),
                 qPrintable(QStringLiteral("%1,%2").arg(step.x()).arg(step.y())));

        windowMemory::setFile(settings.filePath(QStringLiteral("windows.ini")));
        closeChildWindow(second);
        QApplication::processEvents();
        QWidget *third = MainWindow::openChild(QStringLiteral("Third"), make);
        third->parentWidget()->setGeometry(QRect(420, 130, 333, 222));
        closeChildWindow(third);
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!MainWindow::findChildWindow(QStringLiteral("Third")));
        third = MainWindow::openChild(QStringLiteral("Third"), make);
        QCOMPARE(third->parentWidget()->geometry(), QRect(420, 130, 333, 222));
        // A spot no longer inside the client area is not taken; the size is.
        third->parentWidget()->setGeometry(QRect(5000, 5000, 300, 200));
        closeChildWindow(third);
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        third = MainWindow::openChild(QStringLiteral("Third"), make);
        QCOMPARE(third->parentWidget()->size(), QSize(300, 200));
        QVERIFY(w.mdiArea()->viewport()->rect().contains(third->parentWidget()->pos()));
        windowMemory::setFile(QString());
    }

    void childWindowsOpenOnce()
    {
        TestDatabase t;
        MainWindow w;
        w.show();
        int made = 0;
        auto make = [&] {
            ++made;
            return new QLabel(QStringLiteral("child"));
        };
        QWidget *first = MainWindow::openChild(QStringLiteral("Child"), make);
        first->parentWidget()->move(300, 40);
        QWidget *second = MainWindow::openChild(QStringLiteral("Child"), make);
        QCOMPARE(second, first);
        QCOMPARE(made, 1);
        QCOMPARE(first->parentWidget()->pos(), QPoint(300, 40)); // left as it is
        QCOMPARE(MainWindow::findChildWindow(QStringLiteral("Child")), first);
        closeChildWindow(first);
        QApplication::processEvents();
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!MainWindow::findChildWindow(QStringLiteral("Child")));
        QWidget *third = MainWindow::openChild(QStringLiteral("Child"), make);
        QCOMPARE(made, 2);
        // Placed at the top, right of the navigation pane.
        QCOMPARE(third->parentWidget()->pos(), QPoint(w.slideBar()->width(), 0));
    }

    void ctrlQClosesLikeTheCloseBox()
    {
        TestDatabase t;
        auto *w = new MainWindow;
        w->show();
        w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w));
        QPointer<QWidget> child = MainWindow::openChild(QStringLiteral("Child"), [] { return new QLabel; });
        // The icon of an inner window is the program's own.
        QCOMPARE(child->parentWidget()->windowIcon().pixmap(16).toImage(),
                 programIcon().pixmap(16).toImage());
        QTest::keyClick(w->windowHandle(), Qt::Key_Q, Qt::ControlModifier);
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!w->isVisible());
        QVERIFY(!hasDbConnection());
        delete w;
    }

    void navigationCaptionsAreNotCut()
    {
        TestDatabase t;
        MainWindow w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        for (QListWidget *list : w.listBar()->findChildren<QListWidget *>()) {
            for (int i = 0; i < list->count(); ++i) {
                QListWidgetItem *item = list->item(i);
                const int needed =
                    list->fontMetrics().horizontalAdvance(item->text()) + list->iconSize().width() + 8;
                QVERIFY2(needed <= list->viewport()->width(), qPrintable(item->text()));
            }
        }
    }

    void closingTheFrameClosesChildrenAndTheConnection()
    {
        TestDatabase t;
        auto *w = new MainWindow;
        w->show();
        QPointer<QWidget> child = MainWindow::openChild(QStringLiteral("Child"), [] { return new QLabel; });
        w->close();
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!hasDbConnection());
        QVERIFY(!child || !child->isVisible());
        delete w;
    }

    void aboutBoxTextsAndSystemInfo()
    {
        TestDatabase t;
        AboutBox box;
        QCOMPARE(box.windowTitle(), QStringLiteral("About Order Management Software"));
        QVERIFY(box.findChild<QLabel *>(QStringLiteral("lblTitle")));
        QCOMPARE(box.findChild<QLabel *>(QStringLiteral("lblTitle"))->text(),
                 QStringLiteral("Order Management Software"));
        QCOMPARE(box.findChild<QLabel *>(QStringLiteral("lblVersion"))->text(),
                 QStringLiteral("Version 2.3 5/14/2010"));
        QCOMPARE(box.cmdSysInfo->text(), QStringLiteral("&System Info..."));
        const QString description = box.findChild<QLabel *>(QStringLiteral("lblDescription"))->text();
        QVERIFY2(description.startsWith(QStringLiteral("Corvane 2.3, built ")), qPrintable(description));
        QVERIFY(QDate::fromString(description.section(u' ', -1), QStringLiteral("M/d/yyyy")).isValid());
        if (AboutBox::systemInfoProgram().isEmpty()) {
            box.cmdSysInfo->click();
            QCOMPARE(MessageBox::shown().size(), 1);
            QCOMPARE(MessageBox::shown().first().text,
                     QStringLiteral("System Information Is Unavailable At This Time"));
            QCOMPARE(MessageBox::shown().first().buttons, MessageBox::OkOnly);
        }
        box.show();
        box.cmdOK->click();
        QVERIFY(!box.isVisible());
    }

    void comboTypeAheadSelectsAndRaisesTheListsOwnChoice()
    {
        TestDatabase t;
        QComboBox a, b;
        a.addItems({"Acme", "Smith Auto", "Smooth Rides"});
        b.addItems({"Acme", "Smith Auto", "Smooth Rides"});
        installTypeAhead(&a);
        installTypeAhead(&b);
        a.setCurrentIndex(0);
        QSignalSpy chosen(&a, &QComboBox::activated);
        QTest::keyClick(&a, Qt::Key_S);
        Clock::advance(400);
        QTest::keyClick(&a, Qt::Key_M);
        Clock::advance(400);
        QTest::keyClick(&a, Qt::Key_O);
        QCOMPARE(a.currentIndex(), 2);
        QCOMPARE(chosen.size(), 3);
        QCOMPARE(chosen.last().first().toInt(), 2);
        // The key is consumed: the list's own search never ran.
        Clock::advance(400);
        QTest::keyClick(&a, Qt::Key_Z);
        QCOMPARE(a.currentIndex(), 2);
        QCOMPARE(chosen.size(), 3);
        // A pause of half a second starts anew.
        Clock::advance(600);
        QTest::keyClick(&a, Qt::Key_A);
        QCOMPARE(a.currentIndex(), 0);
        // Another list starts anew even within half a second.
        b.setCurrentIndex(0);
        Clock::advance(100);
        QTest::keyClick(&b, Qt::Key_S);
        QCOMPARE(b.currentIndex(), 1);
    }

    // Typed into the open list, the keys search as they do with the list closed, and the open
    // list shows the entry found.
    void typeAheadWorksWithTheListOpen()
    {
        TestDatabase t;
        QWidget form;
        auto *combo = new QComboBox(&form);
        combo->addItems(
            {"Anchor Canvas", "Carver & Sons Furniture", "Harbor Marine Upholstery", "Harbor Supply"});
        installTypeAhead(combo);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QSignalSpy chosen(combo, &QComboBox::activated);
        combo->showPopup();
        QTRY_VERIFY(combo->view()->isVisible());
        QTest::keyClicks(combo->view(), QStringLiteral("harb"));
        QCOMPARE(combo->currentText(), QStringLiteral("Harbor Marine Upholstery"));
        QCOMPARE(combo->view()->currentIndex().row(), 2);
        QCOMPARE(chosen.last().first().toInt(), 2);
        QTest::keyClick(combo->view(), Qt::Key_Return);
        QTRY_VERIFY(!combo->view()->isVisible());
        QCOMPARE(combo->currentText(), QStringLiteral("Harbor Marine Upholstery"));
    }

    // A closed list's search does not carry over to a new list that happens to get its address.
    void typeAheadOfAClosedListIsForgotten()
    {
        TestDatabase t;
        auto *combo = new QComboBox;
        combo->addItems({"Acme Upholstery", "Bayside Marine"});
        installTypeAhead(combo);
        QTest::keyClicks(combo, QStringLiteral("ac"));
        QCOMPARE(TypeAhead::instance().buffer(), QStringLiteral("ac"));
        const void *address = combo;
        delete combo;
        // Same moment (a fixed clock), same address: a fresh search.
        TypeAhead::instance().feed(address, u'a', {"Acme Upholstery"}, Clock::secondsSinceMidnight());
        QCOMPARE(TypeAhead::instance().buffer(), QStringLiteral("a"));
    }

    // The window re-keys the open file; a short or mistyped passphrase changes nothing.
    void shopPassphraseWindowRekeysTheFile_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("again");
        QTest::addColumn<QString>("says");
        QTest::newRow("too short") << "short"
                                   << "short"
                                   << "The passphrase must be at least 10 characters long.";
        QTest::newRow("mistyped") << "correct horse"
                                  << "correct hose"
                                  << "The two passphrases are not the same. Type it again.";
        QTest::newRow("accepted")
            << "correct horse"
            << "correct horse"
            << "The shop's file is now keyed with the new passphrase. It will be asked the next "
               "time the program starts.";
    }
    void shopPassphraseWindowRekeysTheFile()
    {
        QFETCH(QString, typed);
        QFETCH(QString, again);
        QFETCH(QString, says);
        TestDatabase t;
        ShopPassphrase w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        w.passphrase()->setFocus();
        QTest::keyClicks(w.passphrase(), typed);
        QTest::keyClick(w.passphrase(), Qt::Key_Tab);
        QVERIFY(w.confirm()->hasFocus());
        QTest::keyClicks(w.confirm(), again);
        QCOMPARE(w.passphrase()->text(), typed);
        QCOMPARE(w.confirm()->text(), again);
        QTest::mouseClick(w.ok(), Qt::LeftButton);
        QCOMPARE(MessageBox::shown().size(), 1);
        const bool accepted = typed == again && typed.size() >= 10;
        // A server's database has no passphrase: that is said and nothing changes.
        if (accepted && testingOnServer())
            QVERIFY2(MessageBox::shown().at(0).text.contains(
                         QStringLiteral("is a database on a PostgreSQL server")),
                     qPrintable(MessageBox::shown().at(0).text));
        else
            QCOMPARE(MessageBox::shown().at(0).text, says);
        const bool keyed = accepted && !testingOnServer();
        QCOMPARE(w.isVisible(), !keyed);
        DbConnection().close();
        if (keyed) {
            QVERIFY_THROWS_EXCEPTION(DbError, Database::open(t.path(), schema::password()));
            QCOMPARE(Database::open(t.path(), typed.toUtf8())
                         ->scalar(QStringLiteral("SELECT count(*) FROM Orders"))
                         .toInt(),
                     0);
        } else {
            QVERIFY(Database::open(t.path(), schema::password()));
        }
    }

    void printConfirmationRepeatsUntilYes()
    {
        TestDatabase t;
        MessageBox::script({MessageBox::No, MessageBox::No, MessageBox::Yes});
        int printed = 0;
        printWithConfirmation(
            nullptr, [&] { ++printed; }, QStringLiteral("Did report print OK?"),
            QStringLiteral("Report Status"));
        QCOMPARE(printed, 3);
        QCOMPARE(MessageBox::shown().size(), 3);
        QCOMPARE(MessageBox::shown().last().title, QStringLiteral("Report Status"));
        QCOMPARE(MessageBox::shown().last().buttons, MessageBox::YesNo);
        QCOMPARE(MessageBox::shown().last().icon, MessageBox::NoIcon);
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
