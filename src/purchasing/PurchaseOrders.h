#pragma once

#include "core/Database.h"
#include "core/Money.h"
#include "core/Refusal.h"

#include <QDate>
#include <QList>
#include <QString>

#include <optional>
#include <vector>

// Pending purchase items and the purchase orders made of them.
namespace purchasing {

// One "Open" pending item as the pending items window lists it. Empty values read as 0 or "".
struct PendingItem
{
    qint64 id = 0;
    QString customerRefNo, partNumber, description, colorName, rStringNumber;
    double quantity = 0;
    Money price;
    QDate dockDate;

    // Price x quantity to the cent, halves to even.
    Money priceExt() const { return price.times(quantity).rounded(2); }
};

// The open items by customer reference number.
std::vector<PendingItem> openPendingItems();

// The header of a purchase order; the defaults come from POSetup.
struct POHeader
{
    QString vendor1, vendor2, vendor3, terms, billTo1, billTo2, billTo3, shipTo1, shipTo2, shipTo3, comment;
    QDate poDate, dueDate;
};
// The POSetup row, if there is one (its dates are unset).
std::optional<POHeader> poDefaults();

// One ticked line, with the values the window shows.
struct POLine
{
    qint64 pendingId = 0;
    double quantity = 0;
    QString partNumber, description, color, colorNumber;
    Money priceEach, priceExt;
};

// A purchase order needs at least one ticked item.
std::optional<Refusal> refuseEmptyPurchaseOrder(const std::vector<POLine> &lines);

// Writes the purchase order and one line per item, and closes each pending item with the links
// to its order and line, in one transaction. A pending item that is no longer open stops it.
// Returns the purchase order number. Throws DbError; nothing is written then.
qint64 createPurchaseOrder(const POHeader &header, const Money &total, const std::vector<POLine> &lines);

// Withdraws the item (status "Delete"); it stays in the table.
void withdrawPendingItem(qint64 id);

// The navigator's search; an unset number and an unticked date range are no criterion.
struct POCriteria
{
    std::optional<qint64> number;
    bool useDate = false;
    QDate from, to; // both ends included
};
RowSet findPurchaseOrders(const POCriteria &criteria);
// Every purchase order number, newest first.
QList<qint64> purchaseOrderNumbers();

// The PO number as typed: empty is no criterion; anything but a whole number is refused.
struct PONumber
{
    std::optional<qint64> number;
    std::optional<Refusal> refusal;
};
PONumber parsePONumber(const QString &text);

// Removes the purchase order and its lines and puts its pending items back to "Open", in one
// transaction. Throws DbError; nothing changes then. `loaded` is the stamp of its row as the
// window found it: one changed or deleted since is refused with DbError::changed.
void deletePurchaseOrder(qint64 id, const QByteArray &loaded = {});

} // namespace purchasing
