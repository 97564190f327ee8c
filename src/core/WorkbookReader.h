#pragma once

#include "core/Spreadsheet.h"

#include <QStringList>

class QIODevice;

// .xls workbooks are read by FreeXL, which a damaged file can crash. So the program reads them in
// a child process (corvane-xlsread, built beside it) that hands back every cell; a crash, hang or
// blow-up there is an unreadable workbook here and nothing else.
namespace workbookreader {

// The reader process's work: reads the workbook at `path` in this process and writes its cells to
// `out`. Returns the process's exit code.
int serve(const QString &path, QIODevice &out);

// Reads the workbook in this process, without the child: for the reader itself and for fuzzing.
std::unique_ptr<Spreadsheet> openInProcess(const QString &path);

// Test seams. The command run as the reader (the workbook's path is added as its last argument);
// empty means corvane-xlsread found beside the program. And the time the reader may take.
void setCommand(const QStringList &programAndArguments);
void setTimeLimit(int milliseconds);

} // namespace workbookreader
