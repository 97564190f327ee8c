#pragma once

#include "core/Money.h"

#include <QString>
#include <QStringList>

// Routines several windows share; all work on DbConnection().

// Drops a scratch table; a missing table is ignored, any other failure throws DbError.
void DropTable(const QString &name);

// Closes every open order whose lines have all shipped exactly their quantity.
// Returns the IDs it closed.
QList<qint64> CloseShippedOrders();

// True when the set's price was changed from an order line after the configured cut-off day.
bool PriceChangedSince(const QString &customerRefNo);

// Makes `newPrice` the set's catalogue price: the difference is carried by the leather price,
// and PriceUpdate is stamped with today.
void UpdateSetPrice(const QString &customerRefNo, Money oldPrice, Money newPrice);

// Closes the process-wide connection.
void CloseDatabase();

// Customer names for the drop-down lists, sorted: every customer, or the active ones only.
QStringList AllCustomerNames();
QStringList ActiveCustomerNames();

// The incremental prefix search of drop-down lists. One state serves the whole process.
class TypeAhead
{
public:
    // Feeds one typed character for the list `list` (any identity) whose entries are `entries`;
    // `now` is seconds since midnight. Returns the index to select, or -1 to leave the selection.
    int feed(const void *list, QChar character, const QStringList &entries, double now);
    QString buffer() const { return m_buffer; }
    // A list that goes away takes its search with it: a new list at the same address starts afresh.
    void forget(const void *list);

    static TypeAhead &instance();

private:
    double m_lastKeyTime = 0;
    QString m_buffer;
    const void *m_lastList = nullptr;
};
