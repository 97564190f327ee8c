// bench_shipsave: saving a new 40-line shipment, with its lines, kit rows, order closing and
// invoice (without the prints), on a copy of a shop file or on a server database; then re-saving
// the first one. Before each timed save a new 40-line order is written and cut in full (kits need
// no cutting), so the save ships all of it; a save that is refused stops the benchmark.
//   bench_shipsave FILE|URI [--runs N]
// A server database (a postgresql:// URI) is written as it is, so it should be one made for
// benchmarking.
#include "core/Clock.h"
#include "core/Database.h"
#include "core/PgEngine.h"
#include "core/schema/Schema.h"
#include "shipping/ShipmentData.h"
#include "BenchSupport.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

using bench::median;
using bench::die;

constexpr int kLines = 40;

// A new open order of forty lines for the customer with the most lines, copied from that
// customer's latest lines, each cut in full (kits need no cutting); the entry ships all of it.
shipping::Entry orderCutInFull(Database &db, int run)
{
    const QString customer =
        db.scalar(QStringLiteral("SELECT Orders.Customer FROM OrderItem INNER JOIN Orders "
                                 "ON Orders.ID = OrderItem.OrderID GROUP BY Orders.Customer "
                                 "ORDER BY COUNT(*) DESC, Orders.Customer LIMIT 1"))
            .toString();
    const RowSet lines = db.query(
        QStringLiteral("SELECT OrderItem.Qty AS Qty, OrderItem.CustomerRefNo AS CustomerRefNo, "
                       "OrderItem.StyleID AS StyleID, OrderItem.MaterialID AS MaterialID, "
                       "OrderItem.PriceEach AS PriceEach FROM OrderItem INNER JOIN Orders ON "
                       "Orders.ID = OrderItem.OrderID WHERE Orders.Customer = ? AND OrderItem.Qty > 0 "
                       "ORDER BY Orders.ID DESC, OrderItem.ItemNumber LIMIT %1")
            .arg(kLines),
        {customer});
    if (lines.size() < kLines)
        die(QStringLiteral("no customer has %1 order lines to copy").arg(kLines));
    const QString ssn = db.scalar(QStringLiteral("SELECT MIN(SSN) FROM Employee")).toString();
    shipping::Entry entry{QString(), Clock::today(), customer, {}, {}};
    const QString number = QStringLiteral("BENCH-%1-%2").arg(QDateTime::currentMSecsSinceEpoch()).arg(run);
    Transaction tx(db);
    const qint64 order =
        db.insert(QStringLiteral("Orders"), {{QStringLiteral("OrderNumber"), number},
                                             {QStringLiteral("Customer"), customer},
                                             {QStringLiteral("OrderDate"), entry.date},
                                             {QStringLiteral("DueDate"), entry.date},
                                             {QStringLiteral("Status"), QStringLiteral("Open")},
                                             {QStringLiteral("DateAdded"), entry.date}});
    qint64 item = 0;
    for (const Row &r : lines) {
        ++item;
        const qint64 qty = r.integer(QStringLiteral("Qty"));
        const Money each = r.money(QStringLiteral("PriceEach"));
        db.insert(QStringLiteral("OrderItem"),
                  {{QStringLiteral("OrderID"), order},
                   {QStringLiteral("ItemNumber"), item},
                   {QStringLiteral("Qty"), qty},
                   {QStringLiteral("CustomerRefNo"), r.text(QStringLiteral("CustomerRefNo"))},
                   {QStringLiteral("StyleID"), r.text(QStringLiteral("StyleID"))},
                   {QStringLiteral("MaterialID"), r.text(QStringLiteral("MaterialID"))},
                   {QStringLiteral("PriceEach"), QVariant::fromValue(each)},
                   {QStringLiteral("PriceExt"), QVariant::fromValue(each.times(double(qty)))}});
        const shipping::Availability a = shipping::availability(order, item, std::nullopt, {});
        if (!a.kit)
            db.insert(QStringLiteral("Cutsheets"), {{QStringLiteral("SSN"), ssn},
                                                    {QStringLiteral("Date"), entry.date},
                                                    {QStringLiteral("OrderID"), order},
                                                    {QStringLiteral("Item"), item},
                                                    {QStringLiteral("Sets"), qty},
                                                    {QStringLiteral("Feet"), 1.0}});
        entry.lines.push_back(
            {customer, number,
             QStringLiteral("%1 - %2").arg(item).arg(r.text(QStringLiteral("CustomerRefNo"))), qty, qty,
             QStringLiteral("1"), order, item});
    }
    tx.commit();
    return entry;
}

qint64 savedOrDie(const shipping::Saved &saved)
{
    if (saved.refusal)
        die(QStringLiteral("the save was refused: %1").arg(saved.refusal->text));
    if (saved.id <= 0 || saved.invoice <= 0)
        die(QStringLiteral("the save wrote no shipment or invoice"));
    return saved.id;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QString location;
    int runs = 9;
    const QStringList args = app.arguments();
    for (int i = 1; i < args.size(); ++i) {
        if (args.at(i) == QLatin1String("--runs") && i + 1 < args.size())
            runs = std::max(1, args.at(++i).toInt());
        else
            location = args.at(i);
    }
    if (location.isEmpty())
        die(QStringLiteral("usage: bench_shipsave FILE|URI [--runs N]"));
    QTemporaryDir dir;
    try {
        if (isServerUri(location)) {
            setDbConnection(Database::open(location, {}));
        } else {
            const QString copy = dir.filePath(QStringLiteral("shop.db"));
            if (!QFile::copy(location, copy))
                die(QStringLiteral("cannot copy %1").arg(location));
            setDbConnection(Database::open(copy, schema::password()));
            schema::upgradeOpenedFile(DbConnection());
        }
        Database &db = DbConnection();
        std::vector<double> fresh;
        shipping::Entry first;
        qint64 firstId = 0;
        for (int i = 0; i < runs; ++i) {
            shipping::Entry entry = orderCutInFull(db, i);
            QElapsedTimer t;
            t.start();
            const qint64 id = savedOrDie(shipping::saveShipment(entry));
            fresh.push_back(double(t.nsecsElapsed()) / 1e6);
            const qint64 stored =
                db.scalar(QStringLiteral("SELECT COUNT(*) FROM ShipmentItems WHERE ShipmentID = ?"), {id})
                    .toLongLong();
            if (stored != kLines)
                die(QStringLiteral("shipment %1 holds %2 lines, not %3").arg(id).arg(stored).arg(kLines));
            if (i == 0) {
                first = entry;
                firstId = id;
            }
        }
        std::vector<double> resaves;
        first.idText = QString::number(firstId);
        for (int i = 0; i < runs; ++i) {
            first.loaded = shipping::shipmentStamp(firstId);
            QElapsedTimer t;
            t.start();
            savedOrDie(shipping::saveShipment(first));
            resaves.push_back(double(t.nsecsElapsed()) / 1e6);
        }
        std::printf(
            "%s, %d runs: save a new %d-line shipment: median %.1f ms (min %.1f, max %.1f); re-save it: "
            "median %.1f ms\n",
            qPrintable(db.isServer() ? QStringLiteral("server") : QStringLiteral("file")), runs, kLines,
            median(fresh), *std::min_element(fresh.begin(), fresh.end()),
            *std::max_element(fresh.begin(), fresh.end()), median(resaves));
    } catch (const DbError &e) {
        die(e.message());
    }
    takeDbConnection().reset();
    return 0;
}
