#pragma once

#include "core/Money.h"
#include "core/ReportJob.h"

#include <QDate>
#include <QString>

class QWidget;

// The standard documents: each builds its rows (ReportCatalogue.h) and hands them to
// reportOutput(). Preview routines show the document in the report viewer; print routines send
// it to the printer and return whether it printed (the callers ask for confirmation).
// The purchase order, import log, open orders and production schedule show the hourglass while
// they run.

// Checks the job against its design and shows it in the report viewer (the request windows).
void PreviewReport(const ReportJob &job);

void PrintPurchaseOrder(qint64 purchaseOrderId);
void PrintImportLog(qint64 importId);
void PrintOpenOrdersReport();
void PrintProductionSchedule();
bool PrintCutsheetControlReport();
void PrintCustomerReport();
void PrintEmployeeReport();
void PrintSetReport();
void PrintMaterialReport();
bool PrintPackingSlip(qint64 shipmentId);
// Prints the shipment's invoice and returns its total, rounded half-to-even to cents.
Money PrintInvoice(qint64 shipmentId, qint64 invoiceNumber, const QString &dueDate, const QString &terms);
void PrintOpenInvoicesReport(const QDate &asOf);
void PrintARTranReport(const QDate &from, const QDate &to);

class QWidget;

// The questions that follow a direct print (Yes ends the loop, No prints again), per caller.
namespace PrintQuestion {
inline const QString Title = QStringLiteral("Print Confirmation");
inline const QString PackingSlip = QStringLiteral("Did the Packing Slip Print OK?");
inline const QString Invoice = QStringLiteral("Did the Invoice Print OK?");
inline const QString CutsheetControl = QStringLiteral("Did the control report print OK?");
inline const QString Inventory = QStringLiteral("Did the report print OK?");
inline const QString OrderControl = QStringLiteral("Did report print OK?");
inline const QString OrderControlTitle = QStringLiteral("Report Status");
} // namespace PrintQuestion

// The report commands of the main window's command table ("OpenOrders", "CustomerReport", ...):
// the keys the registry's entries name.
bool isReportCommand(const QString &key);
// Runs one with the busy pointer; a failure is shown to the user with the engine's text.
void runReportCommand(QWidget *parent, const QString &key);
