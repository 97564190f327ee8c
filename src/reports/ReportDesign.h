#pragma once

#include "core/Database.h"
#include "core/ReportJob.h"

#include <QList>
#include <QPageLayout>
#include <QPageSize>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

// A report design is data: what a document says and how it is laid out. The engine
// (ReportDocument) reads it; each design sits with its document's entry in docs/.
//
// Wherever a design shows a value it uses a template: literal text with fields in braces,
// "{City}, {State}  {Zip}", a field optionally followed by a format, "{DueDate:date}", or a text
// slot, "{@Terms}". In footers "{count}" is the number of detail rows summed.
namespace reports {

// Price is money with the decimals it needs (2 to 4), so that quantity times price shows right.
// Ssn prints only the last four digits of a social security number ("***-**-1234").
enum class Format { Text, Money, Price, Quantity, Integer, Date, DateTime, Percent, Ssn };
enum class Align { Auto, Left, Center, Right };

// A column of the detail band. `field` is an input column, an arithmetic expression over input
// columns ("Qty-QtyShipped", "(OnHandAdj-OnHandCut)*Average", "Required/Used"), or a template
// joining texts ("{LastName}, {FirstName}"). In an expression an empty value counts as 0; a
// quotient's total is the quotient of the totals. A running column adds its value row by row
// within the innermost group, starting from the group's first `runningStart` value.
struct Column
{
    QString field;
    QString heading; // may name slots: "{@Customer1}"
    double width = 1; // share of the printable width
    Format format = Format::Text;
    Align align = Align::Auto;
    QString runningStart;
};

// A labelled value in a group header, drawn as a small boxed cell.
struct Info
{
    QString label;
    QString value; // template
};

// An address-like block: a title over lines; lines whose fields are all empty are left out.
struct Block
{
    QString title;
    QStringList lines; // templates
};

// A break on one or more fields, with a header before and a footer after each run of rows.
struct Group
{
    QStringList keys;
    QString header;       // template of the bold header line; empty for none
    QList<Block> blocks;  // side by side under the header
    QList<Info> infos;    // in one row of cells under the blocks
    QString footer;       // label of the subtotal line; empty for none
    QStringList sums;     // detail column fields summed in the footer
    bool newPage = false; // every group starts on a fresh page
};

// A run-time text slot. A flag slot is not printed: "true" switches the design's flag layout.
struct Slot
{
    QString name;
    QString label;
    bool flag = false;
};

// A second table printed after the main rows (fed by the job's subRows).
struct SubReport
{
    QString title;
    QStringList columns;
    QList<Column> details;
    QString totalLabel;
    QStringList totals;
};

struct Design
{
    QString name;  // crpt...
    QString title; // the document title printed on every page
    QStringList columns; // input columns in the order the producer's query returns them
    QList<Slot> slots;
    QPageSize::PageSizeId pageSize = QPageSize::Letter;
    QPageLayout::Orientation orientation = QPageLayout::Portrait;
    QList<Group> groups; // outermost first
    QList<Column> details;
    QString totalLabel; // grand total line; empty for none
    QStringList totals;
    bool flagHidesTotal = false; // a set flag slot (one selection) leaves the grand total out
    QStringList notes;            // templates printed after the totals (terms, remittance)
    std::optional<SubReport> sub;
    // The rows the document prints, when not all of them; the rows handed over (and their CSV)
    // stay whole.
    std::function<bool(const Row &)> printsRow{};
    bool letterhead = false; // the shop's letterhead above the title, when it has one
};

// Every design of the program, family by family (ReportRegistry.h keeps them).
QList<const Design *> designs();
// The design named `name` (case-insensitive), or nullptr.
const Design *findDesign(const QString &name);

// A design refusing its rows (unknown design, missing column). It is a failure of the
// document engine, reported to the user like a database failure.
class ReportError : public DbError
{
public:
    explicit ReportError(const QString &message);
};

// Checks what a producer hands over: the design exists, every declared column (and sub-report
// column) is in the rows, and every text slot set is one the design has. Extra columns are
// ignored. Throws ReportError.
const Design &checkJob(const ReportJob &job);

// Text of one value in a format: money "$1,234.50", quantity "12.5", date "5/14/2010".
QString formatValue(const QVariant &value, Format format);
// A plain value as it is stored: numbers without formatting, dates as stored.
QString plainValue(const QVariant &value);
// The date as the system's short date ("5/14/2010").
QString shortDate(const QDate &date);

} // namespace reports
