#pragma once

#include "core/Money.h"
#include "core/ReportJob.h"

#include <QDate>
#include <QString>

#include <optional>

// The rows of the shipping and receivable documents (their designs and registry entries are
// under reports/docs). Dates in text slots are the short date form ("5/14/2010").
namespace shipping {

ReportJob packingSlipJob(qint64 shipmentId);
// The invoice of a shipment; the number, due date and terms go to its text slots as given.
ReportJob invoiceJob(qint64 shipmentId, qint64 invoiceNumber, const QString &dueDate, const QString &terms);
// Sum of quantity shipped times price over the shipment's lines, rounded half-to-even to cents;
// zero for a shipment without priced lines.
Money invoiceTotal(qint64 shipmentId);

struct StoredInvoice
{
    qint64 number = 0;
    QDate dueDate;
    QString terms;
};
// The shipment's invoice as it was saved (the lowest number when there are several).
std::optional<StoredInvoice> storedInvoice(qint64 shipmentId);

} // namespace shipping

namespace receivables {

// Every invoice dated on or before `asOf` with what was received on it up to that day, and its
// balance by days past due; writes nothing.
ReportJob openInvoicesJob(const QDate &asOf);
// Invoices of the period, and its payments for the sub-report; both bounds inclusive.
ReportJob arTransactionsJob(const QDate &from, const QDate &to);
// The sales of the period per invoice, split by set type; rebuilds tmpSalesRegister.
ReportJob salesRegisterJob(const QDate &from, const QDate &to);

} // namespace receivables
