#include "OrderTestSupport.h"
#include "TestServer.h"
#include "core/PgEngine.h"
#include "core/ReportJob.h"
#include "orders/OrderEntry.h"
#include "production/CutsheetData.h"
#include "production/ProductionReports.h"
#include "ui/Grid.h"
#include "ui/MainWindow.h"
#include "ui/MessageBox.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

using namespace ordertest;

// The server connection breaks while the order window works: the clerk gets one plain message,
// keeps the edits, and the next command connects again.
class TestLostConnection : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestDatabase> m_db;
    std::unique_ptr<Database> m_admin;
    CapturedReports m_reports;

    static qint64 sessionPid()
    {
        return DbConnection().scalar(QStringLiteral("SELECT pg_backend_pid()")).toLongLong();
    }

    // Ends the session from a second connection, as a server restart does, and waits until the
    // server has let it go.
    void endSession(qint64 pid)
    {
        QVERIFY(m_admin->scalar(QStringLiteral("SELECT pg_terminate_backend(?)"), {pid}).toBool());
        QTRY_VERIFY_WITH_TIMEOUT(
            m_admin->scalar(QStringLiteral("SELECT COUNT(*) FROM pg_stat_activity WHERE pid = ?"), {pid}).toInt() == 0,
            10000);
    }

    int stored(const QString &table)
    {
        return m_admin->scalar(QStringLiteral("SELECT COUNT(*) FROM %1").arg(table)).toInt();
    }

    OrderEntry *orderWithTwoLines()
    {
        OrderEntry *w = openOrderWindow();
        chooseCustomer(w, QStringLiteral("a"));
        control<QLineEdit>(w, "txtOrderNumber")->setText(QStringLiteral("PO-L"));
        enterLine(w, QStringLiteral("1"), QStringLiteral("A100"));
        enterLine(w, QStringLiteral("3"), QStringLiteral("Q100"));
        return w;
    }

private Q_SLOTS:
    void initTestCase()
    {
        const QString why = startTestServer();
        if (!why.isEmpty())
            QSKIP(qPrintable(why));
        // Whatever engine the suite runs on, this program's databases are on the server.
        qputenv("CORVANE_TEST_DB", "postgres");
    }

    void init()
    {
        m_db = std::make_unique<TestDatabase>();
        seedCatalogue(*m_db);
        m_admin = Database::openServer(m_db->path());
        m_reports = CapturedReports();
        setReportOutput(&m_reports);
    }

    void cleanup()
    {
        if (QWidget *w = MainWindow::findChildWindow(QStringLiteral("OrderEntry")))
            w->close();
        flushDeletes();
        setReportOutput(nullptr);
        if (hasDbConnection())
            DbConnection().setStatementHook({});
        m_admin.reset();
        m_db.reset();
    }

    // The save's connection ends between two of its statements: nothing of it is stored.
    void saveCutOffStoresNothing_data()
    {
        QTest::addColumn<int>("cutBefore");
        QTest::newRow("before the second statement") << 2;
        QTest::newRow("before the third statement") << 3;
        QTest::newRow("before the fourth statement") << 4;
    }
    void saveCutOffStoresNothing()
    {
        QFETCH(int, cutBefore);
        OrderEntry *w = orderWithTwoLines();
        const qint64 pid = sessionPid();
        int statements = 0;
        DbConnection().setStatementHook([&](int n) {
            statements = n;
            if (n == cutBefore)
                endSession(pid);
        });
        MessageBox::clearShown();
        control<QPushButton>(w, "btnSave")->click();
        flushDeletes();
        DbConnection().setStatementHook({});
        QVERIFY2(statements >= cutBefore, "the save ended before the connection was cut");

        QCOMPARE(MessageBox::shown().size(), 1);
        QVERIFY2(MessageBox::shown().at(0).text.startsWith(QStringLiteral(
                     "The connection to the database server was lost, and this command was not "
                     "carried out. The next command connects again.")),
                 qPrintable(MessageBox::shown().at(0).text));
        QCOMPARE(stored(QStringLiteral("Orders")), 0);
        QCOMPARE(stored(QStringLiteral("OrderItem")), 0);
        QCOMPARE(m_reports.prints.size(), 0);
        // The window keeps the clerk's edits.
        QVERIFY(MainWindow::findChildWindow(QStringLiteral("OrderEntry")));
        QCOMPARE(w->vsfgItems->rowCount(), 2);
        QCOMPARE(control<QLineEdit>(w, "txtOrderNumber")->text(), QStringLiteral("PO-L"));
        QVERIFY(control<QLabel>(w, "lblID")->text().isEmpty());

        // The next save connects again and stores it all.
        MessageBox::clearShown();
        MessageBox::script({MessageBox::Yes});
        control<QPushButton>(w, "btnSave")->click();
        flushDeletes();
        QCOMPARE(stored(QStringLiteral("Orders")), 1);
        QCOMPARE(stored(QStringLiteral("OrderItem")), 2);
        QVERIFY(sessionPid() != pid);
    }

    // Outside a save: a read runs again on a new connection; a write says it was not carried
    // out, and the command after it works.
    void lostOutsideATransaction()
    {
        OrderEntry *w = openOrderWindow();
        qint64 pid = sessionPid();
        endSession(pid);
        // The window's own look-up of the customer connects again unseen.
        MessageBox::clearShown();
        chooseCustomer(w, QStringLiteral("ac"));
        QCOMPARE(control<QComboBox>(w, "cmbCustomer")->currentText(), QStringLiteral("Acme Upholstery"));
        QCOMPARE(MessageBox::shown().size(), 0);
        QVERIFY(sessionPid() != pid);
        // The session's own cut sheet log is there again on the new connection.
        QCOMPARE(DbConnection().scalar(QStringLiteral("SELECT COUNT(*) FROM CutsheetsTEMP")).toInt(), 0);

        pid = sessionPid();
        endSession(pid);
        try {
            DbConnection().exec(QStringLiteral("UPDATE Customer SET Status = 'Active'"));
            QFAIL("the write on a lost connection went through unseen");
        } catch (const DbError &e) {
            QVERIFY(PgEngine::isConnectionLoss(e));
            QVERIFY(!e.message().contains(u'\n'));
        }
        QCOMPARE(DbConnection().exec(QStringLiteral("UPDATE Customer SET Status = 'Active'")),
                 stored(QStringLiteral("Customer")));
    }

    // The cut sheet window's log is a table of the session on the server; the clerk closing the
    // window after the connection came back still gets everything logged while it was open.
    void cutsheetLogOutlivesTheConnection_data()
    {
        QTest::addColumn<bool>("logAfterLoss");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("read after the loss") << false << QStringList{"5", "6"};
        QTest::newRow("logged after the loss") << true << QStringList{"5", "6", "7"};
    }
    void cutsheetLogOutlivesTheConnection()
    {
        QFETCH(bool, logAfterLoss);
        QFETCH(QStringList, expected);
        cutsheets::clearLog();
        const auto logDelete = [](const char *id) {
            cutsheets::Entry e;
            e.idText = QString::fromLatin1(id);
            e.ssn = QStringLiteral("123");
            e.date = QDate(2010, 3, 4);
            e.orderText = QStringLiteral("1");
            e.itemText = QStringLiteral("1");
            e.setsText = QStringLiteral("2");
            cutsheets::deleteCutsheet(e);
        };
        logDelete("5");
        logDelete("6");
        const qint64 pid = sessionPid();
        endSession(pid);
        if (logAfterLoss)
            logDelete("7");
        QVERIFY(!cutsheets::logIsEmpty());
        QVERIFY(sessionPid() != pid);
        QCOMPARE(cutsheets::logName(), QStringLiteral("Cut Sheets 5-%1").arg(expected.last()));
        QStringList ids;
        const ReportJob job = production::cutsheetControlJob();
        for (const Row &r : job.rows) {
            ids << r.text(QStringLiteral("ID"));
            QCOMPARE(r.text(QStringLiteral("Action")), QStringLiteral("**Delete**"));
        }
        QCOMPARE(ids, expected);
        cutsheets::clearLog();
        QVERIFY(cutsheets::logIsEmpty());
    }
};

QTEST_MAIN(TestLostConnection)
#include "tst_lostconnection.moc"
