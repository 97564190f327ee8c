#include "PurchasingTestSupport.h"

#include "core/Database.h"

#include <QDir>

namespace purchasingtest {

QString fixture(const QString &name)
{
    return QDir(qEnvironmentVariable("CORVANE_FIXTURES")).filePath(name);
}

void seedCatalogue(TestDatabase &t)
{
    t.addCustomer(QStringLiteral("O'Hare Trim"));
    t.addCustomer(QStringLiteral("Acme Upholstery"));
    t.addMaterial(QStringLiteral("BLK-01"));
    t.addSet(QStringLiteral("Q100"), QStringLiteral("O'Hare Trim"), 95.5);
    t.addSet(QStringLiteral("Q200"), QStringLiteral("O'Hare Trim"), 120);
    t.addSet(QStringLiteral("Q300"), QStringLiteral("O'Hare Trim"), 80);
    t.addSet(QStringLiteral("Q400"), QStringLiteral("O'Hare Trim"), 40);
    Database &db = t.db();
    db.exec(QStringLiteral("UPDATE Sets SET TotalPrice = NULL WHERE CustomerRefNo = 'Q400'"));
    auto xref = [&](const QString &ref, const QVariant &part, const QVariant &desc, const QVariant &color,
                    const QVariant &rstring, const QVariant &cost) {
        db.insert(QStringLiteral("CrossReferenceTable"), {{"CustomerRefNumber", ref},
                                                          {"PartNumber", part},
                                                          {"Description", desc},
                                                          {"ColorName", color},
                                                          {"RStringNumber", rstring},
                                                          {"Cost", cost}});
    };
    xref("Q100", "P-100", "Seat hide", "Black", "R-1", 42.5);
    xref("Q200", "P-200", "Back hide", "Black", "R-2", 55);
    xref("Q300", "P-300", "Arm vinyl", "Tan", "R-3", 12.75);
    xref("Q400", "P-400", QVariant(), QVariant(), QVariant(), QVariant());
    xref("Q900", "P-900", "Door panel", "Red", "R-9", 9);
    xref("QNP", QVariant(), "Loose trim", "Grey", "R-0", 3.5);
}

qint64 addPendingItem(const QString &ref, double price, double qty, const QDate &dock)
{
    return DbConnection().insert(QStringLiteral("PendingPOItems"),
                                 {{"CustomerRefNo", ref},
                                  {"PartNumber", QStringLiteral("P-") + ref},
                                  {"Description", ref + QStringLiteral(" hide")},
                                  {"ColorName", QStringLiteral("Black")},
                                  {"RStringNumber", QStringLiteral("R-") + ref},
                                  {"Price", price},
                                  {"Quantity", qty},
                                  {"DockDate", dock},
                                  {"Status", QStringLiteral("Open")}});
}

qint64 addPurchaseOrder(const QDate &date, const QList<qint64> &pendingIds, const QString &vendor)
{
    Database &db = DbConnection();
    const qint64 po = db.insert(QStringLiteral("PurchaseOrder"), {{"Vendor1", vendor},
                                                                  {"PODate", date},
                                                                  {"DueDate", date.addDays(14)},
                                                                  {"Terms", QStringLiteral("Net 30")},
                                                                  {"Comment", QStringLiteral("Rush")},
                                                                  {"Total", 100.0}});
    for (qint64 id : pendingIds) {
        const qint64 item =
            db.insert(QStringLiteral("PurchaseOrderItem"),
                      {{"POID", po}, {"Quantity", 1}, {"PendingPOItemID", id}, {"PriceExt", 10.0}});
        db.exec(QStringLiteral(
                    "UPDATE PendingPOItems SET Status = 'Closed', POID = ?, POItemID = ? WHERE ID = ?"),
                {po, item, id});
    }
    return po;
}

int count(const QString &sql, const QVariantList &params)
{
    return DbConnection().scalar(sql, params).toInt();
}

QStringList lines(const QString &sql, const QVariantList &params)
{
    QStringList out;
    for (const Row &r : DbConnection().query(sql, params)) {
        QStringList cells;
        for (const QVariant &v : r.values())
            cells << v.toString();
        out << cells.join(u'|');
    }
    return out;
}

} // namespace purchasingtest
