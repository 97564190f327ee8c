// Receivables: open invoices as of a day, the transactions of a period and the sales register.
#include "core/Clock.h"
#include "reports/docs/DesignKit.h"
#include "reports/docs/Families.h"
#include "shipping/ShippingReports.h"

using namespace reports;
using namespace reports::docs;

namespace {

// Open means a balance of at least half a cent either way.
bool hasBalance(const Row &row)
{
    const Money balance = row.money(QStringLiteral("Total")) - row.money(QStringLiteral("Received"));
    return (balance < Money() ? -balance : balance) >= Money::fromUnits(50);
}

Design openInvoicesDesign()
{
    Design d;
    d.name = QStringLiteral("crptOpenInvoicesReport");
    d.title = QStringLiteral("Open Invoices Report");
    d.slots = {{QStringLiteral("AsOf"), QStringLiteral("As of")}};
    d.orientation = QPageLayout::Landscape;
    Group g;
    g.keys = {QStringLiteral("Customer")};
    g.header = QStringLiteral("{Customer}");
    g.footer = QStringLiteral("Total for {Customer}");
    g.sums = cols("Total, Received, Total-Received, Current, Late30, Late60, Late90, LateOver90");
    d.groups = {g};
    d.details = {count(QStringLiteral("Invoice"), QStringLiteral("Invoice"), 0.6),
                 date(QStringLiteral("InvoiceDate"), QStringLiteral("Invoice Date"), 0.95),
                 date(QStringLiteral("DueDate"), QStringLiteral("Due Date"), 0.85),
                 text(QStringLiteral("Terms"), QStringLiteral("Terms"), 0.7),
                 count(QStringLiteral("Shipment"), QStringLiteral("Shipment"), 0.6),
                 money(QStringLiteral("Total"), QStringLiteral("Amount"), 0.9),
                 money(QStringLiteral("Received"), QStringLiteral("Received"), 0.9),
                 money(QStringLiteral("Total-Received"), QStringLiteral("Balance"), 0.9),
                 money(QStringLiteral("Current"), QStringLiteral("Current"), 0.85),
                 money(QStringLiteral("Late30"), QStringLiteral("1-30"), 0.85),
                 money(QStringLiteral("Late60"), QStringLiteral("31-60"), 0.85),
                 money(QStringLiteral("Late90"), QStringLiteral("61-90"), 0.85),
                 money(QStringLiteral("LateOver90"), QStringLiteral("Over 90"), 0.85)};
    d.totalLabel = QStringLiteral("Total Receivables");
    d.totals = g.sums;
    d.printsRow = hasBalance;
    return d;
}

Design arTransactionsDesign()
{
    Design d;
    d.name = QStringLiteral("crptARTranReport");
    d.title = QStringLiteral("AR Transaction Report");
    d.slots = {{QStringLiteral("FromDate"), QStringLiteral("From")},
               {QStringLiteral("ToDate"), QStringLiteral("To")}};
    d.details = {date(QStringLiteral("InvoiceDate"), QStringLiteral("Date")),
                 count(QStringLiteral("Invoice"), QStringLiteral("Invoice"), 0.6),
                 text(QStringLiteral("Customer"), QStringLiteral("Customer"), 1.8),
                 text(QStringLiteral("Type"), QStringLiteral("Type"), 1.1),
                 count(QStringLiteral("Shipment"), QStringLiteral("Shipment"), 0.7),
                 text(QStringLiteral("Terms"), QStringLiteral("Terms"), 0.8),
                 date(QStringLiteral("DueDate"), QStringLiteral("Due Date")),
                 money(QStringLiteral("Total"), QStringLiteral("Amount"), 1)};
    d.totalLabel = QStringLiteral("Invoices in the period: {count}");
    d.totals = cols("Total");
    SubReport payments;
    payments.title = QStringLiteral("Payments Received");
    payments.columns = cols("ID, Invoice, Date, Amount");
    payments.details = {date(QStringLiteral("Date"), QStringLiteral("Date")),
                        count(QStringLiteral("Invoice"), QStringLiteral("Invoice"), 0.6),
                        count(QStringLiteral("ID"), QStringLiteral("Payment"), 0.6),
                        money(QStringLiteral("Amount"), QStringLiteral("Amount"), 1)};
    payments.totalLabel = QStringLiteral("Payments in the period: {count}");
    payments.totals = cols("Amount");
    d.sub = payments;
    return d;
}

Design salesRegisterDesign()
{
    Design d;
    d.name = QStringLiteral("crptSalesRegisterReport");
    d.title = QStringLiteral("Sales Register");
    d.slots = {{QStringLiteral("BeginDate"), QStringLiteral("From")},
               {QStringLiteral("EndDate"), QStringLiteral("To")}};
    Group g;
    g.keys = {QStringLiteral("Customer")};
    g.header = QStringLiteral("{Customer}");
    g.footer = QStringLiteral("Total for {Customer}");
    g.sums = cols("Cutting, Sewing, Vinyl, Kit, Total");
    d.groups = {g};
    d.details = {date(QStringLiteral("InvoiceDate"), QStringLiteral("Date")),
                 count(QStringLiteral("Invoice"), QStringLiteral("Invoice"), 0.7),
                 money(QStringLiteral("Cutting"), QStringLiteral("Cutting")),
                 money(QStringLiteral("Sewing"), QStringLiteral("Sewing")),
                 money(QStringLiteral("Vinyl"), QStringLiteral("Vinyl")),
                 money(QStringLiteral("Kit"), QStringLiteral("Kit")),
                 money(QStringLiteral("Total"), QStringLiteral("Total"))};
    d.totalLabel = QStringLiteral("Total Sales");
    d.totals = g.sums;
    return d;
}

} // namespace

void reports::docs::addReceivableDocuments(Family &family)
{
    family.add(
        {.design = openInvoicesDesign(),
         .columns =
             cols("Customer, Invoice, InvoiceDate, AsOf, DueDate, Terms, Shipment, Total, Received, Current, "
                  "Late30, Late60, Late90, LateOver90"),
         .build =
             [](const ReportArguments &a) {
                 return receivables::openInvoicesJob(a.date(QStringLiteral("asof"), Clock::today()));
             },
         .arguments = {{QStringLiteral("asof"), ArgumentKind::Date, false,
                        QStringLiteral("as-of date (default: today)")}}});
    family.add(
        {.design = arTransactionsDesign(),
         .columns = cols("Customer, Invoice, InvoiceDate, DueDate, Terms, Shipment, Total, Type"),
         .build =
             [](const ReportArguments &a) {
                 return receivables::arTransactionsJob(a.date(QStringLiteral("from")),
                                                       a.date(QStringLiteral("to")));
             },
         .arguments = {{QStringLiteral("from"), ArgumentKind::Date, true, QStringLiteral("first date")},
                       {QStringLiteral("to"), ArgumentKind::Date, true, QStringLiteral("last date")}}});
    family.add(
        {.design = salesRegisterDesign(),
         .columns = cols("Customer, InvoiceDate, Invoice, Cutting, Sewing, Vinyl, Kit, Total"),
         .build =
             [](const ReportArguments &a) {
                 return receivables::salesRegisterJob(a.date(QStringLiteral("from")),
                                                      a.date(QStringLiteral("to")));
             },
         .arguments = {{QStringLiteral("from"), ArgumentKind::Date, true,
                        QStringLiteral("first invoice date")},
                       {QStringLiteral("to"), ArgumentKind::Date, true, QStringLiteral("last invoice date")}},
         .hourglass = true});
}
