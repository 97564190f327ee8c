// Receivables: open invoices as of a day, the transactions of a period and the sales register.
#include "core/Clock.h"
#include "core/Database.h"
#include "core/SharedRoutines.h"
#include "reports/ReportCatalogue.h"
#include "reports/docs/DesignKit.h"
#include "reports/docs/Families.h"

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
    d.columns =
        cols("Customer, Invoice, InvoiceDate, AsOf, DueDate, Terms, Shipment, Total, Received, Current, "
             "Late30, Late60, Late90, LateOver90");
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
    d.columns = cols("Customer, Invoice, InvoiceDate, DueDate, Terms, Shipment, Total, Type");
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
    d.columns = cols("Customer, InvoiceDate, Invoice, Cutting, Sewing, Vinyl, Kit, Total");
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

ReportJob openInvoicesJob(const QDate &asOf)
{
    Database &db = DbConnection();
    const QString day = isoDate(asOf);
    // One transaction: on their own the drops and builds each waited for their commit to reach
    // the disk. The sums read the payments through their invoice index rather than through
    // the copy, which has none.
    Transaction tx(db);
    DropTable(QStringLiteral("tmpOpenInvoices"));
    DropTable(QStringLiteral("tmpPayments"));
    db.exec(
        QStringLiteral("CREATE TEMP TABLE tmpPayments AS SELECT ID AS ID, Invoice AS Invoice, Date AS Date, "
                       "Amount AS Amount FROM Payments WHERE Date <= ?"),
        {day});
    db.exec(
        QStringLiteral(
            "CREATE TEMP TABLE tmpOpenInvoices AS SELECT Invoice.Customer AS Customer, Invoice.Invoice AS "
            "Invoice, Invoice.InvoiceDate AS InvoiceDate, ? AS AsOf, Invoice.DueDate AS DueDate, "
            "Invoice.Terms AS Terms, Invoice.Shipment AS Shipment, Invoice.Total AS Total, "
            "COALESCE(SUM(Payments.Amount), 0) AS Received "
            "FROM Invoice LEFT JOIN Payments ON Invoice.Invoice = Payments.Invoice AND Payments.Date <= ? "
            "WHERE Invoice.InvoiceDate <= ? "
            "GROUP BY Invoice.Customer, Invoice.Invoice, Invoice.InvoiceDate, Invoice.DueDate, "
            "Invoice.Terms, Invoice.Shipment, Invoice.Total ORDER BY Invoice.Customer, Invoice.Invoice"),
        {day, day, day});
    tx.commit();
    // The balance by days past due at the as-of day; the design prints the open ones only. A
    // scratch table loses the case-blind collation of its source: customers sort as the schema
    // does.
    const char *const bucket = "CASE WHEN %1 THEN Total - Received ELSE 0 END";
    const auto aged = [bucket](const char *when) {
        return QString::fromLatin1(bucket).arg(QLatin1String(when));
    };
    ReportJob j = job(
        QStringLiteral("crptOpenInvoicesReport"),
        db.query(
            QStringLiteral("SELECT Customer, Invoice, InvoiceDate, AsOf, DueDate, Terms, Shipment, Total, "
                           "Received, %1 AS Current, %2 AS Late30, %3 AS Late60, %4 AS Late90, "
                           "%5 AS LateOver90 FROM (SELECT *, %6 AS Late FROM tmpOpenInvoices "
                           "WHERE InvoiceDate <= ?) o ORDER BY LOWER(Customer), Invoice")
                .arg(
                    aged("Late <= 0"), aged("Late > 0 AND Late <= 30"), aged("Late > 30 AND Late <= 60"),
                    aged("Late > 60 AND Late <= 90"), aged("Late > 90"),
                    db.daysBetween(QStringLiteral("AsOf"), QStringLiteral("COALESCE(DueDate, InvoiceDate)"))),
            {day}));
    j.textSlots = {{QStringLiteral("AsOf"), reports::shortDate(asOf)}};
    return j;
}

ReportJob arTransactionsJob(const QDate &from, const QDate &to)
{
    Database &db = DbConnection();
    const QString first = isoDate(from);
    const QString last = isoDate(to);
    ReportJob j =
        job(QStringLiteral("crptARTranReport"),
            db.query(QStringLiteral("SELECT Customer, Invoice, InvoiceDate, DueDate, Terms, Shipment, Total, "
                                    "Type FROM Invoice WHERE InvoiceDate >= ? AND InvoiceDate <= ? "
                                    "ORDER BY InvoiceDate, Invoice"),
                     {first, last}));
    j.subRows = db.query(
        QStringLiteral("SELECT ID, Invoice, Date, Amount FROM Payments WHERE Date >= ? AND Date <= ? "
                       "ORDER BY Date, Invoice"),
        {first, last});
    j.textSlots = {{QStringLiteral("FromDate"), reports::shortDate(from)},
                   {QStringLiteral("ToDate"), reports::shortDate(to)}};
    return j;
}

namespace {

// One part of the sales register: the sums of one set type's lines per invoice of the period.
// Only lines with an invoice of the period and a set of the type count, so the joins are inner:
// the engine can then start from the period's invoices instead of every shipped line.
QString salesRegisterPart(const char *cutting, const char *sewing, const char *vinyl, const char *kit)
{
    return QStringLiteral(
               "SELECT Invoice.Customer AS Customer, Invoice.InvoiceDate AS InvoiceDate, "
               "Invoice.Invoice AS Invoice, SUM(%1) AS Cutting, SUM(%2) AS Sewing, SUM(%3) AS Vinyl, "
               "SUM(%4) AS Kit, SUM(ShipmentItems.Qty * OrderItem.PriceEach) AS Total "
               "FROM Invoice JOIN ShipmentItems ON ShipmentItems.ShipmentID = Invoice.Shipment "
               "JOIN OrderItem ON ShipmentItems.OrderID = OrderItem.OrderID "
               "AND ShipmentItems.LineItem = OrderItem.ItemNumber "
               "JOIN Sets ON OrderItem.CustomerRefNo = Sets.CustomerRefNo "
               "WHERE Invoice.InvoiceDate >= ? AND Invoice.InvoiceDate <= ? AND Sets.Type = ? "
               "GROUP BY Invoice.Customer, Invoice.Invoice, Invoice.InvoiceDate")
        .arg(QLatin1String(cutting), QLatin1String(sewing), QLatin1String(vinyl), QLatin1String(kit));
}

} // namespace

ReportJob salesRegisterJob(const QDate &from, const QDate &to)
{
    Database &db = DbConnection();
    const QString first = isoDate(from);
    const QString last = isoDate(to);
    const char *const line = "ShipmentItems.Qty * OrderItem.PriceEach";
    const char *const none = "ShipmentItems.Qty * 0.0";
    // UNION ALL: two equal part rows of one invoice (a set whose component prices are all 0 and
    // a hide of the same value) must both count.
    const QString parts =
        salesRegisterPart("ShipmentItems.Qty * Sets.CuttingPrice", "ShipmentItems.Qty * Sets.SewingPrice",
                          "ShipmentItems.Qty * Sets.VinylPrice", "ShipmentItems.Qty * Sets.KitPrice") +
        QStringLiteral(" UNION ALL ") + salesRegisterPart(none, none, line, none) +
        QStringLiteral(" UNION ALL ") + salesRegisterPart(none, none, none, line) +
        QStringLiteral(" UNION ALL ") + salesRegisterPart(none, none, none, none);
    // One transaction: on their own the drop, the build and the updates each waited for their
    // commit to reach the disk.
    Transaction tx(db);
    DropTable(QStringLiteral("tmpSalesRegister"));
    db.exec(
        QStringLiteral("CREATE TEMP TABLE tmpSalesRegister AS SELECT Customer AS Customer, InvoiceDate AS "
                       "InvoiceDate, Invoice AS Invoice, SUM(Cutting) AS Cutting1, SUM(Sewing) AS Sewing1, "
                       "SUM(Vinyl) AS Vinyl1, SUM(Kit) AS Kit1, SUM(Total) AS Total1 FROM (") +
            parts +
            QStringLiteral(
                ") p GROUP BY Customer, InvoiceDate, Invoice ORDER BY Customer, InvoiceDate, Invoice"),
        {first, last, QStringLiteral("Set"), first, last, QStringLiteral("Vinyl"), first, last,
         QStringLiteral("Kit"), first, last, QStringLiteral("Hide")});
    for (const char *column : {"Vinyl1", "Cutting1", "Sewing1", "Kit1"})
        db.exec(
            QStringLiteral("UPDATE tmpSalesRegister SET %1 = 0 WHERE %1 IS NULL").arg(QLatin1String(column)));
    tx.commit();
    ReportJob j =
        job(QStringLiteral("crptSalesRegisterReport"),
            db.query(QStringLiteral("SELECT Customer, InvoiceDate, Invoice, Cutting1 AS Cutting, Sewing1 AS "
                                    "Sewing, Vinyl1 AS Vinyl, Kit1 AS Kit, Total1 AS Total "
                                    "FROM tmpSalesRegister ORDER BY LOWER(Customer), "
                                    "InvoiceDate, Invoice")));
    j.textSlots = {{QStringLiteral("BeginDate"), reports::shortDate(from)},
                   {QStringLiteral("EndDate"), reports::shortDate(to)}};
    return j;
}

void reports::docs::addReceivableDocuments(Family &family)
{
    family.add({.design = openInvoicesDesign(),
                .build =
                    [](const ReportArguments &a) {
                        return openInvoicesJob(a.date(QStringLiteral("asof"), Clock::today()));
                    },
                .arguments = {{QStringLiteral("asof"), ArgumentKind::Date, false,
                               QStringLiteral("as-of date (default: today)")}}});
    family.add(
        {.design = arTransactionsDesign(),
         .build =
             [](const ReportArguments &a) {
                 return arTransactionsJob(a.date(QStringLiteral("from")), a.date(QStringLiteral("to")));
             },
         .arguments = {{QStringLiteral("from"), ArgumentKind::Date, true, QStringLiteral("first date")},
                       {QStringLiteral("to"), ArgumentKind::Date, true, QStringLiteral("last date")}}});
    family.add(
        {.design = salesRegisterDesign(),
         .build =
             [](const ReportArguments &a) {
                 return salesRegisterJob(a.date(QStringLiteral("from")), a.date(QStringLiteral("to")));
             },
         .arguments = {{QStringLiteral("from"), ArgumentKind::Date, true,
                        QStringLiteral("first invoice date")},
                       {QStringLiteral("to"), ArgumentKind::Date, true, QStringLiteral("last invoice date")}},
         .hourglass = true});
}
