#pragma once

#include "core/Money.h"
#include "core/ReportJob.h"

#include <QDate>
#include <QString>

// The rows of the standard documents: each function builds its scratch tables, runs the final
// query and returns the job for the design (rows and text slots), ready for reportOutput().
// Dates in text slots are the short date form ("5/14/2010"). Each is defined in its family's
// file under docs/, beside its design and registry entry.

ReportJob purchaseOrderJob(qint64 purchaseOrderId);
ReportJob importLogJob(qint64 importId);
// Open orders with quantities cut and shipped; rebuilds tmpOpenOrdersCut and tmpOpenOrdersShipped.
ReportJob openOrdersJob();
// The same with feet required; rebuilds tmpProdSchedCut and tmpProdSchedShipped.
ReportJob productionScheduleJob();
// The cut sheets entered while the cut sheet window was open (CutsheetsTEMP), as they stand.
ReportJob cutsheetControlJob();
ReportJob customerListingJob();
ReportJob employeeListingJob();
ReportJob setListingJob();
ReportJob materialListingJob();
// One order with its lines, for the order entry control report.
ReportJob orderEntryControlJob(qint64 orderId);
ReportJob packingSlipJob(qint64 shipmentId);
// The invoice of a shipment; the number, due date and terms go to its text slots as given.
ReportJob invoiceJob(qint64 shipmentId, qint64 invoiceNumber, const QString &dueDate, const QString &terms);
// Sum of quantity shipped times price over the shipment's lines, rounded half-to-even to cents;
// zero for a shipment without priced lines.
Money invoiceTotal(qint64 shipmentId);
// Every invoice dated on or before `asOf` with what was received on it up to that day;
// rebuilds tmpPayments and tmpOpenInvoices.
ReportJob openInvoicesJob(const QDate &asOf);
// Invoices of the period, and its payments for the sub-report; both bounds inclusive.
ReportJob arTransactionsJob(const QDate &from, const QDate &to);
