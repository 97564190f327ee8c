// corvane-inventory-bench: the adjustment grid fill and the four material documents' rows on a
// database file, against the documents' statements run raw through the engine.
//   corvane-inventory-bench FILE [--runs N] [--asof yyyy-mm-dd]
#include "core/Database.h"
#include "core/SharedRoutines.h"
#include "core/schema/Schema.h"
#include "inventory/InventoryAdjust.h"
#include "inventory/InventoryReports.h"
#include "reports/ReportDocument.h"
#include "ui/Grid.h"

#include <QApplication>
#include <QDateEdit>
#include <QElapsedTimer>

#include <sqlcipher/sqlite3.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

double medianMs(int runs, const std::function<void()> &work)
{
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer t;
        t.start();
        work();
        times.push_back(double(t.nsecsElapsed()) / 1e6);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

// Runs each statement through the engine alone: every `?` takes the next value, every row is
// stepped through and its columns read as text. Returns the rows of the last statement.
int runRaw(sqlite3 *db, const QStringList &statements, const QStringList &values)
{
    int rows = 0;
    int next = 0;
    // One transaction, so that the scratch tables cost no commit each.
    sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
    for (const QString &sqlText : statements) {
        sqlite3_stmt *st = nullptr;
        const QByteArray utf8 = sqlText.toUtf8();
        if (sqlite3_prepare_v2(db, utf8.constData(), int(utf8.size()), &st, nullptr) != SQLITE_OK) {
            std::fprintf(stderr, "%s\n%s\n", sqlite3_errmsg(db), utf8.constData());
            std::exit(1);
        }
        for (int p = 1; p <= sqlite3_bind_parameter_count(st); ++p) {
            const QByteArray v = values.at(next++).toUtf8();
            sqlite3_bind_text(st, p, v.constData(), int(v.size()), SQLITE_TRANSIENT);
        }
        rows = 0;
        while (sqlite3_step(st) == SQLITE_ROW) {
            for (int c = 0; c < sqlite3_column_count(st); ++c)
                sqlite3_column_text(st, c);
            ++rows;
        }
        sqlite3_finalize(st);
    }
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    return rows;
}

// The documents' statement sequences as the shop's program runs them, written for this engine
// (a scratch table per step, its empty sums set to 0).
QStringList scratch(const QString &table, const QString &select)
{
    return {QStringLiteral("DROP TABLE IF EXISTS ") + table,
            QStringLiteral("CREATE TABLE %1 AS %2").arg(table, select)};
}
QString zero(const QString &table, const QString &column)
{
    return QStringLiteral("UPDATE %1 SET %2 = 0 WHERE %2 IS NULL").arg(table, column);
}
const QString kAdj = QStringLiteral(
    "SELECT MaterialID AS Material, SUM(Adjustment) AS OnHand FROM Adjustment LEFT JOIN AdjustmentItem "
    "ON Adjustment.ID = AdjustmentItem.AdjustmentID WHERE Date <= ? GROUP BY MaterialID");
const QString kCut = QStringLiteral("SELECT OrderItem.MaterialID AS Material, SUM(Cutsheets.Feet) AS OnHand "
                                    "FROM Cutsheets LEFT JOIN OrderItem "
                                    "ON Cutsheets.OrderID = OrderItem.OrderID AND Cutsheets.Item = "
                                    "OrderItem.ItemNumber WHERE Cutsheets.Date <= ? "
                                    "GROUP BY OrderItem.MaterialID");

QStringList availableStatements()
{
    QStringList s =
        scratch("tmpAvailAdj", kAdj) + scratch("tmpAvailCut", kCut) +
        scratch("tmpAvailOrder",
                "SELECT OrderItem.OrderID AS OrderID, OrderItem.ItemNumber AS ItemNumber, "
                "OrderItem.MaterialID AS Material, "
                "Sets.ReqFeet AS ReqFeet, OrderItem.Qty AS QtyOrdered, Sum(Cutsheets.Sets) AS QtyCut FROM "
                "Orders LEFT JOIN OrderItem ON Orders.ID = OrderItem.OrderID LEFT JOIN Sets ON "
                "OrderItem.CustomerRefNo = Sets.CustomerRefNo LEFT JOIN Cutsheets ON OrderItem.OrderID "
                "= Cutsheets.OrderID AND OrderItem.ItemNumber = Cutsheets.Item WHERE Orders.OrderDate "
                "<= ? AND Orders.Status <> 'Void' GROUP BY OrderItem.OrderID, OrderItem.ItemNumber, "
                "OrderItem.MaterialID, Sets.ReqFeet, OrderItem.Qty");
    s << zero("tmpAvailOrder", "QtyCut");
    s += scratch("tmpAvailOrderFinal",
                 "SELECT Material, SUM((QtyOrdered - QtyCut) * ReqFeet) AS QtyOrdered FROM "
                 "tmpAvailOrder GROUP BY Material");
    s += scratch(
        "tmpAvail",
        "SELECT Material.ID AS Material, Material.Description AS Description, Material.Status AS Status, "
        "Material.Type AS Type, tmpAvailAdj.OnHand AS OnHandAdj, tmpAvailCut.OnHand AS OnHandCut, "
        "QtyOrdered FROM Material LEFT JOIN tmpAvailAdj ON Material.ID = tmpAvailAdj.Material LEFT JOIN "
        "tmpAvailCut ON Material.ID = tmpAvailCut.Material LEFT JOIN tmpAvailOrderFinal ON Material.ID = "
        "tmpAvailOrderFinal.Material");
    s << zero("tmpAvail", "OnHandAdj") << zero("tmpAvail", "OnHandCut") << zero("tmpAvail", "QtyOrdered");
    s << QStringLiteral(
        "SELECT Material, Description, Status, Type, OnHandAdj, OnHandCut, QtyOrdered FROM tmpAvail "
        "WHERE Status = 'Active' ORDER BY Type,Status,Material");
    return s;
}

QStringList valuationStatements()
{
    QStringList s =
        scratch("tmpValAdj",
                "SELECT AdjustmentItem.MaterialID AS Material, SUM(Adjustment) AS OnHand, Price AS "
                "Average FROM Adjustment LEFT JOIN AdjustmentItem ON Adjustment.ID = "
                "AdjustmentItem.AdjustmentID LEFT JOIN ItemValue ON AdjustmentItem.MaterialID = "
                "ItemValue.MaterialID WHERE Date <= ? GROUP BY AdjustmentItem.MaterialID, Price") +
        scratch("tmpValCut", kCut) +
        scratch(
            "tmpValSetsCut",
            "SELECT OrderItem.OrderID AS OrderID, OrderItem.ItemNumber AS Item, OrderItem.MaterialID AS "
            "Material, OrderItem.PriceEach AS PriceEach, SUM(Cutsheets.Sets) As QtyCut FROM Orders LEFT JOIN "
            "OrderItem ON Orders.ID = OrderItem.OrderID LEFT JOIN Cutsheets ON OrderItem.OrderID = "
            "Cutsheets.OrderID AND OrderItem.ItemNumber = Cutsheets.Item WHERE Orders.OrderDate <= ? AND "
            "Cutsheets.Date <= ? AND Orders.Status = 'Open' GROUP BY OrderItem.OrderID, "
            "OrderItem.ItemNumber, "
            "OrderItem.MaterialID, OrderItem.PriceEach") +
        scratch(
            "tmpValSetsShipped",
            "SELECT ShipmentItems.OrderID AS OrderID, ShipmentItems.LineItem AS Item, SUM(ShipmentItems.qty) "
            "As QtyShipped FROM ShipmentItems LEFT JOIN Shipment ON ShipmentItems.ShipmentID = Shipment.ID "
            "WHERE Shipment.Date <= ? Group By ShipmentItems.OrderID,ShipmentItems.LineItem") +
        scratch("tmpValSets", "SELECT tmpValSetsCut.OrderID AS OrderID, tmpValSetsCut.Item AS Item, "
                              "tmpValSetsCut.Material AS Material, QtyCut, "
                              "QtyShipped, PriceEach FROM tmpValSetsCut LEFT JOIN tmpValSetsShipped ON "
                              "tmpValSetsCut.OrderID = tmpValSetsShipped.OrderID AND tmpValSetsCut.Item = "
                              "tmpValSetsShipped.Item");
    s << zero("tmpValSets", "QtyShipped");
    s += scratch("tmpValSetsValue", "SELECT Material, SUM((QtyCut - QtyShipped) * PriceEach) AS CutVal FROM "
                                    "tmpValSets GROUP BY Material");
    s += scratch("tmpVal",
                 "SELECT Material.ID AS Material, Material.Description AS Description, Material.Type AS "
                 "Type, Material.Status AS Status, tmpValAdj.OnHand AS OnHandAdj, tmpValAdj.Average AS "
                 "Average, tmpValCut.OnHand AS OnHandCut, tmpValSetsValue.CutVal AS CutValue FROM Material "
                 "LEFT JOIN tmpValAdj ON Material.ID = tmpValAdj.Material LEFT JOIN tmpValCut ON "
                 "Material.ID = tmpValCut.Material LEFT JOIN tmpValSetsValue ON Material.ID = "
                 "tmpValSetsValue.Material");
    for (const char *c : {"OnHandAdj", "OnHandCut", "Average", "CutValue"})
        s << zero("tmpVal", QString::fromLatin1(c));
    s << QStringLiteral(
        "SELECT Material, Description, Type, Status, OnHandAdj, OnHandCut, Average, CutValue FROM "
        "tmpVal WHERE Status = 'Active' ORDER BY Type,Status,Material");
    return s;
}

// The history's opening balances and its two movement queries (the row-by-row copy into the
// work table is left out, which only favours the raw side).
QStringList historyStatements()
{
    QString adjBefore = kAdj;
    QString cutBefore = kCut;
    adjBefore.replace(QStringLiteral("Date <= ?"), QStringLiteral("Date < ?"));
    cutBefore.replace(QStringLiteral("Date <= ?"), QStringLiteral("Date < ?"));
    QStringList s =
        scratch("tmpHistAdj", adjBefore) + scratch("tmpHistCut", cutBefore) +
        scratch("tmpHistBeg", "SELECT Material.ID AS Material, tmpHistAdj.OnHand AS OnHandAdj, "
                              "tmpHistCut.OnHand AS OnHandCut FROM Material LEFT JOIN tmpHistAdj ON "
                              "Material.ID = tmpHistAdj.Material LEFT JOIN tmpHistCut ON Material.ID = "
                              "tmpHistCut.Material");
    s << zero("tmpHistBeg", "OnHandAdj") << zero("tmpHistBeg", "OnHandCut");
    s << QStringLiteral(
        "SELECT OrderItem.MaterialID AS Material, Cutsheets.Date As CutDate, Cutsheets.ID AS ID, "
        "Employee.FirstName AS FirstName, Employee.LastName AS LastName, Cutsheets.Feet AS Qty FROM "
        "Cutsheets LEFT JOIN OrderItem ON Cutsheets.OrderID = OrderItem.OrderID AND Cutsheets.Item = "
        "OrderItem.ItemNumber LEFT JOIN Employee ON Cutsheets.SSN = Employee.SSN WHERE "
        "Cutsheets.Date >= ? AND Cutsheets.Date <= ? ORDER BY OrderItem.MaterialID");
    s << QStringLiteral(
        "SELECT AdjustmentItem.MaterialID AS Material, Adjustment.Date AS AdjDate, Adjustment.ID AS "
        "ID, Adjustment.Reason AS Description, AdjustmentItem.Adjustment AS Qty FROM Adjustment LEFT "
        "JOIN AdjustmentItem ON Adjustment.ID = AdjustmentItem.AdjustmentID WHERE Adjustment.Date >= "
        "? AND Adjustment.Date <= ? Order By AdjustmentItem.MaterialID");
    return s;
}

QStringList salesStatements()
{
    QStringList s = scratch("tmpMaterial", "SELECT ID AS Material FROM Material ORDER BY ID");
    const QString part = QStringLiteral(
        "SELECT OrderItem.MaterialID AS Material, SUM(Sets.ProductionStandard * OrderItem.Qty) AS %1 FROM "
        "Orders "
        "LEFT JOIN OrderItem ON Orders.ID = OrderItem.OrderID LEFT JOIN Sets ON OrderItem.CustomerRefNo = "
        "Sets.CustomerRefNo WHERE Orders.OrderDate >= ? AND Orders.OrderDate <= ? AND %2 AND (Sets.Type <> "
        "'Hide' "
        "AND Sets.Type <> 'Vinyl') GROUP BY OrderItem.MaterialID");
    for (int i = 1; i <= 4; ++i)
        s += scratch(QStringLiteral("tmpMaterialC%1").arg(i),
                     part.arg(QStringLiteral("C%1Sales").arg(i), QStringLiteral("Orders.Customer = ?")));
    s += scratch("tmpMaterialOther",
                 part.arg(QStringLiteral("OtherSales"),
                          QStringLiteral("Orders.Customer <> ? AND Orders.Customer <> ? AND "
                                         "Orders.Customer <> ? AND Orders.Customer <> ?")));
    s += scratch(
        "tmpMaterialTotal",
        "SELECT tmpMaterial.Material, Material.Type AS Type, C1Sales, C2Sales, C3Sales, C4Sales, OtherSales, "
        "OtherSales AS Weeks FROM tmpMaterial LEFT JOIN tmpMaterialC1 ON tmpMaterial.Material = "
        "tmpMaterialC1.Material LEFT JOIN tmpMaterialC2 ON tmpMaterial.Material = tmpMaterialC2.Material "
        "LEFT JOIN tmpMaterialC3 ON tmpMaterial.Material = tmpMaterialC3.Material LEFT JOIN tmpMaterialC4 "
        "ON tmpMaterial.Material = tmpMaterialC4.Material LEFT JOIN tmpMaterialOther ON "
        "tmpMaterial.Material = tmpMaterialOther.Material LEFT JOIN Material ON tmpMaterial.Material = "
        "Material.ID ORDER BY Material.Type,tmpMaterial.Material");
    for (const char *c : {"C1Sales", "C2Sales", "C3Sales", "C4Sales", "OtherSales"})
        s << zero("tmpMaterialTotal", QString::fromLatin1(c));
    s << QStringLiteral("UPDATE tmpMaterialTotal SET Weeks = 52")
      << QStringLiteral("SELECT Material,Type, C1Sales, C2Sales, C3Sales, C4Sales, OtherSales, Weeks FROM "
                        "tmpMaterialTotal");
    return s;
}

struct Case
{
    const char *name;
    QStringList statements;
    QStringList values;
    std::function<ReportJob()> build;
};

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QString path;
    int runs = 7;
    QDate asOf;
    const QStringList args = app.arguments().mid(1);
    for (int i = 0; i < args.size(); ++i) {
        if (args.at(i) == QLatin1String("--runs") && i + 1 < args.size())
            runs = std::max(1, args.at(++i).toInt());
        else if (args.at(i) == QLatin1String("--asof") && i + 1 < args.size())
            asOf = parseDate(args.at(++i));
        else if (path.isEmpty() && !args.at(i).startsWith(u'-'))
            path = args.at(i);
        else
            path.clear(), i = int(args.size());
    }
    if (path.isEmpty()) {
        std::fprintf(stderr, "usage: corvane-inventory-bench FILE [--runs N] [--asof yyyy-mm-dd]\n");
        return 2;
    }
    setDbConnection(Database::open(path, schema::password()));
    Database &db = DbConnection();
    if (!asOf.isValid())
        asOf = parseDate(db.scalar(QStringLiteral("SELECT MAX(Date) FROM Cutsheets")).toString());
    const QDate from = asOf.addYears(-1).addDays(1);
    const QStringList customers = ActiveCustomerNames().mid(0, 4);
    std::printf("%s: %d cut sheets, %d adjustment lines; as of %s, one year from %s; median of %d runs\n",
                qPrintable(path), db.scalar(QStringLiteral("SELECT COUNT(*) FROM Cutsheets")).toInt(),
                db.scalar(QStringLiteral("SELECT COUNT(*) FROM AdjustmentItem")).toInt(),
                qPrintable(isoDate(asOf)), qPrintable(isoDate(from)), runs);

    InventoryAdjust window;
    window.dtDate->setDate(asOf);
    const double fill = medianMs(runs, [&] { window.FillAdjustmentGrid(); });
    std::printf("FillAdjustmentGrid (%d rows)          %8.1f ms\n", window.vsfgAdj->rowCount(), fill);

    const QString d = isoDate(asOf), s = isoDate(from);
    const std::vector<Case> cases = {
        {"crptAvailableInventoryReport",
         availableStatements(),
         {d, d, d},
         [&] { return inventory::availableInventoryJob(asOf, false); }},
        {"crptInventoryValuationReport",
         valuationStatements(),
         {d, d, d, d, d},
         [&] { return inventory::inventoryValuationJob(asOf, false); }},
        {"crptMaterialHistoryReport",
         historyStatements(),
         {s, s, s, d, s, d},
         [&] { return inventory::materialHistoryJob(from, asOf, std::nullopt, true); }},
        {"crptLeatherSalesReport", salesStatements(),
         QStringList{s, d} + QStringList{customers.at(0)} + QStringList{s, d, customers.at(1)} +
             QStringList{s, d, customers.at(2)} + QStringList{s, d, customers.at(3)} + QStringList{s, d} +
             customers,
         [&] { return inventory::leatherSalesJob(from, asOf, customers); }},
    };
    std::printf("%-30s %6s %10s %10s %6s %12s\n", "document", "rows", "program", "raw", "ratio",
                "first page");
    for (const Case &c : cases) {
        ReportJob job;
        const double program = medianMs(runs, [&] { job = c.build(); });
        const double raw = medianMs(runs, [&] { runRaw(db.handle(), c.statements, c.values); });
        const double page = medianMs(runs, [&] {
            const reports::ReportDocument doc(job);
            doc.pageImage(0, 1.5);
        });
        std::printf("%-30s %6d %7.1f ms %7.1f ms %6.2f %9.1f ms\n", c.name, job.rows.size(), program, raw,
                    program / raw, page);
        for (const char *t :
             {"tmpAvailAdj",      "tmpAvailCut",     "tmpAvailOrder", "tmpAvailOrderFinal", "tmpAvail",
              "tmpValAdj",        "tmpValCut",       "tmpValSetsCut", "tmpValSetsShipped",  "tmpValSets",
              "tmpValSetsValue",  "tmpVal",          "tmpHistAdj",    "tmpHistCut",         "tmpHistBeg",
              "tmpMaterial",      "tmpMaterialC1",   "tmpMaterialC2", "tmpMaterialC3",      "tmpMaterialC4",
              "tmpMaterialOther", "tmpMaterialTotal"})
            DropTable(QString::fromLatin1(t));
    }
    return 0;
}
