#pragma once

// The parts of the report engine shared by its files; nothing outside src/reports/Report*.cpp of
// the engine includes this. ReportDocument is the engine's interface.

#include "reports/Letterhead.h"
#include "reports/ReportDesign.h"

#include <QFont>
#include <QSizeF>

#include <memory>
#include <optional>
#include <vector>

class QPainter;

namespace reports::engine {

// Page geometry and type sizes, in points.
constexpr double kMargin = 36;
constexpr double kLogoH = 48; // points
constexpr double kPageHeaderH = 50;
constexpr double kRowH = 12.5;
constexpr double kHeadingsH = 20;
constexpr double kGroupLineH = 18;
constexpr double kBlockTitleH = 12;
constexpr double kBlockLineH = 11.5;
constexpr double kInfoH = 30;
constexpr double kFooterH = 18;
constexpr double kTotalH = 22;
constexpr double kLabelLineH = 14;
constexpr double kSubTitleH = 26;
constexpr double kPad = 3;

// The one type face of every document, `size` points high.
QFont font(int size, bool bold = false, bool italic = false);

// ---- expressions over input columns (ReportExpression.cpp) --------------------------------

struct Expr
{
    enum Kind
    {
        Field,
        Number,
        Add,
        Sub,
        Mul,
        Div
    } kind = Number;
    int column = -1;
    double number = 0;
    std::shared_ptr<Expr> a, b;
};

// Reads "Qty * PriceEach" and the like over the columns of `rows`; a ReportError names `design`
// when it cannot.
std::shared_ptr<Expr> parseExpression(const QString &text, const RowSet &rows, const QString &design);
std::optional<double> evaluate(const Expr &e, const Row &row);
// A column's value as a number; none when it is empty or not a number.
std::optional<double> numberAt(const Row &row, int column);

// ---- templates: text with {fields} (ReportTemplate.cpp) -----------------------------------

struct Piece
{
    QString literal; // for literal pieces
    bool isField = false;
    int column = -1;
    QString slot;
    bool isCount = false;
    Format format = Format::Text;
    QString fallback;
};

struct Template
{
    QList<Piece> pieces;
    bool isEmpty() const { return pieces.isEmpty(); }
};

struct Context
{
    const ReportJob *job = nullptr;
    const Row *row = nullptr; // null: no row (an empty document)
    int count = 0;
};

// Without `rows` a template may name only slots and the count.
Template compileTemplate(const QString &text, const RowSet *rows, const QString &design);
QString expand(const Template &t, const Context &c, bool joined);

// ---- columns and totals (ReportColumns.cpp) -----------------------------------------------

struct Cell
{
    enum Kind
    {
        Plain,
        Arithmetic,
        Text
    } kind = Plain;
    int column = -1;
    std::shared_ptr<Expr> expr;
    Template tpl;
    Format format = Format::Text;
    Qt::Alignment align = Qt::AlignLeft;
    QString field;
    Template heading;
    double x = 0;
    double w = 0;
    int runningStart = -1;
    bool numeric = false; // a figure that totals add up
};

// The widest figure a cell has to show, kept while the rows are laid out: its largest magnitude,
// whether any is negative, has decimals, needs more than two decimals.
struct Extent
{
    double largest = 0;
    bool negative = false;
    bool fractional = false;
    bool fine = false;
    bool any = false;

    void add(double v);
};

struct Section
{
    const RowSet *rows = nullptr;
    QList<Cell> cells;
    std::vector<Extent> shown, summed; // per cell: detail figures, and totals
    std::vector<int> totals;           // cell indexes summed in the total line
    Template totalLabel;
    QString title;
    bool running = false;
};

struct Totals
{
    std::vector<std::optional<double>> values; // per cell
    int count = 0;
};

struct Accumulator
{
    std::vector<double> sum, num, den;
    std::vector<char> has;
    int count = 0;

    void reset(size_t n)
    {
        sum.assign(n, 0);
        num.assign(n, 0);
        den.assign(n, 0);
        has.assign(n, 0);
        count = 0;
    }
};

// The figures one row adds to every open total, worked out once per row.
struct RowFigures
{
    std::vector<double> value, num, den;
    std::vector<char> has;
};

Section compileSection(const QList<Column> &columns, const RowSet &rows, const QString &design, double left,
                       double width);
// Gives figures, dates and headings the width they need, from the room text columns do not use,
// then from text columns, which elide. True when any cell moved.
bool fitColumns(Section &s, const ReportJob &job);
// Type sizes: figures step down to the smallest before they would be cut.
constexpr int kSmallestType = 5;
// Set while a document is inspected (ReportDocument::clippedTexts): every figure or heading
// painted that does not fit its cell.
extern thread_local QStringList *clippedTexts;

// The cells of `s` that `fields` name, for a total line.
std::vector<int> cellIndexes(const Section &s, const QStringList &fields, const QString &design);
std::optional<double> numericValue(const Cell &cell, const Row &row);
void measure(RowFigures &f, const Section &s, const Row &row);
void accumulate(Accumulator &acc, const RowFigures &f);
Totals finish(const Accumulator &acc, const Section &s);

// ---- the laid-out document (ReportLayout.cpp, painted in ReportPaint.cpp) -----------------

struct CompiledGroup
{
    std::vector<int> keys;
    Template header;
    QList<QPair<QString, QList<Template>>> blocks;
    QList<QPair<QString, Template>> infos;
    Template footer;
    std::vector<int> sums;
    bool newPage = false;
};

enum class BandKind : quint8
{
    Headings,
    GroupHeader,
    GroupContinued,
    Detail,
    GroupFooter,
    Total,
    Note,
    SubTitle,
    SubHeadings,
    SubDetail,
    SubTotal
};

struct Band
{
    BandKind kind;
    quint8 level;
    int page;
    float y;
    float h;
    int row;
    int aux; // totals index, note index
};

// Height of the letterhead above the page header; 0 without one.
double letterheadHeight(const Letterhead &l);

struct Layout
{
    ReportJob job;
    const Design *design = nullptr;
    QSizeF page;
    double left = kMargin, top = kMargin, width = 0, bottom = 0;
    Section main;
    std::optional<Section> sub;
    QList<CompiledGroup> groups;
    std::vector<int> totalCells;
    Template totalLabel;
    bool showTotal = false;
    QStringList slotLine;
    QString printed;
    std::vector<Band> bands;
    std::vector<int> pageStart; // first band of each page
    std::vector<Totals> totals;
    std::vector<double> running; // per main row, when a column runs
    QStringList noteTexts;
    std::vector<float> noteHeights;
    Letterhead letterhead;

    // Fills in everything but the bands from a checked job and its design.
    void compile(const ReportJob &checked, const Design &d);
    // Places the bands on pages.
    void build();
    bool totalsMoved() const;
    double groupHeaderHeight(int level, const Row &row) const;
    QList<QStringList> blockLines(const CompiledGroup &g, const Row &row) const;
    double totalsHeight(const Section &s, const std::vector<int> &cells, const QString &label,
                        bool grand) const;
    void paint(QPainter &p, int pageIndex) const;

private:
    void compileGroups();
    void compileNotes();
    void compileSub();
    double labelRoom(const Section &s, const std::vector<int> &cells) const;
    void paintPageHeader(QPainter &p, int pageIndex) const;
    void paintBand(QPainter &p, const Band &band) const;
    void paintHeadings(QPainter &p, const Section &s, double y) const;
    void paintCells(QPainter &p, const Section &s, const Row &row, double y, int rowIndex) const;
    void paintGroupHeader(QPainter &p, const Band &band) const;
    double paintGroupTitle(QPainter &p, const CompiledGroup &g, const Band &band, const Context &c,
                           double y) const;
    double paintBlocks(QPainter &p, const CompiledGroup &g, const Row &row, double y) const;
    void paintInfos(QPainter &p, const CompiledGroup &g, const Context &c, double y) const;
    void paintGroupContinued(QPainter &p, const Band &band) const;
    void paintGroupFooter(QPainter &p, const Band &band) const;
    void paintTotal(QPainter &p, const Band &band) const;
    void paintSubTotal(QPainter &p, const Band &band) const;
    void paintNote(QPainter &p, const Band &band) const;
    void paintSubTitle(QPainter &p, const Band &band) const;
    void paintTotals(QPainter &p, const Section &s, const std::vector<int> &cells, const Totals &t,
                     const QString &label, double y, double h, bool grand) const;
};

} // namespace reports::engine
