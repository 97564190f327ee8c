#pragma once

#include "TestSupport.h"
#include "core/Database.h"

#include <QDate>
#include <QString>

#include <utility>
#include <vector>

// Hand-built stock movements: adjustments in, order lines of a named material, cut sheets out.
namespace fixture {

struct In
{
    QString material;
    double qty;
    double price;
};

inline qint64 adjust(const QDate &date, const std::vector<In> &lines,
                     const QString &reason = QStringLiteral("Count"))
{
    Database &db = DbConnection();
    const qint64 id =
        db.insert(QStringLiteral("Adjustment"), {{"Date", date}, {"DateAdded", date}, {"Reason", reason}});
    for (const In &l : lines)
        db.insert(QStringLiteral("AdjustmentItem"), {{"AdjustmentID", id},
                                                     {"MaterialID", l.material},
                                                     {"Adjustment", l.qty},
                                                     {"PriceEach", l.price},
                                                     {"PriceExt", l.qty * l.price}});
    return id;
}

// An order line of `material` (null when empty).
inline void line(qint64 order, int item, int qty, const QString &ref, const QString &material,
                 double priceEach = 10)
{
    DbConnection().insert(QStringLiteral("OrderItem"),
                          {{"OrderID", order},
                           {"ItemNumber", item},
                           {"Qty", qty},
                           {"CustomerRefNo", ref},
                           {"StyleID", QStringLiteral("ST-") + ref},
                           {"MaterialID", material.isEmpty() ? QVariant() : QVariant(material)},
                           {"PriceEach", priceEach}});
}

inline qint64 cut(qint64 order, int item, int sets, double feet, const QDate &date,
                  const QString &ssn = QStringLiteral("111"))
{
    return DbConnection().insert(
        QStringLiteral("Cutsheets"),
        {{"SSN", ssn}, {"Date", date}, {"OrderID", order}, {"Item", item}, {"Sets", sets}, {"Feet", feet}});
}

inline void value(const QString &material, double price)
{
    DbConnection().insert(QStringLiteral("ItemValue"), {{"MaterialID", material}, {"Price", price}});
}

inline double storedValue(const QString &material)
{
    return DbConnection()
        .scalar(QStringLiteral("SELECT Price FROM ItemValue WHERE MaterialID = ?"), {material})
        .toDouble();
}

inline int count(const QString &table)
{
    return DbConnection().scalar(QStringLiteral("SELECT COUNT(*) FROM ") + table).toInt();
}

} // namespace fixture
