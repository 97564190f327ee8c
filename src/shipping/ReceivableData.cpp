#include "shipping/ReceivableData.h"

#include "core/Clock.h"

namespace receivables {

namespace {

const Money kTolerance = Money::fromUnits(10); // 0.001

Refusal invalidInvoice()
{
    return {QStringLiteral("Invalid Invoice Number. Please Re-enter."), QStringLiteral("Invalid Invoice"),
            QStringLiteral("txtInvoice")};
}

Refusal overpayment()
{
    return {QStringLiteral("You may not receive payment greater than the remaining balance on an invoice."),
            QStringLiteral("Invalid Payment Amount"), QStringLiteral("txtPayment")};
}

Refusal notAnAmount()
{
    return {QStringLiteral("The Payment Amount must be a number greater than 0. Please re-enter."),
            QStringLiteral("Invalid Payment Amount"), QStringLiteral("txtPayment")};
}

} // namespace

Balance lookupInvoice(const QString &invoiceText)
{
    Balance out;
    bool ok = false;
    out.invoice = invoiceText.trimmed().toLongLong(&ok);
    Database &db = DbConnection();
    const RowSet rows =
        ok ? db.query(QStringLiteral("SELECT Total, Customer FROM Invoice WHERE Invoice = ?"), {out.invoice})
           : RowSet();
    if (rows.isEmpty()) {
        out.refusal = invalidInvoice();
        return out;
    }
    out.amount = rows.first().money(QStringLiteral("Total"));
    out.customer = rows.first().text(QStringLiteral("Customer"));
    const Money paid = Money::fromVariant(
        db.scalar(QStringLiteral("SELECT SUM(Amount) FROM Payments WHERE Invoice = ?"), {out.invoice}));
    out.balance = out.amount - paid;
    return out;
}

std::vector<OpenInvoice> openInvoices()
{
    const RowSet rows = DbConnection().query(QStringLiteral(
        "SELECT Invoice.Invoice, Invoice.Customer, Invoice.InvoiceDate, Invoice.Total, "
        "(SELECT SUM(Payments.Amount) FROM Payments WHERE Payments.Invoice = Invoice.Invoice) AS Paid "
        "FROM Invoice ORDER BY Invoice.Invoice DESC"));
    std::vector<OpenInvoice> open;
    for (const Row &r : rows) {
        const Money balance =
            r.money(QStringLiteral("Total")) - Money::fromVariant(r.value(QStringLiteral("Paid")));
        if (balance >= kTolerance)
            open.push_back({r.value(QStringLiteral("Invoice")).toLongLong(),
                            r.text(QStringLiteral("Customer")), r.date(QStringLiteral("InvoiceDate")),
                            balance});
    }
    return open;
}

QString describe(const OpenInvoice &invoice)
{
    return QStringLiteral("%1 - %2 - %3 - %4")
        .arg(invoice.invoice)
        .arg(invoice.customer, invoice.date.toString(Clock::dateFormat()),
             invoice.balance.toDisplayString(2));
}

std::optional<Refusal> refuseOverpayment(const QString &paymentText, const QString &balanceText)
{
    if (paymentText.trimmed().isEmpty())
        return std::nullopt;
    const std::optional<Money> payment = Money::parse(paymentText);
    if (!payment)
        return notAnAmount();
    const Money balance = Money::parse(balanceText).value_or(Money());
    if (*payment - balance >= kTolerance)
        return overpayment();
    return std::nullopt;
}

std::optional<Refusal> savePayment(const QString &invoiceText, const QDate &date, const QString &amountText)
{
    const std::optional<Money> amount = Money::parse(amountText);
    if (!amount || *amount <= Money())
        return notAnAmount();
    Database &db = DbConnection();
    return retrying(db, [&]() -> std::optional<Refusal> {
        Transaction tx(db);
        // The balance is judged with the invoice locked, so two stations cannot both pay its last part.
        bool number = false;
        const qint64 invoice = invoiceText.trimmed().toLongLong(&number);
        if (number)
            db.lockRows(QStringLiteral("Invoice"), QStringLiteral("Invoice = ?"), {invoice});
        const Balance now = lookupInvoice(invoiceText);
        if (now.refusal)
            return now.refusal;
        if (*amount - now.balance >= kTolerance)
            return overpayment();
        db.insert(QStringLiteral("Payments"), {{QStringLiteral("Invoice"), now.invoice},
                                               {QStringLiteral("Date"), date},
                                               {QStringLiteral("Amount"), QVariant::fromValue(*amount)}});
        tx.commit();
        return std::nullopt;
    });
}

QStringList termsInUse()
{
    QStringList out;
    const RowSet rows = DbConnection().query(QStringLiteral(
        "SELECT DISTINCT Terms FROM Customer WHERE Terms IS NOT NULL AND Terms <> '' ORDER BY Terms"));
    for (const Row &r : rows)
        out << r.text(QStringLiteral("Terms"));
    return out;
}

SavedInvoice saveManualInvoice(const ManualInvoice &m)
{
    SavedInvoice out;
    if (m.amountText.trimmed().isEmpty() || m.terms.isEmpty() || m.customer.isEmpty()) {
        out.refusal = Refusal{QStringLiteral("You must enter a Customer, Terms, and Invoice Amount."),
                              QStringLiteral("Not Enought Information"), QString()};
        return out;
    }
    const std::optional<Money> amount = Money::parse(m.amountText);
    if (!amount) {
        out.refusal = Refusal{QStringLiteral("The Amount must be a number. Please re-enter."),
                              QStringLiteral("Invalid Amount"), QStringLiteral("txtAmount")};
        return out;
    }
    Database &db = DbConnection();
    Transaction tx(db);
    out.invoice =
        db.insert(QStringLiteral("Invoice"), {{QStringLiteral("Customer"), m.customer},
                                              {QStringLiteral("InvoiceDate"), m.invoiceDate},
                                              {QStringLiteral("DueDate"), m.dueDate},
                                              {QStringLiteral("Terms"), m.terms},
                                              {QStringLiteral("Total"), QVariant::fromValue(*amount)},
                                              {QStringLiteral("Type"), QStringLiteral("Manual Invoice")}});
    tx.commit();
    return out;
}

} // namespace receivables
