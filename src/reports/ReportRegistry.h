#pragma once

#include "core/ReportJob.h"
#include "reports/ReportDesign.h"

#include <QDate>
#include <QList>
#include <QMap>
#include <QString>

#include <functional>
#include <optional>
#include <stdexcept>

// The one list of standard documents. Each entry holds the document's design, the columns its
// row builder returns, the row builder, the arguments a request gives it and the navigation-pane
// command that produces it at once. The entries are written one file per family under docs/; the
// row builders' statements stay in their subsystems. Windows (by name, through ui/Documents.h),
// the viewer, the command line, the navigation pane and the tests all read them here. A new
// document is one more entry in its family's file.
namespace reports {

// A bad request (command line, or arguments handed to a row builder); its text goes above the
// usage message.
class UsageError : public std::runtime_error
{
public:
    explicit UsageError(const QString &text) : std::runtime_error(text.toStdString()), m_text(text) {}
    QString text() const { return m_text; }

private:
    QString m_text;
};

// The arguments of one request (--arg KEY=VALUE on the command line), read by the row builder.
class ReportArguments
{
public:
    explicit ReportArguments(QMap<QString, QString> values = {}) : m_values(std::move(values)) {}
    bool has(const QString &key) const { return m_values.contains(key); }
    // A whole number; a missing or non-numeric value is a UsageError.
    qint64 id(const QString &key) const;
    // "yyyy-mm-dd" or "m/d/yyyy"; `fallback` when absent (an invalid fallback makes it required).
    QDate date(const QString &key, const QDate &fallback = QDate()) const;
    QString text(const QString &key, const QString &fallback = QString()) const;
    const QMap<QString, QString> &values() const { return m_values; }

private:
    QMap<QString, QString> m_values;
};

enum class ArgumentKind
{
    Number,
    Date,
    Text
};

struct Argument
{
    QString name; // the key, lower case
    ArgumentKind kind = ArgumentKind::Number;
    bool required = true;
    QString help; // a few words for the usage text
};

enum class Output
{
    Preview,
    Print
};

using RowBuilder = std::function<ReportJob(const ReportArguments &)>;

// Where a document produced at once stands in the navigation pane.
struct PaneCommand
{
    QString group;
    QString caption;
    QString key;   // what the pane's dispatch compares, in full and case-sensitively
    QString after; // the command it follows in its group
};

struct Document
{
    Design design{}; // its `columns` are filled from the entry's
    // What the row builder returns, in its order; the design may use no other column.
    QStringList columns{};
    RowBuilder build{};
    QList<Argument> arguments{};
    std::optional<PaneCommand> command{}; // none: produced from a window or the command line only
    Output output = Output::Preview;
    bool hourglass = false; // the busy pointer shows from the first query to the output

    const QString &name() const { return design.name; }
};

// Every document with a row builder, family by family.
QList<const Document *> registry();
// The document named `name` (case-insensitive), or nullptr.
const Document *find(const QString &name);
// The document that navigation-pane command `key` (exact) produces, or nullptr.
const Document *findCommand(const QString &key);
// What is wrong with an entry before it is registered: a column its design uses that the row
// builder does not return, a pane command that takes arguments. Empty when it is sound.
QStringList entryProblems(const Document &document);

// Checks a request's arguments against the document's: every key is one it takes, every
// required one is there, numbers and dates read as such. Throws UsageError.
void checkArguments(const Document &document, const QMap<QString, QString> &arguments);
// The document's rows for the request, after checkArguments.
ReportJob buildJob(const Document &document, const QMap<QString, QString> &arguments = {});

struct Registry;

// What a family file is handed to add its entries.
class Family
{
public:
    // Registers the entry; an unsound one (entryProblems) stops the program at once.
    void add(Document document);

private:
    friend struct Registry;
    explicit Family(Registry &registry) : m_registry(registry) {}
    Registry &m_registry;
};

} // namespace reports
