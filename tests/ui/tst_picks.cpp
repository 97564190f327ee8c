#include "WindowDriver.h"
#include "core/ReportJob.h"
#include "production/CutSheet.h"
#include "shipping/ReceivableWindows.h"
#include "ui/MoneyField.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

// The numbers a window asks for are picked from the open ones; a save says what it wrote.
class TestPicks : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestDatabase> m_db;
    CapturedReports m_reports;
    QPointer<QWidget> m_window;
    qint64 m_order = 0;

    static QStringList entries(QComboBox *list)
    {
        QStringList all;
        for (int i = 0; i < list->count(); ++i)
            all << list->itemText(i);
        return all;
    }
    qint64 invoice(const QString &customer, const QDate &date, double total)
    {
        return m_db->db().insert(QStringLiteral("Invoice"), {{"Customer", customer},
                                                             {"InvoiceDate", date},
                                                             {"DueDate", date.addDays(30)},
                                                             {"Terms", QStringLiteral("Net 30")},
                                                             {"Shipment", 1},
                                                             {"Total", total},
                                                             {"Type", QStringLiteral("Auto Invoice")}});
    }

private Q_SLOTS:
    void init()
    {
        m_db = std::make_unique<TestDatabase>();
        m_db->addEmployee(QStringLiteral("111"), QStringLiteral("Ann"), QStringLiteral("Lee"));
        m_db->addCustomer(QStringLiteral("Cove"));
        m_db->addCustomer(QStringLiteral("Able"));
        m_db->addSet(QStringLiteral("R1"), QStringLiteral("Cove"), 10);
        m_db->addSet(QStringLiteral("K1"), QStringLiteral("Cove"), 10, QStringLiteral("Kit"));
        m_reports = CapturedReports();
        setReportOutput(&m_reports);
    }
    void cleanup()
    {
        drive::closeIfOpen(m_window);
        setReportOutput(nullptr);
        m_db.reset();
    }

    // Only lines of open orders with sets left to cut, never kits.
    void cutSheetOffersLinesWithWorkLeft_data()
    {
        QTest::addColumn<QString>("status");
        QTest::addColumn<QString>("ref");
        QTest::addColumn<int>("cut");
        QTest::addColumn<bool>("offered");
        QTest::newRow("nothing cut") << "Open"
                                     << "R1" << 0 << true;
        QTest::newRow("partly cut") << "Open"
                                    << "R1" << 3 << true;
        QTest::newRow("all cut") << "Open"
                                 << "R1" << 5 << false;
        QTest::newRow("kit") << "Open"
                             << "K1" << 0 << false;
        QTest::newRow("closed order") << "Closed"
                                      << "R1" << 0 << false;
        QTest::newRow("unknown set") << "Open"
                                     << "ZZ" << 0 << true;
    }
    void cutSheetOffersLinesWithWorkLeft()
    {
        QFETCH(QString, status);
        QFETCH(QString, ref);
        QFETCH(int, cut);
        QFETCH(bool, offered);
        const qint64 order = m_db->addOrder(QStringLiteral("Cove"), QStringLiteral("PO-7"), status);
        m_db->addOrderLine(order, 1, 5, ref, 10);
        m_db->db().exec(QStringLiteral("UPDATE OrderItem SET StyleID = 'Bench'"));
        if (cut > 0)
            m_db->db().insert(QStringLiteral("Cutsheets"), {{"SSN", QStringLiteral("111")},
                                                            {"Date", QDate(2010, 5, 1)},
                                                            {"OrderID", order},
                                                            {"Item", 1},
                                                            {"Sets", cut}});
        auto *w = drive::open<CutSheet>(QStringLiteral("Cutsheet"));
        m_window = w;
        drive::focus(w->cmbOrderLine);
        const QStringList expected =
            offered ? QStringList{QStringLiteral("PO-7 - Cove - Bench (order %1, line 1, %2 to cut)")
                                      .arg(order)
                                      .arg(5 - cut)}
                    : QStringList();
        QCOMPARE(entries(w->cmbOrderLine), expected);
    }

    // Typing the order number picks the line: order, item and style fill; a save says its number.
    void cutSheetPickAndSave()
    {
        const qint64 first = m_db->addOrder(QStringLiteral("Cove"), QStringLiteral("A-1"));
        m_db->addOrderLine(first, 1, 5, QStringLiteral("R1"), 10);
        const qint64 second = m_db->addOrder(QStringLiteral("Cove"), QStringLiteral("B-2"));
        m_db->addOrderLine(second, 1, 5, QStringLiteral("R1"), 10);
        m_db->addOrderLine(second, 2, 4, QStringLiteral("R1"), 10);
        m_db->db().exec(QStringLiteral("UPDATE OrderItem SET StyleID = 'Bench'"));
        auto *w = drive::open<CutSheet>(QStringLiteral("Cutsheet"));
        m_window = w;
        // Opening the window reads no lines; entering the list does.
        QCOMPARE(w->cmbOrderLine->count(), 0);
        QTest::keyClick(w->cmbEmployee, Qt::Key_L);
        drive::focus(w->cmbOrderLine);
        QCOMPARE(w->cmbOrderLine->count(), 3);
        QTest::keyClick(w->cmbOrderLine, Qt::Key_B);
        QCOMPARE(w->txtOrder->text(), QString::number(second));
        QCOMPARE(w->txtItem->text(), QStringLiteral("1"));
        QCOMPARE(w->txtStyle->text(), QStringLiteral("Bench"));
        drive::type(w->txtSets, QStringLiteral("2"));
        drive::click(w->btnSave);
        const qint64 id = m_db->db().scalar(QStringLiteral("SELECT MAX(ID) FROM Cutsheets")).toLongLong();
        QCOMPARE(w->lblMessage->text(), QStringLiteral("Cut sheet %1 saved.").arg(id));
        QVERIFY(MessageBox::shown().isEmpty());
        // The line picked next shows what is left of it.
        drive::focus(w->cmbOrderLine);
        QVERIFY(entries(w->cmbOrderLine)
                    .contains(QStringLiteral("B-2 - Cove - Bench (order %1, line 1, 3 to cut)").arg(second)));
    }

    // Invoices with a balance, newest first; one paid in full is not offered.
    void paymentsOfferOpenInvoices()
    {
        const qint64 paid = invoice(QStringLiteral("Able"), QDate(2010, 4, 1), 50);
        m_db->db().insert(QStringLiteral("Payments"),
                          {{"Invoice", paid}, {"Date", QDate(2010, 4, 9)}, {"Amount", 50}});
        const qint64 part = invoice(QStringLiteral("Cove"), QDate(2010, 4, 2), 100);
        m_db->db().insert(QStringLiteral("Payments"),
                          {{"Invoice", part}, {"Date", QDate(2010, 4, 9)}, {"Amount", 40}});
        const qint64 open = invoice(QStringLiteral("Able"), QDate(2010, 5, 1), 1234.5);
        auto *w = drive::open<ReceivePayment>(QStringLiteral("ReceivePayment"));
        m_window = w;
        QCOMPARE(w->cmbInvoice->count(), 0);
        drive::focus(w->cmbInvoice);
        QCOMPARE(entries(w->cmbInvoice),
                 QStringList({QStringLiteral("%1 - Able - 5/1/2010 - $1,234.50").arg(open),
                              QStringLiteral("%1 - Cove - 4/2/2010 - $60.00").arg(part)}));

        // Picked with the keyboard: the invoice is looked up and its customer shown.
        QTest::keyClicks(w->cmbInvoice, QString::number(part));
        QCOMPARE(w->txtInvoice->text(), QString::number(part));
        QCOMPARE(w->txtCustomer->text(), QStringLiteral("Cove"));
        QCOMPARE(w->txtBalance->rawText(), QStringLiteral("60"));
        drive::type(w->txtPayment, QStringLiteral("60"));
        drive::click(w->btnSave);
        QCOMPARE(w->lblMessage->text(), QStringLiteral("Payment of $60.00 on invoice %1 saved.").arg(part));
        QVERIFY(MessageBox::shown().isEmpty());
        drive::focus(w->cmbInvoice);
        QCOMPARE(w->cmbInvoice->count(), 1);
    }
};

QTEST_MAIN(TestPicks)
#include "tst_picks.moc"
