#pragma once

#include "core/OutputFile.h"
#include "core/ReportJob.h"
#include "reports/ReportRegistry.h"

#include <QString>
#include <QStringList>

class QTextStream;

// Writing a document without a window:
//   corvane --report NAME [--arg KEY=VALUE ...] (--pdf FILE | --csv FILE) [--db DATABASE]
// and the care of the database file: --check, --backup, --restore.
namespace reports {

// The documents, their arguments and UsageError are the registry's (ReportRegistry.h).

// The usage message, listing every document of the registry with its arguments.
QString commandLineUsage();

// True when the program was started to write a document rather than to show its window.
bool isCommandLineRequest(int argc, char **argv);
// Runs the request with its own windowless application; returns the exit code
// (0 done, 1 failed, 2 bad arguments).
int runCommandLine(int argc, char **argv);
// The request itself, `args` without the program name, inside a running application.
// The database named by --db, or by config.txt beside `programFolder` or in the user's
// configuration folder, is used for the request only. The restore question is read from `in`,
// or from the terminal when it is null.
int runReportCommand(const QStringList &args, const QString &programFolder, QTextStream &out, QTextStream &err,
                     QTextStream *in = nullptr);

// Standard CSV: a header of `columns`, then one line per row with those columns' values.
output::Result writeCsv(const QString &path, const RowSet &rows, const QStringList &columns);

} // namespace reports
