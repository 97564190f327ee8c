#include "reports/ReportsMod.h"

#include "reports/ReportCatalogue.h"
#include "reports/ReportDesign.h"
#include "reports/ReportRegistry.h"
#include "ui/EntryWindow.h"
#include "ui/Widgets.h"

#include <functional>
#include <optional>

namespace {

// Builds the rows and hands them to the output the document's entry names, with the busy
// pointer from the first query when the entry asks for it. The design checks its rows when
// they are handed over, before any output.
bool produce(const QString &name, const std::function<ReportJob()> &rows)
{
    const reports::Document *document = reports::find(name);
    std::optional<BusyPointer> busy;
    if (document && document->hourglass)
        busy.emplace();
    const ReportJob job = rows();
    reports::checkJob(job);
    if (document && document->output == reports::Output::Print)
        return reportOutput().print(job);
    reportOutput().preview(job);
    return true;
}

} // namespace

void PreviewReport(const ReportJob &job)
{
    produce(job.design, [&job] { return job; });
}

void PrintPurchaseOrder(qint64 purchaseOrderId)
{
    produce(QStringLiteral("crptPurchaseOrder"), [=] { return purchaseOrderJob(purchaseOrderId); });
}

void PrintImportLog(qint64 importId)
{
    produce(QStringLiteral("crptImportLogReport"), [=] { return importLogJob(importId); });
}

void PrintOpenOrdersReport()
{
    produce(QStringLiteral("crptOpenOrdersReport"), openOrdersJob);
}

void PrintProductionSchedule()
{
    produce(QStringLiteral("crptProductionScheduleReport"), productionScheduleJob);
}

bool PrintCutsheetControlReport()
{
    return produce(QStringLiteral("crptCutsheetEntryControlReport"), cutsheetControlJob);
}

void PrintCustomerReport()
{
    produce(QStringLiteral("crptCustomerReport"), customerListingJob);
}

void PrintEmployeeReport()
{
    produce(QStringLiteral("crptEmployeeReport"), employeeListingJob);
}

void PrintSetReport()
{
    produce(QStringLiteral("crptSetReport"), setListingJob);
}

void PrintMaterialReport()
{
    produce(QStringLiteral("crptMaterialReport"), materialListingJob);
}

bool PrintPackingSlip(qint64 shipmentId)
{
    return produce(QStringLiteral("crptPackingSlip"), [=] { return packingSlipJob(shipmentId); });
}

Money PrintInvoice(qint64 shipmentId, qint64 invoiceNumber, const QString &dueDate, const QString &terms)
{
    produce(QStringLiteral("crptInvoice"),
            [&] { return invoiceJob(shipmentId, invoiceNumber, dueDate, terms); });
    return invoiceTotal(shipmentId);
}

void PrintOpenInvoicesReport(const QDate &asOf)
{
    produce(QStringLiteral("crptOpenInvoicesReport"), [&] { return openInvoicesJob(asOf); });
}

void PrintARTranReport(const QDate &from, const QDate &to)
{
    produce(QStringLiteral("crptARTranReport"), [&] { return arTransactionsJob(from, to); });
}

bool isReportCommand(const QString &key)
{
    return reports::findCommand(key) != nullptr;
}

void runReportCommand(QWidget *parent, const QString &key)
{
    const reports::Document *document = reports::findCommand(key);
    if (!document)
        return;
    entry::guarded(parent, [document] {
        BusyPointer busy;
        produce(document->name(), [document] { return reports::buildJob(*document); });
    });
}
