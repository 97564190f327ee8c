#include "WindowDriver.h"
#include "core/ReportJob.h"
#include "orders/OrderEntry.h"
#include "ui/CommandRegistry.h"
#include "ui/EntryWindow.h"
#include "ui/Grid.h"
#include "ui/WindowHost.h"

#include <QAbstractButton>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTest>

// Closing an entry window asks about unsaved work, the same in every window.
class TestUnsaved : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestDatabase> m_db;
    CapturedReports m_reports;

    QWidget *open(const QString &command)
    {
        commands::run(command);
        QWidget *w = host::findChild(command);
        if (!w)
            return nullptr;
        w->activateWindow();
        if (!QTest::qWaitForWindowActive(w))
            return nullptr;
        return w;
    }
    static QAbstractButton *exitButton(QWidget *w)
    {
        if (auto *b = w->findChild<QAbstractButton *>(QStringLiteral("btnExit")))
            return b;
        return w->findChild<QAbstractButton *>(QStringLiteral("btnCancel"));
    }
    enum Way
    {
        ExitButton,
        EscapeKey,
        CloseBox
    };
    static void closeBy(QWidget *w, Way way)
    {
        switch (way) {
        case ExitButton:
            drive::click(exitButton(w));
            break;
        case EscapeKey:
            QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : w, Qt::Key_Escape);
            break;
        case CloseBox:
            w->close();
            break;
        }
        QApplication::processEvents();
    }
    static int unsavedQuestions()
    {
        int n = 0;
        for (const MessageBox::Shown &s : MessageBox::shown())
            n += s.title == QStringLiteral("Unsaved Changes");
        return n;
    }
    // Each window with a field a clerk types into (one without a rule on leaving it).
    static void windows(bool textOnly = false)
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("text");
        QTest::newRow("employee") << "EmployeeEntry"
                                  << "txtFName"
                                  << "Ben";
        QTest::newRow("customer") << "CustomerEntry"
                                  << "txtAddress1"
                                  << "9 Pier St";
        QTest::newRow("material") << "MaterialEntry"
                                  << "txtDesc"
                                  << "Saddle tan";
        QTest::newRow("set") << "SetEntry"
                             << "txtStyle"
                             << "Bench";
        QTest::newRow("cut sheet") << "Cutsheet"
                                   << "txtUsed"
                                   << "2";
        QTest::newRow("order") << "OrderEntry"
                               << "txtOrderNumber"
                               << "PO-77";
        QTest::newRow("shipment") << "Shipping"
                                  << "txtBox"
                                  << "4";
        if (!textOnly)
            QTest::newRow("payment") << "ReceivePayment"
                                     << "dtDate"
                                     << "5/1/2010";
        QTest::newRow("manual invoice") << "ManualInvoice"
                                        << "txtAmount"
                                        << "40";
        QTest::newRow("adjustment") << "InventoryAdjust"
                                    << "txtReason"
                                    << "Count";
        QTest::newRow("cross reference") << "CrossReference"
                                         << "txtPartNumber"
                                         << "KT-1";
    }

private Q_SLOTS:
    void init()
    {
        m_db = std::make_unique<TestDatabase>();
        m_db->addEmployee(QStringLiteral("111"), QStringLiteral("Ann"), QStringLiteral("Lee"));
        m_db->addCustomer(QStringLiteral("Cove"));
        m_db->addMaterial(QStringLiteral("BLK-01"));
        m_db->addSet(QStringLiteral("R1"), QStringLiteral("Cove"), 10);
        m_reports = CapturedReports();
        setReportOutput(&m_reports);
    }
    void cleanup()
    {
        host::closeLoneChildren();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        m_db.reset();
    }

    void untouchedWindowClosesWithoutAsking_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<int>("way");
        for (const char *command :
             {"EmployeeEntry", "CustomerEntry", "MaterialEntry", "SetEntry", "Cutsheet", "OrderEntry",
              "Shipping", "ReceivePayment", "ManualInvoice", "InventoryAdjust", "AdjustValue", "CrossReference"}) {
            QTest::addRow("%s exit", command) << command << int(ExitButton);
            QTest::addRow("%s escape", command) << command << int(EscapeKey);
            QTest::addRow("%s close box", command) << command << int(CloseBox);
        }
    }
    void untouchedWindowClosesWithoutAsking()
    {
        QFETCH(QString, command);
        QFETCH(int, way);
        QPointer<QWidget> w = open(command);
        QVERIFY(w);
        // A click that changes nothing is no change.
        QTest::mouseClick(w, Qt::LeftButton);
        closeBy(w, Way(way));
        QVERIFY(!drive::stillOpen(w));
        QCOMPARE(unsavedQuestions(), 0);
    }

    void cancelKeepsTheWindowAsItWas_data() { windows(); }
    void cancelKeepsTheWindowAsItWas()
    {
        QFETCH(QString, command);
        QFETCH(QString, field);
        QFETCH(QString, text);
        QPointer<QWidget> w = open(command);
        QVERIFY(w);
        auto *box = w->findChild<QWidget *>(field);
        QVERIFY(box);
        drive::type(box, text);
        QVERIFY(entry::hasUnsavedChanges(w));
        for (Way way : {ExitButton, EscapeKey, CloseBox}) {
            MessageBox::script({MessageBox::Cancel});
            closeBy(w, way);
            QVERIFY(drive::stillOpen(w));
            QVERIFY(entry::hasUnsavedChanges(w));
        }
        QCOMPARE(unsavedQuestions(), 3);
        const MessageBox::Shown asked = MessageBox::shown().constLast();
        QCOMPARE(asked.buttons, MessageBox::SaveDiscardCancel);
        QVERIFY(asked.text.startsWith(w->windowTitle()));

        MessageBox::script({MessageBox::Discard});
        closeBy(w, ExitButton);
        QVERIFY(!drive::stillOpen(w));
    }

    void typedThenErasedIsNoChange_data() { windows(true); }
    void typedThenErasedIsNoChange()
    {
        QFETCH(QString, command);
        QFETCH(QString, field);
        QFETCH(QString, text);
        QPointer<QWidget> w = open(command);
        QVERIFY(w);
        auto *box = w->findChild<QLineEdit *>(field);
        drive::type(box, text);
        QVERIFY(entry::hasUnsavedChanges(w));
        drive::type(box, QString());
        QVERIFY(!entry::hasUnsavedChanges(w));
    }

    // Save saves; a save that is refused keeps the window and what was typed.
    void saveAnswerSavesOrKeepsTheWindow_data()
    {
        QTest::addColumn<QString>("lastName");
        QTest::addColumn<bool>("saved");
        QTest::newRow("complete") << "Cole" << true;
        QTest::newRow("refused") << "" << false;
    }
    void saveAnswerSavesOrKeepsTheWindow()
    {
        QFETCH(QString, lastName);
        QFETCH(bool, saved);
        QPointer<QWidget> w = open(QStringLiteral("EmployeeEntry"));
        drive::type(w->findChild<QLineEdit *>(QStringLiteral("txtSSN")), QStringLiteral("222"));
        drive::type(w->findChild<QLineEdit *>(QStringLiteral("txtFName")), QStringLiteral("Ben"));
        drive::type(w->findChild<QLineEdit *>(QStringLiteral("txtLName")), lastName);
        MessageBox::script({MessageBox::Save});
        closeBy(w, EscapeKey);
        QCOMPARE(drive::stillOpen(w), !saved);
        QCOMPARE(m_db->db().scalar(QStringLiteral("SELECT COUNT(*) FROM Employee WHERE SSN = '222'")).toInt(),
                 saved ? 1 : 0);
        if (!saved)
            QCOMPARE(w->findChild<QLineEdit *>(QStringLiteral("txtFName"))->text(), QStringLiteral("Ben"));
    }

    // The cut sheet stays open after a save; a save from the question still closes it.
    void cutSheetSavedFromTheQuestionCloses()
    {
        const qint64 order = m_db->addOrder(QStringLiteral("Cove"), QStringLiteral("PO-1"));
        m_db->addOrderLine(order, 1, 5, QStringLiteral("R1"), 10);
        QPointer<QWidget> w = open(QStringLiteral("Cutsheet"));
        QTest::keyClick(w->findChild<QWidget *>(QStringLiteral("cmbEmployee")), Qt::Key_L);
        drive::type(w->findChild<QLineEdit *>(QStringLiteral("txtOrder")), QString::number(order));
        drive::type(w->findChild<QLineEdit *>(QStringLiteral("txtItem")), QStringLiteral("1"));
        drive::type(w->findChild<QLineEdit *>(QStringLiteral("txtSets")), QStringLiteral("2"));
        MessageBox::script({MessageBox::Save});
        closeBy(w, ExitButton);
        QVERIFY(!drive::stillOpen(w));
        QCOMPARE(m_db->db().scalar(QStringLiteral("SELECT SUM(Sets) FROM Cutsheets")).toInt(), 2);
        QCOMPARE(m_reports.prints.size(), 1); // the control report of the window's work
    }

    void loadedRecordIsNoChange()
    {
        QPointer<QWidget> w = open(QStringLiteral("EmployeeEntry"));
        drive::type(w->findChild<QLineEdit *>(QStringLiteral("txtSSN")), QStringLiteral("111"));
        drive::focus(w->findChild<QLineEdit *>(QStringLiteral("txtFName")));
        QCOMPARE(w->findChild<QLineEdit *>(QStringLiteral("txtFName"))->text(), QStringLiteral("Ann"));
        closeBy(w, EscapeKey);
        QVERIFY(!drive::stillOpen(w));
        QCOMPARE(unsavedQuestions(), 0);
    }

    // A line saved into the grid is unsaved work of the order; a stored order shown, and a line
    // picked for editing, are not.
    void orderLinesCount()
    {
        const qint64 stored = m_db->addOrder(QStringLiteral("Cove"), QStringLiteral("PO-1"));
        m_db->addOrderLine(stored, 1, 5, QStringLiteral("R1"), 10);
        auto *w = static_cast<OrderEntry *>(open(QStringLiteral("OrderEntry")));
        QPointer<QWidget> guard = w;
        w->OpenOrder(qint32(stored));
        QTest::mouseClick(w->vsfgItems->viewport(), Qt::LeftButton, {},
                          w->vsfgItems->visualRect(w->vsfgItems->model()->index(0, 1)).center());
        QCOMPARE(w->findChild<QLineEdit *>(QStringLiteral("txtQty"))->text(), QStringLiteral("5"));
        QVERIFY(!entry::hasUnsavedChanges(w));

        drive::type(w->findChild<QLineEdit *>(QStringLiteral("txtQty")), QStringLiteral("3"));
        drive::click(w->findChild<QAbstractButton *>(QStringLiteral("btnSaveItem")));
        QCOMPARE(w->findChild<QLineEdit *>(QStringLiteral("txtQty"))->text(), QString());
        QVERIFY(entry::hasUnsavedChanges(w));
        MessageBox::script({MessageBox::Cancel});
        closeBy(w, ExitButton);
        QVERIFY(drive::stillOpen(guard));
        QCOMPARE(w->lines().at(0).qty, 3);
        MessageBox::script({MessageBox::Discard});
        closeBy(w, ExitButton);
        QVERIFY(!drive::stillOpen(guard));
    }

    void voidingIsAChange()
    {
        const qint64 stored = m_db->addOrder(QStringLiteral("Cove"), QStringLiteral("PO-1"));
        auto *w = static_cast<OrderEntry *>(open(QStringLiteral("OrderEntry")));
        w->OpenOrder(qint32(stored));
        MessageBox::script({MessageBox::Yes});
        drive::click(w->findChild<QAbstractButton *>(QStringLiteral("btnVoidOrder")));
        QVERIFY(entry::hasUnsavedChanges(w));
    }

    // Closing the program asks each window; one kept open keeps the program open.
    void mainWindowWaitsForTheClerk()
    {
        MainWindow main;
        main.show();
        QVERIFY(QTest::qWaitForWindowExposed(&main));
        QPointer<QWidget> w = open(QStringLiteral("EmployeeEntry"));
        QVERIFY(w);
        QVERIFY(qobject_cast<QMdiSubWindow *>(w->parentWidget()));
        drive::type(w->findChild<QLineEdit *>(QStringLiteral("txtFName")), QStringLiteral("Ben"));
        MessageBox::script({MessageBox::Cancel});
        main.close();
        QVERIFY(main.isVisible());
        QVERIFY(drive::stillOpen(w));
        QCOMPARE(unsavedQuestions(), 1);
        // The close box of the inner window asks the same.
        MessageBox::script({MessageBox::Cancel});
        w->parentWidget()->close();
        QVERIFY(drive::stillOpen(w));
        QCOMPARE(unsavedQuestions(), 2);
        MessageBox::script({MessageBox::Discard});
        main.close();
        QVERIFY(!main.isVisible());
        QVERIFY(!drive::stillOpen(w));
    }
};

QTEST_MAIN(TestUnsaved)
#include "tst_unsaved.moc"
