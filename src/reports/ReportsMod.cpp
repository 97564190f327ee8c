#include "reports/ReportsMod.h"

#include "core/PrintToPdf.h"

#include "reports/ReportDesign.h"
#include "reports/ReportRegistry.h"
#include "ui/EntryWindow.h"
#include "ui/Widgets.h"

#include <optional>

bool produceDocument(const QString &name, const QMap<QString, QString> &request)
{
    const reports::Document *document = reports::find(name);
    if (!document)
        throw reports::ReportError(QStringLiteral("There is no report design named \"%1\".").arg(name));
    // The busy pointer shows from the first query; the design checks its rows when they are handed
    // over, before any output.
    std::optional<BusyPointer> busy;
    if (document->hourglass)
        busy.emplace();
    const ReportJob job = reports::buildJob(*document, request);
    reports::checkJob(job);
    if (document->output == reports::Output::Print)
        return printReport(job);
    reportOutput().preview(job);
    return true;
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
        produceDocument(document->name());
    });
}
