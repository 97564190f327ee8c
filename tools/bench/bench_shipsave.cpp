// bench_shipsave: saving a new 40-line shipment, with its lines, kit rows, order closings and
// invoice (without the prints), on a copy of a shop file or on a server database; then re-saving
// the first one. Before each timed save, forty open lines of one customer not shipped in full are
// cut up to what they ordered (kits need no cutting), so the save ships what it may; a save that
// is refused stops the benchmark.
//   bench_shipsave FILE|URI [--runs N]
// A server database (a postgresql:// URI) is written as it is, so it should be one made for
// benchmarking.
#include "core/Clock.h"
#include "core/Database.h"
#include "core/PgEngine.h"
#include "core/schema/Schema.h"
#include "shipping/ShipmentData.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <set>
#include <vector>

namespace {

constexpr int kLines = 40;

[[noreturn]] void die(const QString &text)
{
    std::fprintf(stderr, "bench_shipsave: %s\n", qPrintable(text));
    std::exit(1);
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

// Forty lines of one customer's open orders, none in `used`, cut up to what they ordered; the
// entry ships all of each line that is not shipped yet.
shipping::Entry cutLines(Database &db, std::set<std::pair<qint64, qint64>> &used)
{
    const RowSet customers = db.query(
        QStringLiteral("SELECT Orders.Customer AS Customer FROM OrderItem INNER JOIN Orders ON Orders.ID = "
                       "OrderItem.OrderID "
                       "WHERE Orders.Status = 'Open' GROUP BY Orders.Customer ORDER BY COUNT(*) DESC"));
    const QString ssn = db.scalar(QStringLiteral("SELECT MIN(SSN) FROM Employee")).toString();
    for (const Row &c : customers) {
        shipping::Entry entry{QString(), Clock::today(), c.text(QStringLiteral("Customer")), {}, {}};
        const RowSet lines =
            db.query(QStringLiteral(
                         "SELECT Orders.OrderNumber AS OrderNumber, OrderItem.OrderID AS OrderID, "
                         "OrderItem.ItemNumber AS ItemNumber, OrderItem.CustomerRefNo AS Ref FROM OrderItem "
                         "INNER JOIN Orders ON Orders.ID = OrderItem.OrderID WHERE Orders.Status = 'Open' "
                         "AND Orders.Customer = ? ORDER BY Orders.ID DESC, OrderItem.ItemNumber"),
                     {entry.customer});
        Transaction tx(db);
        for (const Row &r : lines) {
            const qint64 order = r.integer(QStringLiteral("OrderID"));
            const qint64 item = r.integer(QStringLiteral("ItemNumber"));
            if (used.count({order, item}))
                continue;
            const shipping::Availability a = shipping::availability(order, item, std::nullopt, {});
            if (a.ordered - a.shipped <= 0)
                continue;
            if (!a.kit && a.cut < a.ordered)
                db.insert(QStringLiteral("Cutsheets"), {{QStringLiteral("SSN"), ssn},
                                                        {QStringLiteral("Date"), entry.date},
                                                        {QStringLiteral("OrderID"), order},
                                                        {QStringLiteral("Item"), item},
                                                        {QStringLiteral("Sets"), a.ordered - a.cut},
                                                        {QStringLiteral("Feet"), 1.0}});
            entry.lines.push_back({entry.customer, r.text(QStringLiteral("OrderNumber")),
                                   QStringLiteral("%1 - %2").arg(item).arg(r.text(QStringLiteral("Ref"))),
                                   a.ordered, a.ordered - a.shipped, QStringLiteral("1"), order, item});
            if (entry.lines.size() == size_t(kLines))
                break;
        }
        if (entry.lines.size() < size_t(kLines))
            continue; // rolled back: this customer has too few lines left
        tx.commit();
        for (const shipping::ShipmentLine &l : entry.lines)
            used.insert({l.orderId, l.lineItem});
        return entry;
    }
    die(QStringLiteral("no customer has %1 open lines left to ship").arg(kLines));
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
        std::set<std::pair<qint64, qint64>> used;
        std::vector<double> fresh;
        shipping::Entry first;
        qint64 firstId = 0;
        for (int i = 0; i < runs; ++i) {
            shipping::Entry entry = cutLines(db, used);
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
