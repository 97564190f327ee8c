#pragma once

#include "TestSupport.h"

#include <QString>
#include <QStringList>
#include <QVariantList>

namespace purchasingtest {

QString fixture(const QString &name);

// The customer "O'Hare Trim" (no ship-to address 2, phone or fax), sets Q100, Q200, Q300 and
// Q400 (no price), and cross-references for Q100-Q400, Q900 (no set) and QNP (no part number).
void seedCatalogue(TestDatabase &db);

// An open pending item; returns its ID.
qint64 addPendingItem(const QString &ref, double price, double qty, const QDate &dock = QDate(2010, 6, 1));
// A purchase order dated `date` made of `pendingIds`, as Create PO leaves it; returns its number.
qint64 addPurchaseOrder(const QDate &date, const QList<qint64> &pendingIds,
                        const QString &vendor = "Hide House");

int count(const QString &sql, const QVariantList &params = {});
// The rows of `sql`, each joined with "|".
QStringList lines(const QString &sql, const QVariantList &params = {});

} // namespace purchasingtest
