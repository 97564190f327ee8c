#pragma once

#include "core/ReportJob.h"

#include <QMap>
#include <QString>
#include <QStringList>

#include <functional>
#include <stdexcept>

class QTextStream;

// Writing a document without a window:
//   corvane --report NAME [--arg KEY=VALUE ...] (--pdf FILE | --csv FILE) [--db DATABASE]
namespace reports {

// A bad command line; its text goes above the usage message.
class UsageError : public std::runtime_error
{
public:
    explicit UsageError(const QString &text) : std::runtime_error(text.toStdString()), m_text(text) {}
    QString text() const { return m_text; }

private:
    QString m_text;
};

// The --arg values of one request, read by the document's row builder.
class ReportArguments
{
public:
    explicit ReportArguments(QMap<QString, QString> values) : m_values(std::move(values)) {}
    bool has(const QString &key) const { return m_values.contains(key); }
    // A whole number; a missing or non-numeric value is a UsageError.
    qint64 id(const QString &key) const;
    // "yyyy-mm-dd" or "m/d/yyyy"; `fallback` when absent (an invalid fallback makes it required).
    QDate date(const QString &key, const QDate &fallback = QDate()) const;
    QString text(const QString &key, const QString &fallback = QString()) const;

private:
    QMap<QString, QString> m_values;
};

// One document the command line can write: its design name, the --arg keys it takes (with a
// word on each for the usage text) and its row builder.
struct CommandLineDocument
{
    QString design;
    QList<QPair<QString, QString>> arguments;
    std::function<ReportJob(const ReportArguments &)> build;
};

// The documents known to the command line; windows' documents are added with
// addCommandLineDocument.
const QList<CommandLineDocument> &commandLineDocuments();
void addCommandLineDocument(const CommandLineDocument &document);

QString commandLineUsage();

// True when the program was started to write a document rather than to show its window.
bool isCommandLineRequest(int argc, char **argv);
// Runs the request with its own windowless application; returns the exit code
// (0 done, 1 failed, 2 bad arguments).
int runCommandLine(int argc, char **argv);
// The request itself, `args` without the program name, inside a running application.
// The database named by --db, or by config.txt in `programFolder`, is used for the request only.
int runReportCommand(const QStringList &args, const QString &programFolder, QTextStream &out, QTextStream &err);

// Standard CSV: a header of `columns`, then one line per row with those columns' values.
bool writeCsv(const QString &path, const RowSet &rows, const QStringList &columns, QString *error = nullptr);

} // namespace reports
