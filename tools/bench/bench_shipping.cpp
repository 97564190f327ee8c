// Shipping and receivables on a demo database: loading a stored shipment, the sets-available
// rule, and the open invoices and sales register rows against the same statements run raw. The
// 40-line shipment save is bench_shipsave's.
//   bench_shipping FILE [--runs N]     (FILE is copied first: the raw statements write to the copy)

#include "core/Database.h"
#include "core/schema/Schema.h"
#include "reports/ReportRegistry.h"
#include "shipping/ShipmentData.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

double medianMs(int runs, const std::function<void()> &work)
{
    std::vector<double> ms;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer t;
        t.start();
        work();
        ms.push_back(double(t.nsecsElapsed()) / 1e6);
    }
    std::sort(ms.begin(), ms.end());
    return ms[ms.size() / 2];
}

void report(const char *what, double ms)
{
    std::printf("%-48s %9.2f ms\n", what, ms);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 2) {
        std::fprintf(stderr, "usage: bench_shipping FILE [--runs N]\n");
        return 2;
    }
    const int at = int(args.indexOf(QStringLiteral("--runs")));
    const int runs = at > 0 && at + 1 < args.size() ? args.at(at + 1).toInt() : 15;
    QTemporaryDir dir;
    const QString copy = dir.filePath(QStringLiteral("bench.db"));
    if (!QFile::copy(args.at(1), copy)) {
        std::fprintf(stderr, "cannot copy %s\n", qPrintable(args.at(1)));
        return 2;
    }
    setDbConnection(Database::open(copy, schema::password()));
    Database &db = DbConnection();

    const qint64 shipment = db.scalar(QStringLiteral("SELECT MAX(ShipmentID) FROM ShipmentItems")).toLongLong();
    report("load a stored shipment", medianMs(runs, [&] { shipping::loadShipment(QString::number(shipment)); }));
    const shipping::Loaded loaded = shipping::loadShipment(QString::number(shipment));
    const shipping::ShipmentLine &first = loaded.lines.front();
    report("sets available for one line", medianMs(runs, [&] {
               shipping::availability(first.orderId, first.lineItem, loaded.id, loaded.lines);
           }));

    const QString asOf = db.scalar(QStringLiteral("SELECT MAX(InvoiceDate) FROM Invoice")).toString();
    const reports::Document *open = reports::find(QStringLiteral("crptOpenInvoicesReport"));
    const double openRows =
        medianMs(runs, [&] { reports::buildJob(*open, {{QStringLiteral("asof"), asOf}}); });
    const double openRaw = medianMs(runs, [&] {
        db.exec(QStringLiteral("DROP TABLE IF EXISTS rawPayments"));
        db.exec(QStringLiteral("DROP TABLE IF EXISTS rawOpen"));
        db.exec(QStringLiteral("CREATE TABLE rawPayments AS SELECT * FROM Payments WHERE Date <= ?"), {asOf});
        db.exec(QStringLiteral("CREATE TABLE rawOpen AS SELECT Invoice.Customer AS Customer, Invoice.Invoice AS "
                               "Invoice, Invoice.InvoiceDate AS InvoiceDate, ? AS AsOf, Invoice.DueDate AS DueDate, "
                               "Invoice.Terms AS Terms, Invoice.Shipment AS Shipment, Invoice.Total AS Total, "
                               "SUM(rawPayments.Amount) AS Received FROM Invoice LEFT JOIN rawPayments ON "
                               "Invoice.Invoice = rawPayments.Invoice WHERE Invoice.InvoiceDate <= ? GROUP BY "
                               "Invoice.Customer, Invoice.Invoice, Invoice.InvoiceDate, Invoice.DueDate, "
                               "Invoice.Terms, Invoice.Shipment, Invoice.Total"),
                {asOf, asOf});
        db.exec(QStringLiteral("UPDATE rawOpen SET Received = 0 WHERE Received IS NULL"));
        db.query(QStringLiteral("SELECT * FROM rawOpen WHERE InvoiceDate <= ? ORDER BY Customer, Invoice"), {asOf});
    });
    report("open invoices rows", openRows);
    report("  the same statements raw", openRaw);

    const QString from = QDate::fromString(asOf, Qt::ISODate).addDays(-30).toString(Qt::ISODate);
    const reports::Document *sales = reports::find(QStringLiteral("crptSalesRegisterReport"));
    const double salesRows = medianMs(runs, [&] {
        reports::buildJob(*sales, {{QStringLiteral("from"), from}, {QStringLiteral("to"), asOf}});
    });
    const QString part = QStringLiteral(
        "SELECT Invoice.Customer AS Customer, Invoice.InvoiceDate AS InvoiceDate, Invoice.Invoice AS Invoice, "
        "SUM(ShipmentItems.Qty * %1) AS Cutting, SUM(ShipmentItems.Qty * OrderItem.PriceEach) AS Total "
        "FROM ShipmentItems LEFT JOIN Invoice ON ShipmentItems.ShipmentID = Invoice.Shipment LEFT JOIN OrderItem "
        "ON ShipmentItems.OrderID = OrderItem.OrderID AND ShipmentItems.LineItem = OrderItem.ItemNumber LEFT JOIN "
        "Sets ON OrderItem.CustomerRefNo = Sets.CustomerRefNo WHERE Invoice.InvoiceDate >= ? AND "
        "Invoice.InvoiceDate <= ? AND Sets.Type = ? GROUP BY Invoice.Customer, Invoice.Invoice, Invoice.InvoiceDate");
    const double salesRaw = medianMs(runs, [&] {
        db.exec(QStringLiteral("DROP TABLE IF EXISTS rawSales"));
        db.exec(QStringLiteral("CREATE TABLE rawSales AS SELECT Customer, InvoiceDate, Invoice, SUM(Cutting) AS "
                               "Cutting, SUM(Total) AS Total FROM (") +
                    part.arg(QStringLiteral("Sets.CuttingPrice")) + QStringLiteral(" UNION ALL ") + part.arg(QStringLiteral("0.0")) +
                    QStringLiteral(" UNION ALL ") + part.arg(QStringLiteral("0.0")) + QStringLiteral(" UNION ALL ") +
                    part.arg(QStringLiteral("0.0")) + QStringLiteral(") GROUP BY Customer, InvoiceDate, Invoice"),
                {from, asOf, QStringLiteral("Set"), from, asOf, QStringLiteral("Vinyl"), from, asOf,
                 QStringLiteral("Kit"), from, asOf, QStringLiteral("Hide")});
        db.query(QStringLiteral("SELECT * FROM rawSales ORDER BY Customer, InvoiceDate, Invoice"));
    });
    report("sales register rows (30 days)", salesRows);
    report("  the same statements raw", salesRaw);
    takeDbConnection();
    return 0;
}
