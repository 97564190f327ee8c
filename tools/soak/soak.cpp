// A load driver: N clerks, each its own process with its own connection, doing random shop work
// through the functions the windows call, until a deadline. Then the counts and latencies per
// operation, the shop's invariants and the database check.
//   corvane-soak --db URI|FILE --clerks N --seconds S [--seed K]
// Exits 1 on any unexpected error or broken invariant.

#include "DemandWorkbook.h"
#include "Invariants.h"

#include "core/Clock.h"
#include "core/Database.h"
#include "core/Startup.h"
#include "core/schema/Schema.h"
#include "inventory/InventoryData.h"
#include "orders/OrderData.h"
#include "production/CutsheetData.h"
#include "purchasing/DemandImport.h"
#include "purchasing/PurchaseOrders.h"
#include "shipping/ReceivableData.h"
#include "shipping/ShipmentData.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QProcess>
#include <QSet>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <random>
#include <set>

namespace {

// How one operation ended. A rule's refusal (and a save refused because another workstation
// changed the record first) is the system working; busy is the file's wait running out.
enum class Outcome
{
    Done,
    Refused,
    Busy,
    Unexpected,
    Skipped
};

QTextStream &out()
{
    static QTextStream stream(stdout);
    return stream;
}

std::unique_ptr<Database> openShop(const QString &location)
{
    return Database::open(location, schema::password());
}

class Clerk
{
public:
    Clerk(int number, unsigned seed, const QString &scratch)
        : m_number(number), m_rng(seed * 1000u + unsigned(number)), m_scratch(scratch)
    {
        Database &db = DbConnection();
        // Each save runs one transaction; a second one begun within the same call is a retry.
        db.setStatementHook([this](int statement) {
            if (statement == 1)
                ++m_transactions;
        });
        for (const Row &r : db.query(QStringLiteral("SELECT CustomerRefNo, Customer, Style, Material, "
                                                    "TotalPrice FROM Sets WHERE Status = 'Active' "
                                                    "AND Type <> 'Kit' ORDER BY CustomerRefNo")))
            m_sets[r.text(QStringLiteral("Customer"))].push_back(
                {r.text(QStringLiteral("CustomerRefNo")), r.text(QStringLiteral("Style")),
                 r.text(QStringLiteral("Material")), r.money(QStringLiteral("TotalPrice"))});
        for (auto it = m_sets.begin(); it != m_sets.end();) {
            if (db.scalar(
                      QStringLiteral("SELECT COUNT(*) FROM Customer WHERE Name = ? AND Status = 'Active'"),
                      {it->first})
                    .toInt() == 0)
                it = m_sets.erase(it);
            else
                ++it;
        }
        for (const auto &[customer, sets] : m_sets)
            m_customers << customer;
        for (const Row &r :
             db.query(QStringLiteral("SELECT ID FROM Material WHERE Status = 'Active' ORDER BY ID")))
            m_materials << r.text(QStringLiteral("ID"));
        for (const Row &r : db.query(QStringLiteral(
                 "SELECT DISTINCT x.CustomerRefNumber AS Ref FROM CrossReferenceTable x JOIN Sets s ON "
                 "s.CustomerRefNo = x.CustomerRefNumber ORDER BY x.CustomerRefNumber")))
            m_demandRefs << r.text(QStringLiteral("Ref"));
        m_employees = cutsheets::activeEmployees();
    }

    struct Operation
    {
        const char *name;
        int weight; // how often a clerk picks it, against the others
        Outcome (Clerk::*run)();
    };
    static const std::vector<Operation> &operations()
    {
        static const std::vector<Operation> table = {
            {"order", 3, &Clerk::order},
            {"cut sheet", 4, &Clerk::cutSheet},
            {"shipment", 4, &Clerk::shipment},
            {"shipment re-save", 2, &Clerk::reshipment},
            {"payment", 3, &Clerk::payment},
            {"manual invoice", 1, &Clerk::manualInvoice},
            {"adjustment", 1, &Clerk::adjustment},
            {"item values", 1, &Clerk::itemValues},
            {"demand import", 1, &Clerk::demandImport},
            {"create PO", 1, &Clerk::createPO},
            {"PO delete", 1, &Clerk::deletePO},
        };
        return table;
    }

    // Picks an operation and does it; prints one line for it. The first round takes each kind
    // in turn, so even a short run does every kind.
    void work()
    {
        int op = 0;
        if (m_round < operations().size()) {
            op = int(m_round++);
        } else {
            int total = 0;
            for (const Operation &o : operations())
                total += o.weight;
            int pick = below(total);
            while (pick >= operations().at(size_t(op)).weight)
                pick -= operations().at(size_t(op++)).weight;
        }
        m_transactions = 0;
        m_ms = -1;
        Outcome outcome;
        QString problem;
        try {
            m_timer.start();
            outcome = (this->*operations().at(size_t(op)).run)();
        } catch (const DbError &e) {
            if (e.code() == DbError::kBusy) {
                outcome = Outcome::Busy;
            } else if (e.code() == DbError::kChanged || isRuleError(e.message())) {
                outcome = Outcome::Refused;
            } else {
                outcome = Outcome::Unexpected;
                problem = e.message();
            }
        } catch (const purchasing::ImportFailure &e) {
            outcome = Outcome::Unexpected;
            problem = e.message();
        } catch (const std::exception &e) {
            outcome = Outcome::Unexpected;
            problem = QString::fromUtf8(e.what());
        }
        if (outcome == Outcome::Skipped)
            return;
        if (m_ms < 0)
            m_ms = double(m_timer.nsecsElapsed()) / 1e6;
        static const char *const kNames[] = {"done", "refused", "busy", "unexpected"};
        out() << "op\t" << op << '\t' << kNames[int(outcome)] << '\t' << m_ms << '\t'
              << (m_transactions > 1 ? 1 : 0) << '\n';
        if (!problem.isEmpty())
            out() << "error\t" << op << '\t' << problem.simplified() << '\n';
        out().flush();
    }

private:
    struct SetRef
    {
        QString ref, style, material;
        Money price;
    };

    // A rule judged inside the save that reaches the caller as a DbError rather than a Refusal.
    static bool isRuleError(const QString &message)
    {
        return message.startsWith(QLatin1String("Pending item ")) &&
               message.contains(QLatin1String("no longer open"));
    }

    int below(int n) { return n <= 0 ? 0 : int(m_rng() % unsigned(n)); }
    bool chance(int percent) { return below(100) < percent; }
    template <typename T> const T &any(const std::vector<T> &v) { return v.at(size_t(below(int(v.size())))); }
    QString anyOf(const QStringList &list) { return list.at(below(int(list.size()))); }
    QString money(double value) { return QString::number(value, 'f', 2); }
    QString nextKey(const char *kind)
    {
        return QStringLiteral("%1%2-%3").arg(QLatin1String(kind)).arg(m_number).arg(++m_serial);
    }

    // Times the save itself; the lookups a window makes before it are not counted.
    template <typename Save> auto timed(Save &&save) -> decltype(save())
    {
        m_timer.start();
        auto result = save();
        m_ms = double(m_timer.nsecsElapsed()) / 1e6;
        return result;
    }
    Outcome outcomeOf(const std::optional<Refusal> &refusal)
    {
        return refusal ? Outcome::Refused : Outcome::Done;
    }

    Outcome order()
    {
        if (m_customers.isEmpty())
            return Outcome::Skipped;
        OrderHeader h;
        h.customer = anyOf(m_customers);
        h.orderNumber = nextKey("SOAK-O");
        h.orderDate = Clock::today();
        h.dueDate = h.orderDate.addDays(14 + below(30));
        h.status = QStringLiteral("Open");
        if (const auto shipTo = orders::customerShipTo(h.customer))
            h.shipTo = *shipTo;
        if (const auto refusal = orders::refuseOrderSave(h.orderNumber, h.customer))
            return Outcome::Refused;
        std::vector<OrderLine> lines;
        const std::vector<SetRef> &sets = m_sets.at(h.customer);
        for (int i = 0, n = 1 + below(4); i < n; ++i) {
            const SetRef &s = any(sets);
            lines.push_back(
                {orders::nextLineNumber(lines), 1 + below(12), s.ref, s.style, s.material, s.price});
        }
        h.total = orders::linesTotal(lines);
        timed([&] { return orders::saveOrder(h, lines); });
        return Outcome::Done;
    }

    Outcome cutSheet()
    {
        if (m_toCut.empty() || m_sinceRefresh++ > 15) {
            m_toCut = cutsheets::linesToCut();
            m_sinceRefresh = 0;
        }
        if (m_toCut.empty() || m_employees.empty())
            return Outcome::Skipped;
        // Lines this clerk or another just made are cut most, so clerks meet on the same lines.
        const cutsheets::OpenLine &line =
            chance(50)
                ? m_toCut.at(m_toCut.size() - 1 - size_t(below(std::min<int>(20, int(m_toCut.size())))))
                : any(m_toCut);
        const int left = int(line.left);
        const int sets = chance(10) ? left + 1 : 1 + below(left);
        const cutsheets::Employee &e = any(m_employees);
        const cutsheets::Entry entry{QString(),
                                     e.name,
                                     e.ssn,
                                     Clock::today(),
                                     QString::number(line.orderId),
                                     QString::number(line.item),
                                     QString::number(sets),
                                     QString(),
                                     {}};
        return outcomeOf(timed([&] { return cutsheets::saveCutsheet(entry); }).refusal);
    }

    // Open order lines with cut sets not yet shipped (kits count as cut in full).
    void refreshShippable()
    {
        m_shippable = DbConnection().query(QStringLiteral(
            "SELECT o.Customer AS Customer, o.OrderNumber AS OrderNumber, i.OrderID AS OrderID, i.ItemNumber "
            "AS "
            "Item, i.Qty AS Qty, i.CustomerRefNo AS Ref FROM OrderItem i JOIN Orders o ON o.ID = i.OrderID "
            "WHERE "
            "o.Status = 'Open' AND CASE WHEN COALESCE((SELECT MIN(s.Type) FROM Sets s WHERE s.CustomerRefNo "
            "= "
            "i.CustomerRefNo), '') = 'Kit' THEN i.Qty ELSE (SELECT COALESCE(SUM(c.Sets), 0) FROM Cutsheets c "
            "WHERE c.OrderID = i.OrderID AND c.Item = i.ItemNumber) END > (SELECT COALESCE(SUM(t.Qty), 0) "
            "FROM "
            "ShipmentItems t WHERE t.OrderID = i.OrderID AND t.LineItem = i.ItemNumber) ORDER BY o.ID, "
            "i.ItemNumber"));
        m_sinceShippable = 0;
    }

    Outcome shipment()
    {
        if (m_shippable.isEmpty() || m_sinceShippable++ > 10)
            refreshShippable();
        if (m_shippable.isEmpty())
            return Outcome::Skipped;
        const Row &first = m_shippable.at(below(m_shippable.size()));
        shipping::Entry entry{QString(), Clock::today(), first.text(QStringLiteral("Customer")), {}, {}};
        for (const Row &r : m_shippable) {
            if (r.text(QStringLiteral("Customer")) != entry.customer || (&r != &first && !chance(30)))
                continue;
            const qint64 order = r.integer(QStringLiteral("OrderID"));
            const qint64 item = r.integer(QStringLiteral("Item"));
            const qint64 available =
                shipping::availability(order, item, std::nullopt, entry.lines).available();
            if (available <= 0)
                continue;
            const qint64 qty = chance(8) ? available + 1 : 1 + below(int(available));
            entry.lines.push_back({entry.customer, r.text(QStringLiteral("OrderNumber")),
                                   QStringLiteral("%1 - %2").arg(item).arg(r.text(QStringLiteral("Ref"))),
                                   r.integer(QStringLiteral("Qty")), qty, QString::number(1 + below(3)),
                                   order, item});
            if (entry.lines.size() >= 6)
                break;
        }
        if (entry.lines.empty()) {
            refreshShippable();
            return Outcome::Skipped;
        }
        const shipping::Saved saved = timed([&] { return shipping::saveShipment(entry); });
        if (!saved.refusal) {
            m_shipments.push_back(saved.id);
            m_invoices.push_back(saved.invoice);
        }
        return outcomeOf(saved.refusal);
    }

    // One of this clerk's own records `percent` times in a hundred, else one of the `spread` newest
    // (`newest` gives the newest number less its parameter): clerks meet on the same records.
    QString mineOrRecent(const std::vector<qint64> &mine, int percent, const char *newest, int spread)
    {
        if (!mine.empty() && chance(percent))
            return QString::number(any(mine));
        return DbConnection().scalar(QLatin1String(newest), {below(spread)}).toString();
    }

    // A shipment loaded again and saved with another box and, now and then, one set more: never
    // fewer, so what was paid on its invoice stays within its total.
    Outcome reshipment()
    {
        const QString id = mineOrRecent(m_shipments, 70, "SELECT MAX(ID) - ? FROM Shipment", 50);
        const shipping::Loaded loaded = shipping::loadShipment(id);
        if (loaded.refusal || loaded.lines.empty())
            return Outcome::Skipped;
        std::vector<shipping::ShipmentLine> lines = loaded.lines;
        shipping::ShipmentLine &line = lines.at(size_t(below(int(lines.size()))));
        line.box = QString::number(1 + below(5));
        if (chance(50))
            line.qty += 1;
        const shipping::Entry entry{id, loaded.date, loaded.customer, lines, loaded.stamp};
        return outcomeOf(timed([&] { return shipping::saveShipment(entry); }).refusal);
    }

    Outcome payment()
    {
        const QString invoice = mineOrRecent(m_invoices, 60, "SELECT MAX(Invoice) - ? FROM Invoice", 100);
        const receivables::Balance balance = receivables::lookupInvoice(invoice);
        if (balance.refusal)
            return Outcome::Skipped;
        const double open = balance.balance.toDouble();
        QString amount;
        if (open < 0.01 || chance(10))
            amount = money(std::max(open, 0.0) + 0.01);
        else if (chance(30))
            amount = money(open);
        else
            amount = money(std::max(0.01, open * (1 + below(90)) / 100.0));
        return outcomeOf(timed([&] { return receivables::savePayment(invoice, Clock::today(), amount); }));
    }

    Outcome manualInvoice()
    {
        if (m_customers.isEmpty())
            return Outcome::Skipped;
        const receivables::ManualInvoice m{anyOf(m_customers), QStringLiteral("Net 30"),
                                           money(10 + below(500000) / 100.0), Clock::today(),
                                           Clock::today().addDays(30)};
        const receivables::SavedInvoice saved = timed([&] { return receivables::saveManualInvoice(m); });
        if (!saved.refusal)
            m_invoices.push_back(saved.invoice);
        return outcomeOf(saved.refusal);
    }

    Outcome adjustment()
    {
        if (m_materials.isEmpty())
            return Outcome::Skipped;
        inventory::Adjustment a{Clock::today(), QStringLiteral("Count by clerk %1").arg(m_number), {}};
        for (int i = 0, n = 1 + below(3); i < n; ++i) {
            const int qty = below(45) - 5;
            const Money each = Money::fromDouble(1 + below(3000) / 100.0);
            a.lines.push_back({anyOf(m_materials), QString::number(qty), each.toPlainString(),
                               each.times(qty).toPlainString()});
        }
        return outcomeOf(timed([&] { return inventory::saveAdjustment(a); }).refusal);
    }

    Outcome itemValues()
    {
        const std::vector<inventory::ValueLine> values = inventory::itemValues();
        if (values.empty())
            return Outcome::Skipped;
        std::vector<inventory::NewPrice> prices;
        for (int i = 0, n = 1 + below(3); i < n; ++i) {
            const inventory::ValueLine &v = any(values);
            prices.push_back({v.material, money(1 + below(3000) / 100.0), v.price.toPlainString()});
        }
        timed([&] {
            inventory::saveItemValues(prices);
            return 0;
        });
        return Outcome::Done;
    }

    Outcome demandImport()
    {
        if (m_demandRefs.isEmpty() || m_customers.isEmpty())
            return Outcome::Skipped;
        const QString today = Clock::today().toString(Clock::dateFormat());
        std::vector<soak::DemandRow> rows;
        for (int i = 0, n = 1 + below(4); i < n; ++i)
            rows.push_back({today, nextKey("SOAK-D"), anyOf(m_demandRefs), QString::number(1 + below(20)),
                            Clock::today().addDays(20 + below(40)).toString(Clock::dateFormat()),
                            money(5 + below(20000) / 100.0)});
        // A PO line sent before comes again with its due date moved.
        if (!m_imported.isEmpty() && chance(50))
            rows.push_back({today, anyOf(m_imported), anyOf(m_demandRefs), QStringLiteral("3"),
                            Clock::today().addDays(61 + below(40)).toString(Clock::dateFormat()),
                            QStringLiteral("12.50")});
        const QString path = m_scratch + QStringLiteral("/demand-%1.xlsx").arg(m_number);
        if (!soak::writeDemandWorkbook(path, rows))
            throw std::runtime_error("cannot write the demand workbook");
        const QString customer = anyOf(m_customers);
        if (purchasing::refuseImport(customer, path))
            return Outcome::Refused;
        const purchasing::ImportRun run =
            timed([&] { return purchasing::importDemand(purchasing::readDemandSheet(path), customer); });
        for (const soak::DemandRow &r : rows)
            m_imported << r.poNumber;
        m_imported.removeDuplicates();
        out() << "import\t" << run.importId << '\n';
        return Outcome::Done;
    }

    Outcome createPO()
    {
        const std::vector<purchasing::PendingItem> open = purchasing::openPendingItems();
        std::vector<purchasing::POLine> lines;
        std::set<qint64> taken;
        for (int i = 0, n = 1 + below(3); i < n && !open.empty(); ++i) {
            // Mostly the first items of the list, as a clerk ticks them: clerks meet on them.
            const purchasing::PendingItem &p =
                chance(70) ? open.at(size_t(below(std::min<int>(5, int(open.size()))))) : any(open);
            if (!taken.insert(p.id).second)
                continue;
            lines.push_back({p.id, p.quantity, p.partNumber, p.description, p.colorName, p.rStringNumber,
                             p.price, p.priceExt()});
        }
        if (purchasing::refuseEmptyPurchaseOrder(lines))
            return Outcome::Skipped;
        purchasing::POHeader header = purchasing::poDefaults().value_or(purchasing::POHeader{});
        if (header.vendor1.isEmpty())
            header.vendor1 = QStringLiteral("Soak Tannery");
        header.poDate = Clock::today();
        header.dueDate = Clock::today().addDays(21);
        Money total;
        for (const purchasing::POLine &l : lines)
            total = total + l.priceExt;
        timed([&] { return purchasing::createPurchaseOrder(header, total, lines); });
        return Outcome::Done;
    }

    Outcome deletePO()
    {
        const QList<qint64> numbers = purchasing::purchaseOrderNumbers();
        if (numbers.isEmpty())
            return Outcome::Skipped;
        // The newest ones, where the clerks' own purchase orders are.
        const qint64 id = numbers.at(below(std::min<int>(10, int(numbers.size()))));
        purchasing::POCriteria c;
        c.number = id;
        const RowSet found = purchasing::findPurchaseOrders(c);
        if (found.isEmpty())
            return Outcome::Skipped;
        const QByteArray stamp = Database::stamp(found.first());
        timed([&] {
            purchasing::deletePurchaseOrder(id, stamp);
            return 0;
        });
        return Outcome::Done;
    }

    int m_number;
    std::mt19937 m_rng;
    QString m_scratch;
    QElapsedTimer m_timer;
    double m_ms = -1;
    int m_transactions = 0;
    int m_serial = 0;
    size_t m_round = 0;
    std::map<QString, std::vector<SetRef>> m_sets;
    QStringList m_customers, m_materials, m_demandRefs, m_imported;
    std::vector<cutsheets::Employee> m_employees;
    std::vector<cutsheets::OpenLine> m_toCut;
    int m_sinceRefresh = 0;
    RowSet m_shippable;
    int m_sinceShippable = 0;
    std::vector<qint64> m_shipments, m_invoices;
};

int runClerk(const QString &location, int number, unsigned seed, qint64 until)
{
    try {
        setDbConnection(openShop(location));
        QTemporaryDir scratch;
        Clerk clerk(number, seed, scratch.path());
        while (QDateTime::currentMSecsSinceEpoch() < until)
            clerk.work();
        out() << "busywaits\t" << DbConnection().busyWaits() << '\n';
        takeDbConnection();
    } catch (const DbError &e) {
        out() << "error\t-1\t" << e.describe().simplified() << '\n';
        return 1;
    }
    return 0;
}

struct Stats
{
    int done = 0, refused = 0, busy = 0, retried = 0, unexpected = 0;
    std::vector<double> ms; // saves that ran to their end: done or refused
};

double percentile(std::vector<double> v, double p)
{
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    return v.at(std::min(v.size() - 1, size_t(p * double(v.size()))));
}

int runSoak(const QString &location, int clerks, int seconds, unsigned seed)
{
    const qint64 until = QDateTime::currentMSecsSinceEpoch() + qint64(seconds) * 1000;
    std::vector<std::unique_ptr<QProcess>> processes;
    for (int i = 0; i < clerks; ++i) {
        auto p = std::make_unique<QProcess>();
        p->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        p->start(QCoreApplication::applicationFilePath(),
                 {QStringLiteral("--clerk"), QString::number(i), QStringLiteral("--db"), location,
                  QStringLiteral("--seed"), QString::number(seed), QStringLiteral("--until"),
                  QString::number(until)});
        processes.push_back(std::move(p));
    }
    const auto &operations = Clerk::operations();
    std::vector<Stats> stats(operations.size());
    QStringList errors;
    std::map<qint64, int> importIds;
    qint64 busyWaits = 0;
    bool clerkFailed = false;
    for (int i = 0; i < clerks; ++i) {
        QProcess &p = *processes[size_t(i)];
        if (!p.waitForFinished(seconds * 1000 + 120000) || p.exitStatus() != QProcess::NormalExit ||
            p.exitCode() != 0) {
            clerkFailed = true;
            errors
                << QStringLiteral("clerk %1 did not finish normally (exit code %2)").arg(i).arg(p.exitCode());
        }
        const QList<QByteArray> lines = p.readAllStandardOutput().split('\n');
        for (const QByteArray &line : lines) {
            const QList<QByteArray> f = line.split('\t');
            if (f.first() == "op" && f.size() == 5) {
                Stats &s = stats.at(size_t(f.at(1).toInt()));
                const QByteArray &kind = f.at(2);
                if (kind == "done" || kind == "refused") {
                    (kind == "done" ? s.done : s.refused) += 1;
                    s.ms.push_back(f.at(3).toDouble());
                } else if (kind == "busy") {
                    ++s.busy;
                } else {
                    ++s.unexpected;
                }
                s.retried += f.at(4).toInt();
            } else if (f.first() == "error" && f.size() == 3) {
                const int op = f.at(1).toInt();
                errors << QStringLiteral("clerk %1, %2: %3")
                              .arg(i)
                              .arg(op >= 0 ? QLatin1String(operations.at(size_t(op)).name)
                                           : QLatin1String("start"),
                                   QString::fromUtf8(f.at(2)));
            } else if (f.first() == "import" && f.size() == 2) {
                ++importIds[f.at(1).toLongLong()];
            } else if (f.first() == "busywaits" && f.size() == 2) {
                busyWaits += f.at(1).toLongLong();
            }
        }
    }

    std::printf("%-18s %7s %8s %6s %8s %11s %9s %9s\n", "operation", "done", "refused", "busy", "retried",
                "unexpected", "p50 ms", "p99 ms");
    int unexpected = 0;
    Stats all;
    for (size_t op = 0; op < operations.size(); ++op) {
        const Stats &s = stats.at(op);
        std::printf("%-18s %7d %8d %6d %8d %11d %9.1f %9.1f\n", operations.at(op).name, s.done, s.refused,
                    s.busy, s.retried, s.unexpected, percentile(s.ms, 0.5), percentile(s.ms, 0.99));
        unexpected += s.unexpected;
        all.ms.insert(all.ms.end(), s.ms.begin(), s.ms.end());
    }
    std::printf("%-18s %7s %8s %6s %8s %11s %9.1f %9.1f\n", "all saves", "", "", "", "", "",
                percentile(all.ms, 0.5), percentile(all.ms, 0.99));
    std::printf("busy waits on the file: %lld\n", busyWaits);
    for (const QString &e : std::as_const(errors))
        std::printf("unexpected: %s\n", qPrintable(e));

    bool broken = false;
    try {
        std::unique_ptr<Database> db = openShop(location);
        for (const auto &[id, runs] : importIds) {
            if (runs > 1) {
                std::printf("broken: %d imports were given the ImportID %lld\n", runs, id);
                broken = true;
            }
        }
        for (const soak::Broken &b : soak::brokenInvariants(*db)) {
            std::printf("broken: %s: %d (%s)\n", qPrintable(b.invariant), b.count,
                        qPrintable(b.examples.join(QStringLiteral(", "))));
            broken = true;
        }
        for (const QString &finding : checkDatabase(*db)) {
            std::printf("check: %s\n", qPrintable(finding));
            broken = true;
        }
    } catch (const DbError &e) {
        std::printf("the checks failed: %s\n", qPrintable(e.describe()));
        broken = true;
    }
    if (!broken)
        std::printf("invariants hold; the database check passes\n");
    std::fflush(stdout);
    return unexpected > 0 || clerkFailed || !errors.isEmpty() || broken ? 1 : 0;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const auto option = [&](const char *name) {
        const qsizetype at = args.indexOf(QLatin1String(name));
        return at > 0 && at + 1 < args.size() ? args.at(at + 1) : QString();
    };
    const QString location = option("--db");
    const unsigned seed = option("--seed").isEmpty() ? 1u : option("--seed").toUInt();
    if (!option("--clerk").isEmpty())
        return runClerk(location, option("--clerk").toInt(), seed, option("--until").toLongLong());

    bool clerksOk = false, secondsOk = false;
    const int clerks = option("--clerks").toInt(&clerksOk);
    const int seconds = option("--seconds").toInt(&secondsOk);
    if (location.isEmpty() || !clerksOk || !secondsOk || clerks < 1 || seconds < 1) {
        std::fprintf(stderr, "usage: corvane-soak --db URI|FILE --clerks N --seconds S [--seed K]\n");
        return 2;
    }
    return runSoak(location, clerks, seconds, seed);
}
