#include "TestSupport.h"
#include "reports/ReportDocument.h"
#include "reports/ReportRegistry.h"
#include "shipping/ReceivableData.h"

#include <QTest>

using namespace receivables;

// Payments, manual invoices and the sales register rows.
class TestReceivableData : public QObject
{
    Q_OBJECT
    std::unique_ptr<TestDatabase> t;

    Database &db() { return t->db(); }
    qint64 invoice(const QString &customer, double total, const QDate &date, const QVariant &shipment = {})
    {
        return db().insert(QStringLiteral("Invoice"),
                           {{"Customer", customer},
                            {"InvoiceDate", date},
                            {"DueDate", date.addDays(30)},
                            {"Terms", QStringLiteral("Net 30")},
                            {"Shipment", shipment},
                            {"Total", total},
                            {"Type", shipment.isNull() ? QStringLiteral("Manual Invoice")
                                                       : QStringLiteral("Auto Invoice")}});
    }
    int payments() { return db().scalar(QStringLiteral("SELECT COUNT(*) FROM Payments")).toInt(); }
    RowSet register_(const QString &from, const QString &to)
    {
        return reports::buildJob(*reports::find(QStringLiteral("crptSalesRegisterReport")),
                                 {{QStringLiteral("from"), from}, {QStringLiteral("to"), to}})
            .rows;
    }

private Q_SLOTS:
    void init() { t = std::make_unique<TestDatabase>(); }
    void cleanup() { t.reset(); }

    void balanceAndPayments()
    {
        const qint64 n = invoice(QStringLiteral("Cove"), 100.25, QDate(2010, 5, 1));
        Balance b = lookupInvoice(QString::number(n));
        QVERIFY(!b.refusal);
        QCOMPARE(b.amount, *Money::parse(QStringLiteral("100.25")));
        QCOMPARE(b.balance, b.amount);
        QVERIFY(!savePayment(QString::number(n), QDate(2010, 5, 3), QStringLiteral("40")));
        // The second payment sees the first.
        b = lookupInvoice(QString::number(n));
        QCOMPARE(b.balance.toPlainString(), QStringLiteral("60.25"));
        QCOMPARE(savePayment(QString::number(n), QDate(2010, 5, 4), QStringLiteral("60.26"))->title,
                 QStringLiteral("Invalid Payment Amount"));
        QVERIFY(!savePayment(QString::number(n), QDate(2010, 5, 4), QStringLiteral("60.25")));
        QCOMPARE(payments(), 2);
        QCOMPARE(lookupInvoice(QString::number(n)).balance, Money());
        QCOMPARE(lookupInvoice(QStringLiteral("999")).refusal->text,
                 QStringLiteral("Invalid Invoice Number. Please Re-enter."));
        QCOMPARE(lookupInvoice(QStringLiteral("1 OR 1=1")).refusal->title, QStringLiteral("Invalid Invoice"));
    }

    void paymentRefusals_data()
    {
        QTest::addColumn<QString>("invoice");
        QTest::addColumn<QString>("amount");
        QTest::addColumn<QString>("title");
        const QString amount = QStringLiteral("Invalid Payment Amount");
        QTest::newRow("unknown invoice") << "77"
                                         << "5"
                                         << "Invalid Invoice";
        QTest::newRow("one cent over") << ""
                                       << "100.01" << amount;
        QTest::newRow("text") << ""
                              << "ten" << amount;
        QTest::newRow("zero") << ""
                              << "0" << amount;
        QTest::newRow("negative") << ""
                                  << "-5" << amount;
        QTest::newRow("empty") << ""
                               << "" << amount;
        QTest::newRow("under the tolerance") << ""
                                             << "100.0009"
                                             << "";
        QTest::newRow("exact") << ""
                               << "100"
                               << "";
    }
    void paymentRefusals()
    {
        QFETCH(QString, invoice);
        QFETCH(QString, amount);
        QFETCH(QString, title);
        const qint64 n = this->invoice(QStringLiteral("Cove"), 100, QDate(2010, 5, 1));
        const std::optional<Refusal> r =
            savePayment(invoice.isEmpty() ? QString::number(n) : invoice, QDate(2010, 5, 2), amount);
        QCOMPARE(r ? r->title : QString(), title);
        QCOMPARE(payments(), title.isEmpty() ? 1 : 0);
    }

    void overpaymentOnLeaving_data()
    {
        QTest::addColumn<QString>("payment");
        QTest::addColumn<QString>("balance");
        QTest::addColumn<bool>("refused");
        QTest::newRow("equal") << "12.5"
                               << "12.5" << false;
        QTest::newRow("less") << "12"
                              << "12.5" << false;
        QTest::newRow("0.001 over") << "12.501"
                                    << "12.5" << true;
        QTest::newRow("empty balance") << "1"
                                       << "" << true;
        QTest::newRow("empty payment") << ""
                                       << "12" << false;
    }
    void overpaymentOnLeaving()
    {
        QFETCH(QString, payment);
        QFETCH(QString, balance);
        QFETCH(bool, refused);
        QCOMPARE(refuseOverpayment(payment, balance).has_value(), refused);
    }

    void manualInvoicesShareTheCounter()
    {
        t->addCustomer(QStringLiteral("Zed"), 10, QStringLiteral("Net 10"));
        t->addCustomer(QStringLiteral("Ann"), 10, QStringLiteral("COD"));
        t->addCustomer(QStringLiteral("Old"), 10, QStringLiteral("Net 60"));
        t->addCustomer(QStringLiteral("Also"), 10, QStringLiteral("COD"));
        db().exec(QStringLiteral("UPDATE Customer SET Status = 'InActive' WHERE Name = 'Old'"));
        QCOMPARE(termsInUse(), QStringList({"COD", "Net 10", "Net 60"}));

        const qint64 automatic = invoice(QStringLiteral("Zed"), 10, QDate(2010, 5, 1), 5);
        const SavedInvoice m =
            saveManualInvoice({QStringLiteral("Zed"), QStringLiteral("COD"), QStringLiteral("250.5"),
                               QDate(2010, 5, 2), QDate(2010, 5, 9)});
        QVERIFY(!m.refusal);
        QCOMPARE(m.invoice, automatic + 1);
        const RowSet r = db().query(QStringLiteral("SELECT * FROM Invoice WHERE Invoice = ?"), {m.invoice});
        QCOMPARE(r[0].text("Type"), QStringLiteral("Manual Invoice"));
        QVERIFY(r[0].isNull("Shipment"));
        QCOMPARE(r[0].number("Total"), 250.5);
        QCOMPARE(r[0].date("DueDate"), QDate(2010, 5, 9));
        QCOMPARE(invoice(QStringLiteral("Zed"), 1, QDate(2010, 5, 3), 6), m.invoice + 1);
    }

    void manualInvoiceRefusals_data()
    {
        QTest::addColumn<QString>("customer");
        QTest::addColumn<QString>("terms");
        QTest::addColumn<QString>("amount");
        QTest::addColumn<QString>("title");
        QTest::newRow("no amount") << "Zed"
                                   << "COD"
                                   << ""
                                   << "Not Enought Information";
        QTest::newRow("no terms") << "Zed"
                                  << ""
                                  << "5"
                                  << "Not Enought Information";
        QTest::newRow("no customer") << ""
                                     << "COD"
                                     << "5"
                                     << "Not Enought Information";
        QTest::newRow("not a number") << "Zed"
                                      << "COD"
                                      << "5 dollars"
                                      << "Invalid Amount";
    }
    void manualInvoiceRefusals()
    {
        QFETCH(QString, customer);
        QFETCH(QString, terms);
        QFETCH(QString, amount);
        QFETCH(QString, title);
        const SavedInvoice m =
            saveManualInvoice({customer, terms, amount, QDate(2010, 5, 2), QDate(2010, 5, 9)});
        QCOMPARE(m.refusal->title, title);
        QCOMPARE(db().scalar(QStringLiteral("SELECT COUNT(*) FROM Invoice")).toInt(), 0);
    }

    // Balances by days past due; the document prints only what is open, the rows stay whole.
    void openInvoicesAging()
    {
        const QDate asOf(2010, 6, 30);
        const struct
        {
            int daysLate;
            double total;
            double paid;
            const char *bucket;
        } cases[] = {{-5, 100, 0, "Current"},      {0, 100, 40, "Current"}, {1, 100, 0, "Late30"},
                     {30, 100, 0, "Late30"},       {31, 100, 0, "Late60"},  {60, 100, 0, "Late60"},
                     {61, 100, 99.99, "Late90"},   {90, 100, 0, "Late90"},  {91, 100, 0, "LateOver90"},
                     {200, 100, 100, "LateOver90"}};
        for (const auto &c : cases) {
            const qint64 n = invoice(QStringLiteral("Cove"), c.total, asOf.addDays(-c.daysLate - 30));
            db().exec(QStringLiteral("UPDATE Invoice SET DueDate = ? WHERE Invoice = ?"),
                      {isoDate(asOf.addDays(-c.daysLate)), n});
            if (c.paid > 0)
                db().insert(QStringLiteral("Payments"), {{"Invoice", n}, {"Date", asOf}, {"Amount", c.paid}});
        }
        // Paid after the as-of day: still open then.
        db().insert(QStringLiteral("Payments"), {{"Invoice", 1}, {"Date", asOf.addDays(1)}, {"Amount", 100}});
        const reports::Document *doc = reports::find(QStringLiteral("crptOpenInvoicesReport"));
        const ReportJob job =
            reports::buildJob(*doc, {{QStringLiteral("asof"), QStringLiteral("6/30/2010")}});
        QCOMPARE(job.rows.size(), 10);
        const QStringList buckets = {"Current", "Late30", "Late60", "Late90", "LateOver90"};
        int printed = 0;
        for (int i = 0; i < 10; ++i) {
            const Row &r = job.rows[i];
            const double balance = cases[i].total - cases[i].paid;
            for (const QString &b : buckets)
                QCOMPARE(qRound(r.number(b) * 100),
                         b == QLatin1String(cases[i].bucket) ? qRound(balance * 100) : 0);
            printed += doc->design.printsRow(r) ? 1 : 0;
        }
        QCOMPARE(printed, 9); // the fully paid one is left out

        // Two hundred paid invoices and one open one print on one page.
        for (int i = 0; i < 200; ++i) {
            const qint64 n = invoice(QStringLiteral("Paid Up"), 10, QDate(2010, 6, 1));
            db().insert(QStringLiteral("Payments"),
                        {{"Invoice", n}, {"Date", QDate(2010, 6, 2)}, {"Amount", 10}});
        }
        const ReportJob all =
            reports::buildJob(*doc, {{QStringLiteral("asof"), QStringLiteral("2010-06-30")}});
        QCOMPARE(all.rows.size(), 210);
        QCOMPARE(reports::ReportDocument(all).pageCount(), 1);
    }

    // One invoice per type, a missing set, a manual invoice, the bounds and the UNION ALL case.
    void salesRegisterRows()
    {
        const QString c = QStringLiteral("O'Hara \"Seats\"");
        t->addCustomer(c);
        t->addSet(QStringLiteral("S"), c, 100); // cutting 10, sewing 20
        t->addSet(QStringLiteral("V"), c, 1, QStringLiteral("Vinyl"));
        t->addSet(QStringLiteral("K"), c, 1, QStringLiteral("Kit"));
        t->addSet(QStringLiteral("H"), c, 1, QStringLiteral("Hide"));
        t->addSet(QStringLiteral("Z"), c, 1); // a set with no component prices
        db().exec(QStringLiteral(
            "UPDATE Sets SET CuttingPrice = 0, SewingPrice = 0, KitPrice = 0 WHERE CustomerRefNo = 'Z'"));
        db().exec(QStringLiteral("UPDATE Sets SET KitPrice = 0 WHERE CustomerRefNo = 'S'"));
        const qint64 o = t->addOrder(c, QStringLiteral("PO"));
        int item = 0;
        for (const char *ref : {"S", "V", "K", "H", "Z", "GONE"})
            t->addOrderLine(o, ++item, 10, QString::fromLatin1(ref), 7);
        auto ship = [&](const QDate &date, const QList<QPair<int, int>> &lines) {
            const qint64 s = t->addShipment(c, date);
            int n = 0;
            for (const auto &[line, qty] : lines)
                t->addShipmentLine(s, ++n, o, line, qty);
            return invoice(c, 0, date, s);
        };
        const qint64 mixed = ship(QDate(2010, 5, 1), {{1, 2}, {2, 1}, {3, 1}, {4, 1}, {6, 4}});
        const qint64 hides = ship(QDate(2010, 5, 31), {{4, 3}});
        const qint64 twins = ship(QDate(2010, 5, 15), {{5, 1}, {4, 1}}); // two equal part rows
        ship(QDate(2010, 6, 1), {{1, 1}});                               // after the period
        ship(QDate(2010, 5, 10), {{6, 2}});                              // only a missing set
        invoice(c, 99, QDate(2010, 5, 12));                              // manual
        for (int run = 0; run < 2; ++run) {
            const RowSet r = register_(QStringLiteral("5/1/2010"), QStringLiteral("2010-05-31"));
            QCOMPARE(r.size(), 3);
            QCOMPARE(r[0].integer("Invoice"), mixed);
            QCOMPARE(r[0].text("Customer"), c);
            QCOMPARE(r[0].number("Cutting"), 20.0);
            QCOMPARE(r[0].number("Sewing"), 40.0);
            QCOMPARE(r[0].number("Vinyl"), 7.0);
            QCOMPARE(r[0].number("Kit"), 7.0);
            QCOMPARE(r[0].number("Total"), 35.0); // 2 sets, a vinyl, a kit and a hide at 7
            QCOMPARE(r[1].integer("Invoice"), twins);
            QCOMPARE(r[1].number("Total"), 14.0);
            QCOMPARE(r[1].number("Cutting"), 0.0);
            QCOMPARE(r[2].integer("Invoice"), hides);
            QCOMPARE(r[2].number("Total"), 21.0);
            QCOMPARE(r[2].number("Vinyl"), 0.0);
            QCOMPARE(r[2].number("Kit"), 0.0);
        }
        QCOMPARE(register_(QStringLiteral("2010-06-01"), QStringLiteral("2010-05-01")).size(), 0);
    }
};

QTEST_MAIN(TestReceivableData)
#include "tst_receivabledata.moc"
