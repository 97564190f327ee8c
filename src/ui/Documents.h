#pragma once

#include <QMap>
#include <QString>

#include <functional>

class QWidget;

// How a window produces a standard document: by its name ("crptPackingSlip") and the request's
// values, keyed as on the command line ("shipment" = "12", dates as yyyy-mm-dd). The document's
// registry entry says how its rows are built and whether it is previewed or printed; the reports
// folder installs the producer at start-up, so windows know nothing else of it.
namespace documents {

using Request = QMap<QString, QString>;
using Producer = std::function<bool(const QString &name, const Request &request)>;

// Builds the document and hands it over. Returns false when a print printed nothing (a preview
// counts as printed). A database failure propagates to the caller.
bool produce(const QString &name, const Request &request = {});
// A request window's OK: produces the document under the hourglass, shows a database failure in
// `form`, and closes the window once the document is shown.
void produceAndClose(QWidget *form, const QString &name, const Request &request);

void install(Producer producer);

} // namespace documents

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
