#include "reports/ReportsMod.h"

#include "reports/ReportCatalogue.h"
#include "reports/ReportDesign.h"
#include "ui/MessageBox.h"
#include "ui/Widgets.h"

#include <map>

namespace {

// The design checks its rows when they are handed over, before any output.
void preview(const ReportJob &job)
{
    reports::checkJob(job);
    reportOutput().preview(job);
}

bool print(const ReportJob &job)
{
    reports::checkJob(job);
    return reportOutput().print(job);
}

} // namespace

void PreviewReport(const ReportJob &job)
{
    preview(job);
}

void PrintPurchaseOrder(qint64 purchaseOrderId)
{
    BusyPointer busy;
    preview(purchaseOrderJob(purchaseOrderId));
}

void PrintImportLog(qint64 importId)
{
    BusyPointer busy;
    preview(importLogJob(importId));
}

void PrintOpenOrdersReport()
{
    BusyPointer busy;
    preview(openOrdersJob());
}

void PrintProductionSchedule()
{
    BusyPointer busy;
    preview(productionScheduleJob());
}

bool PrintCutsheetControlReport()
{
    return print(cutsheetControlJob());
}

void PrintCustomerReport()
{
    preview(customerListingJob());
}

void PrintEmployeeReport()
{
    preview(employeeListingJob());
}

void PrintSetReport()
{
    preview(setListingJob());
}

void PrintMaterialReport()
{
    preview(materialListingJob());
}

bool PrintPackingSlip(qint64 shipmentId)
{
    return print(packingSlipJob(shipmentId));
}

Money PrintInvoice(qint64 shipmentId, qint64 invoiceNumber, const QString &dueDate, const QString &terms)
{
    print(invoiceJob(shipmentId, invoiceNumber, dueDate, terms));
    return invoiceTotal(shipmentId);
}

void PrintOpenInvoicesReport(const QDate &asOf)
{
    preview(openInvoicesJob(asOf));
}

void PrintARTranReport(const QDate &from, const QDate &to)
{
    preview(arTransactionsJob(from, to));
}

namespace {

const std::map<QString, void (*)()> &reportCommands()
{
    static const std::map<QString, void (*)()> commands = {
        {QStringLiteral("OpenOrders"), PrintOpenOrdersReport},
        {QStringLiteral("ProductionSchedule"), PrintProductionSchedule},
        {QStringLiteral("CustomerReport"), PrintCustomerReport},
        {QStringLiteral("EmployeeReport"), PrintEmployeeReport},
        {QStringLiteral("SetReport"), PrintSetReport},
        {QStringLiteral("MaterialReport"), PrintMaterialReport},
    };
    return commands;
}

} // namespace

bool isReportCommand(const QString &key)
{
    return reportCommands().count(key) > 0;
}

void runReportCommand(QWidget *parent, const QString &key)
{
    const auto it = reportCommands().find(key);
    if (it == reportCommands().end())
        return;
    try {
        BusyPointer busy;
        it->second();
    } catch (const DbError &e) {
        MessageBox::error(parent, e);
    }
}
