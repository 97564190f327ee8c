#include "core/SharedRoutines.h"

#include "core/Clock.h"
#include "core/Config.h"
#include "core/Database.h"

void DropTable(const QString &name)
{
    if (!hasDbConnection())
        return;
    // A table that is not there is what the caller wants anyway; any other failure (a read-only
    // file, a lock) must reach the caller before it builds on a table that is still there.
    QString quoted = name;
    quoted.replace(u'"', QStringLiteral("\"\""));
    DbConnection().exec(QStringLiteral("DROP TABLE IF EXISTS \"%1\"").arg(quoted));
}

QList<qint64> CloseShippedOrders()
{
    Database &db = DbConnection();
    const RowSet rows = db.query(QStringLiteral(
        "SELECT Orders.ID AS ID, Orders.Status AS Status, OrderItem.ItemNumber AS ItemNumber, "
        "OrderItem.Qty AS Qty, SUM(ShipmentItems.Qty) AS Shipped "
        "FROM (Orders LEFT JOIN OrderItem ON Orders.ID = OrderItem.OrderID) "
        "LEFT JOIN ShipmentItems ON OrderItem.OrderID = ShipmentItems.OrderID "
        "AND OrderItem.ItemNumber = ShipmentItems.LineItem "
        "WHERE Orders.Status = 'Open' "
        "GROUP BY Orders.ID, Orders.Status, OrderItem.ItemNumber, OrderItem.Qty "
        "ORDER BY Orders.ID, OrderItem.ItemNumber"));

    QList<qint64> complete;
    qint64 current = -1;
    bool currentComplete = false;
    auto finish = [&] {
        if (current >= 0 && currentComplete)
            complete << current;
    };
    for (const Row &r : rows) {
        const qint64 id = r.integer(QStringLiteral("ID"));
        if (id != current) {
            finish();
            current = id;
            currentComplete = true;
        }
        const QVariant qty = r.value(QStringLiteral("Qty"));
        const QVariant shipped = r.value(QStringLiteral("Shipped"));
        if (qty.isNull() || shipped.isNull() || qty.toDouble() != shipped.toDouble())
            currentComplete = false;
    }
    finish();

    Transaction tx(db);
    for (qint64 id : complete)
        db.exec(QStringLiteral("UPDATE Orders SET Status = 'Closed' WHERE ID = ?"), {id});
    tx.commit();
    return complete;
}

bool PriceChangedSince(const QString &customerRefNo)
{
    const QDate cutoff = parseDate(PriceChangeCutoff());
    if (!cutoff.isValid())
        throw DbError(1, QStringLiteral("The price change cut-off \"%1\" is not a date.").arg(PriceChangeCutoff()));
    const RowSet rows = DbConnection().query(
        QStringLiteral("SELECT * FROM PriceUpdate WHERE CustomerRefNumber = ? AND DatePriceChanged > ?"),
        {customerRefNo, isoDate(cutoff)});
    return !rows.isEmpty();
}

void UpdateSetPrice(const QString &customerRefNo, Money oldPrice, Money newPrice)
{
    Database &db = DbConnection();
    Transaction tx(db);
    db.exec(QStringLiteral("UPDATE Sets SET TotalPrice = ?, LeatherPrice = COALESCE(LeatherPrice, 0) + ? "
                           "WHERE CustomerRefNo = ?"),
            {QVariant::fromValue(newPrice), QVariant::fromValue(newPrice - oldPrice), customerRefNo});
    const QString today = isoDate(Clock::today());
    const QVariant row =
        db.scalar(QStringLiteral("SELECT %1 FROM PriceUpdate WHERE CustomerRefNumber = ? ORDER BY %1 LIMIT 1")
                      .arg(db.rowKey()),
                  {customerRefNo});
    if (row.isNull())
        db.insert(QStringLiteral("PriceUpdate"),
                  {{QStringLiteral("CustomerRefNumber"), customerRefNo}, {QStringLiteral("DatePriceChanged"), today}});
    else
        db.exec(QStringLiteral("UPDATE PriceUpdate SET DatePriceChanged = ? WHERE %1 = ?").arg(db.rowKey()),
                {today, row});
    tx.commit();
}

void CloseDatabase()
{
    if (hasDbConnection())
        DbConnection().close();
    takeDbConnection();
}

namespace {

QStringList customerNames(const QString &sql, const QVariantList &params = {})
{
    QStringList names;
    for (const Row &r : DbConnection().query(sql, params))
        names << r.text(QStringLiteral("Name"));
    return names;
}

} // namespace

QStringList AllCustomerNames()
{
    return customerNames(QStringLiteral("SELECT Name FROM Customer ORDER BY Name"));
}

QStringList ActiveCustomerNames()
{
    return customerNames(QStringLiteral("SELECT Name FROM Customer WHERE Status = ? ORDER BY Name"),
                         {QStringLiteral("Active")});
}

int TypeAhead::feed(const void *list, QChar character, const QStringList &entries, double now)
{
    const double elapsed = now - m_lastKeyTime;
    if (list != m_lastList || elapsed >= 0.5 || elapsed < 0) {
        m_buffer = QString(character);
        m_lastList = list;
    } else {
        m_buffer += character;
    }
    int found = -1;
    for (int i = 0; i < entries.size(); ++i) {
        if (entries.at(i).startsWith(m_buffer, Qt::CaseInsensitive)) {
            found = i;
            break;
        }
    }
    m_lastKeyTime = now;
    return found;
}

void TypeAhead::forget(const void *list)
{
    if (m_lastList == list) {
        m_lastList = nullptr;
        m_buffer.clear();
    }
}

TypeAhead &TypeAhead::instance()
{
    static TypeAhead state;
    return state;
}
