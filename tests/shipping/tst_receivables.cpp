#include "WindowDriver.h"
#include "core/ReportJob.h"
#include "shipping/ReceivableWindows.h"
#include "ui/MoneyField.h"

#include <QComboBox>
#include <QDateEdit>
#include <QPushButton>

// The payment, manual invoice and receivable request windows, driven as a clerk would.
class TestReceivables : public QObject
{
    Q_OBJECT
    std::unique_ptr<TestDatabase> t;
    CapturedReports reports;
    qint64 invoice = 0;

    int count(const QString &table)
    {
        return t->db().scalar(QStringLiteral("SELECT COUNT(*) FROM %1").arg(table)).toInt();
    }
    template <typename W> W *open(const QString &key)
    {
        W *w = drive::open<W>(key);
        m_open = w;
        return w;
    }
    QPointer<QWidget> m_open;

private Q_SLOTS:
    void init()
    {
        t = std::make_unique<TestDatabase>();
        t->addCustomer(QStringLiteral("Cove"), 30, QStringLiteral("Net 30"));
        t->addCustomer(QStringLiteral("Able"), 10, QStringLiteral("COD"));
        t->addCustomer(QStringLiteral("Gone"), 60, QStringLiteral("Net 60"));
        t->db().exec(QStringLiteral("UPDATE Customer SET Status = 'InActive' WHERE Name = 'Gone'"));
        invoice = t->db().insert(QStringLiteral("Invoice"), {{"Customer", QStringLiteral("Cove")},
                                                             {"InvoiceDate", QDate(2010, 5, 1)},
                                                             {"DueDate", QDate(2010, 5, 31)},
                                                             {"Terms", QStringLiteral("Net 30")},
                                                             {"Shipment", 1},
                                                             {"Total", 1234.5},
                                                             {"Type", QStringLiteral("Auto Invoice")}});
        reports = CapturedReports();
        setReportOutput(&reports);
        MessageBox::clearShown();
    }
    void cleanup()
    {
        drive::closeIfOpen(m_open);
        setReportOutput(nullptr);
        t.reset();
    }

    // Two payments one after the other: the second sees the first; one cent over is refused.
    void paymentsAgainstTheBalance()
    {
        auto *w = open<ReceivePayment>(QStringLiteral("ReceivePayment"));
        QCOMPARE(w->windowTitle(), QStringLiteral("Receive Payments"));
        QCOMPARE(w->dtDate->date(), QDate(2010, 5, 14));
        drive::type(w->txtInvoice, QString::number(invoice));
        drive::type(w->txtPayment, QStringLiteral("1000"));
        QCOMPARE(w->txtAmount->text(), QStringLiteral("$1,234.500"));
        QCOMPARE(w->txtBalance->text(), QStringLiteral("$1,234.500"));
        drive::click(w->btnSave);
        QCOMPARE(count(QStringLiteral("Payments")), 1);
        QVERIFY(w->txtInvoice->text().isEmpty());
        QVERIFY(w->txtBalance->rawText().isEmpty());
        QVERIFY(w->txtInvoice->hasFocus());
        QVERIFY(drive::stillOpen(w));

        drive::type(w->txtInvoice, QString::number(invoice));
        drive::type(w->txtPayment, QStringLiteral("234.51"));
        QCOMPARE(w->txtBalance->rawText(), QStringLiteral("234.5"));
        drive::focus(w->dtDate);
        QCOMPARE(
            drive::shownTexts(),
            QStringList{"You may not receive payment greater than the remaining balance on an invoice."});
        QVERIFY(w->txtPayment->hasFocus());
        QCOMPARE(w->txtPayment->rawText(), QStringLiteral("234.51")); // left as typed
        // Save checks again and writes nothing.
        w->btnSave->click();
        QCOMPARE(count(QStringLiteral("Payments")), 1);
        drive::type(w->txtPayment, QStringLiteral("234.5"));
        drive::click(w->btnSave);
        QCOMPARE(count(QStringLiteral("Payments")), 2);
        QCOMPARE(t->db().scalar(QStringLiteral("SELECT SUM(Amount) FROM Payments")).toDouble(), 1234.5);
    }

    void paymentRefusals_data()
    {
        QTest::addColumn<QString>("invoiceText");
        QTest::addColumn<QString>("payment");
        QTest::addColumn<QString>("text");
        QTest::newRow("unknown invoice") << "77"
                                         << "5"
                                         << "Invalid Invoice Number. Please Re-enter.";
        QTest::newRow("not a number")
            << ""
            << "abc"
            << "The Payment Amount must be a number greater than 0. Please re-enter.";
        QTest::newRow("zero") << ""
                              << "0"
                              << "The Payment Amount must be a number greater than 0. Please re-enter.";
        QTest::newRow("empty") << ""
                               << ""
                               << "";
    }
    // Save itself refuses what the fields' own checks refused; nothing is written then.
    void paymentRefusals()
    {
        QFETCH(QString, invoiceText);
        QFETCH(QString, payment);
        QFETCH(QString, text);
        auto *w = open<ReceivePayment>(QStringLiteral("ReceivePayment"));
        w->txtInvoice->setText(invoiceText.isEmpty() ? QString::number(invoice) : invoiceText);
        w->txtPayment->setRawText(payment);
        w->btnSave->click();
        QCOMPARE(drive::shownTexts(), text.isEmpty() ? QStringList() : QStringList{text});
        QCOMPARE(count(QStringLiteral("Payments")), 0);
        QCOMPARE(w->txtPayment->rawText(), payment); // the fields stay as they are
    }

    void unknownInvoiceOnLeaving()
    {
        auto *w = open<ReceivePayment>(QStringLiteral("ReceivePayment"));
        drive::type(w->txtInvoice, QStringLiteral("1' OR '1"));
        drive::focus(w->txtPayment);
        QCOMPARE(MessageBox::shown().size(), 1);
        QCOMPARE(MessageBox::shown()[0].title, QStringLiteral("Invalid Invoice"));
        QVERIFY(w->txtInvoice->hasFocus());
        QVERIFY(w->txtAmount->rawText().isEmpty());
    }

    void manualInvoice()
    {
        auto *w = open<frmInvoiceEntry>(QStringLiteral("ManualInvoice"));
        QCOMPARE(w->windowTitle(), QStringLiteral("Manual Invoice Entry"));
        QCOMPARE(w->cmbCustomer->count(), 2); // active customers only
        QStringList terms;
        for (int i = 0; i < w->cmbTerms->count(); ++i)
            terms << w->cmbTerms->itemText(i);
        QCOMPARE(terms, QStringList({"COD", "Net 30", "Net 60"}));
        w->cmbCustomer->setCurrentIndex(w->cmbCustomer->findText(QStringLiteral("Able")));
        w->cmbTerms->setCurrentIndex(0);
        drive::click(w->btnSave);
        QCOMPARE(MessageBox::shown().size(), 1);
        QCOMPARE(MessageBox::shown()[0].text,
                 QStringLiteral("You must enter a Customer, Terms, and Invoice Amount."));
        QCOMPARE(MessageBox::shown()[0].title, QStringLiteral("Not Enought Information"));
        drive::type(w->txtAmount, QStringLiteral("12 dollars"));
        drive::click(w->btnSave);
        QCOMPARE(MessageBox::shown().size(), 2);
        QCOMPARE(MessageBox::shown()[1].title, QStringLiteral("Invalid Amount"));
        QCOMPARE(count(QStringLiteral("Invoice")), 1);
        QVERIFY(drive::stillOpen(w));

        w->dtDueDate->setDate(QDate(2010, 6, 1));
        drive::type(w->txtAmount, QStringLiteral("99.95"));
        MessageBox::clearShown();
        drive::click(w->btnSave);
        QCOMPARE(drive::shownTexts(),
                 QStringList{
                     QStringLiteral("The Invoice Number assigned to this invoice is: %1.").arg(invoice + 1)});
        QVERIFY(!drive::stillOpen(m_open));
        const RowSet r =
            t->db().query(QStringLiteral("SELECT * FROM Invoice WHERE Invoice = ?"), {invoice + 1});
        QCOMPARE(r[0].text("Customer"), QStringLiteral("Able"));
        QCOMPARE(r[0].text("Terms"), QStringLiteral("COD"));
        QCOMPARE(r[0].number("Total"), 99.95);
        QCOMPARE(r[0].date("DueDate"), QDate(2010, 6, 1));
        QCOMPARE(r[0].text("Type"), QStringLiteral("Manual Invoice"));
    }

    void requestWindowsPreviewAndClose_data()
    {
        QTest::addColumn<int>("window");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QString>("design");
        QTest::addColumn<QString>("slot");
        QTest::newRow("open invoices") << 0 << true << "crptOpenInvoicesReport"
                                       << "5/14/2010";
        QTest::newRow("AR transactions") << 1 << true << "crptARTranReport"
                                         << "5/1/2010";
        QTest::newRow("sales register") << 2 << true << "crptSalesRegisterReport"
                                        << "5/1/2010";
        QTest::newRow("cancel") << 2 << false << ""
                                << "";
    }
    void requestWindowsPreviewAndClose()
    {
        QFETCH(int, window);
        QFETCH(bool, ok);
        QFETCH(QString, design);
        QFETCH(QString, slot);
        QPushButton *okButton = nullptr;
        QPushButton *cancel = nullptr;
        if (window == 0) {
            auto *w = open<frmOpenInvoicesReport>(QStringLiteral("OpenInvoices"));
            QCOMPARE(w->windowTitle(), QStringLiteral("Open Invoices Report"));
            QCOMPARE(QString(w->btnOk->text()).remove(u'&'), QStringLiteral("OK")); // "&" marks the Alt key
            okButton = w->btnOk;
            cancel = w->btnCancel;
        } else if (window == 1) {
            auto *w = open<frmARTranReport>(QStringLiteral("ARTranReport"));
            QCOMPARE(w->windowTitle(), QStringLiteral("AR Transaction Report"));
            w->dtStart->setDate(QDate(2010, 5, 1));
            okButton = w->btnOK;
            cancel = w->btnCancel;
        } else {
            auto *w = open<frmSalesRegister>(QStringLiteral("SalesRegister"));
            QCOMPARE(w->windowTitle(), QStringLiteral("Sales Register Report"));
            QCOMPARE(w->dtEnd->date(), QDate(2010, 5, 14));
            w->dtStart->setDate(QDate(2010, 5, 1));
            okButton = w->btnOK;
            cancel = w->btnCancel;
        }
        drive::click(ok ? okButton : cancel);
        QVERIFY(!drive::stillOpen(m_open));
        QCOMPARE(reports.previews.size(), ok ? 1 : 0);
        if (!ok)
            return;
        const ReportJob &j = reports.previews[0];
        QCOMPARE(j.design, design);
        QCOMPARE(j.textSlots.first().second, slot);
        if (window < 2)
            QCOMPARE(j.rows.size(), 1);
    }
};

QTEST_MAIN(TestReceivables)
#include "tst_receivables.moc"
