#pragma once

#include <QMap>
#include <QString>

class QWidget;

// Produces the standard documents: builds a document's rows from its registry entry and hands them
// to reportOutput(), previewed in the report viewer or printed as the entry says, with the
// hourglass when the entry asks for it. Windows reach this through ui/Documents.h.

// Produces the document named `name` for the request (the keys of its entry's arguments).
// Returns false when a print printed nothing.
bool produceDocument(const QString &name, const QMap<QString, QString> &request = {});

// The report commands of the main window's command table ("OpenOrders", "CustomerReport", ...):
// the keys the registry's entries name.
bool isReportCommand(const QString &key);
// Runs one with the busy pointer; a failure is shown to the user with the engine's text.
void runReportCommand(QWidget *parent, const QString &key);
