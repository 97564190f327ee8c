#include "reports/ReportDocument.h"

#include "core/Clock.h"
#include "reports/Letterhead.h"

#include <QFontMetricsF>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>

#include <cmath>
#include <optional>

namespace reports {

namespace {

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

QFont font(int size, bool bold = false, bool italic = false)
{
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(size); // one pixel is one point: the painter is scaled to points
    f.setBold(bold);
    f.setItalic(italic);
    f.setHintingPreference(QFont::PreferNoHinting);
    return f;
}

// ---- expressions over input columns ------------------------------------------------------

struct Expr
{
    enum Kind { Field, Number, Add, Sub, Mul, Div } kind = Number;
    int column = -1;
    double number = 0;
    std::shared_ptr<Expr> a, b;
};

class ExprParser
{
public:
    ExprParser(const QString &text, const RowSet &rows, const QString &design)
        : m_text(text), m_rows(rows), m_design(design)
    {
    }

    std::shared_ptr<Expr> parse()
    {
        auto e = sum();
        skipBlanks();
        if (m_pos != m_text.size())
            fail();
        return e;
    }

private:
    [[noreturn]] void fail() const
    {
        throw ReportError(QStringLiteral("The report %1 has a column it cannot read: \"%2\".").arg(m_design, m_text));
    }
    void skipBlanks()
    {
        while (m_pos < m_text.size() && m_text.at(m_pos).isSpace())
            ++m_pos;
    }
    bool take(QChar c)
    {
        skipBlanks();
        if (m_pos < m_text.size() && m_text.at(m_pos) == c) {
            ++m_pos;
            return true;
        }
        return false;
    }
    std::shared_ptr<Expr> binary(Expr::Kind k, std::shared_ptr<Expr> a, std::shared_ptr<Expr> b)
    {
        auto e = std::make_shared<Expr>();
        e->kind = k;
        e->a = std::move(a);
        e->b = std::move(b);
        return e;
    }
    std::shared_ptr<Expr> sum()
    {
        auto e = product();
        for (;;) {
            if (take(u'+'))
                e = binary(Expr::Add, e, product());
            else if (take(u'-'))
                e = binary(Expr::Sub, e, product());
            else
                return e;
        }
    }
    std::shared_ptr<Expr> product()
    {
        auto e = atom();
        for (;;) {
            if (take(u'*'))
                e = binary(Expr::Mul, e, atom());
            else if (take(u'/'))
                e = binary(Expr::Div, e, atom());
            else
                return e;
        }
    }
    std::shared_ptr<Expr> atom()
    {
        if (take(u'(')) {
            auto e = sum();
            if (!take(u')'))
                fail();
            return e;
        }
        skipBlanks();
        const int start = m_pos;
        while (m_pos < m_text.size() && (m_text.at(m_pos).isLetterOrNumber() || m_text.at(m_pos) == u'_' ||
                                         m_text.at(m_pos) == u'.'))
            ++m_pos;
        const QString word = m_text.mid(start, m_pos - start);
        if (word.isEmpty())
            fail();
        auto e = std::make_shared<Expr>();
        bool isNumber = false;
        const double n = word.toDouble(&isNumber);
        if (isNumber) {
            e->number = n;
            return e;
        }
        e->kind = Expr::Field;
        e->column = m_rows.columnIndex(word);
        if (e->column < 0)
            throw ReportError(QStringLiteral("The report %1 cannot be produced: its rows have no column \"%2\".")
                                  .arg(m_design, word));
        return e;
    }

    QString m_text;
    const RowSet &m_rows;
    QString m_design;
    int m_pos = 0;
};

// Empty values count as 0 in sums and differences; a product or quotient with an empty side,
// or a quotient by 0, is empty.
std::optional<double> evaluate(const Expr &e, const Row &row)
{
    switch (e.kind) {
    case Expr::Number:
        return e.number;
    case Expr::Field: {
        const QVariant v = row.value(e.column);
        if (v.isNull())
            return std::nullopt;
        bool ok = false;
        const double d = v.toDouble(&ok);
        return ok ? std::optional<double>(d) : std::nullopt;
    }
    default:
        break;
    }
    const auto a = evaluate(*e.a, row);
    const auto b = evaluate(*e.b, row);
    switch (e.kind) {
    case Expr::Add:
    case Expr::Sub:
        if (!a && !b)
            return std::nullopt;
        return e.kind == Expr::Add ? a.value_or(0) + b.value_or(0) : a.value_or(0) - b.value_or(0);
    case Expr::Mul:
        if (!a || !b)
            return std::nullopt;
        return *a * *b;
    case Expr::Div:
        if (!a || !b || *b == 0)
            return std::nullopt;
        return *a / *b;
    default:
        return std::nullopt;
    }
}

bool isPlainName(const QString &s)
{
    for (QChar c : s) {
        if (!c.isLetterOrNumber() && c != u'_')
            return false;
    }
    return !s.isEmpty();
}

// ---- templates ---------------------------------------------------------------------------

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

Piece literalPiece(const QString &text)
{
    Piece p;
    p.literal = text;
    return p;
}

Format formatNamed(const QString &name, const QString &design)
{
    static const QList<QPair<QString, Format>> names = {
        {QStringLiteral("text"), Format::Text},   {QStringLiteral("money"), Format::Money},
        {QStringLiteral("price"), Format::Price},
        {QStringLiteral("qty"), Format::Quantity}, {QStringLiteral("int"), Format::Integer},
        {QStringLiteral("date"), Format::Date},   {QStringLiteral("datetime"), Format::DateTime},
        {QStringLiteral("pct"), Format::Percent}, {QStringLiteral("ssn"), Format::Ssn}};
    for (const auto &n : names) {
        if (n.first == name)
            return n.second;
    }
    throw ReportError(QStringLiteral("The report %1 uses an unknown format \"%2\".").arg(design, name));
}

Template compileTemplate(const QString &text, const RowSet *rows, const QString &design)
{
    Template t;
    int pos = 0;
    while (pos < text.size()) {
        const int open = text.indexOf(u'{', pos);
        if (open < 0) {
            t.pieces << literalPiece(text.mid(pos));
            break;
        }
        if (open > pos)
            t.pieces << literalPiece(text.mid(pos, open - pos));
        const int close = text.indexOf(u'}', open);
        if (close < 0)
            throw ReportError(QStringLiteral("The report %1 has an unclosed field in \"%2\".").arg(design, text));
        QString token = text.mid(open + 1, close - open - 1);
        Piece p;
        p.isField = true;
        const int bar = token.indexOf(u'|');
        if (bar >= 0) {
            p.fallback = token.mid(bar + 1);
            token.truncate(bar);
        }
        const int colon = token.indexOf(u':');
        if (colon >= 0) {
            p.format = formatNamed(token.mid(colon + 1), design);
            token.truncate(colon);
        }
        if (token.startsWith(u'@')) {
            p.slot = token.mid(1);
        } else if (token == QLatin1String("count")) {
            p.isCount = true;
        } else {
            p.column = rows ? rows->columnIndex(token) : -1;
            if (p.column < 0)
                throw ReportError(QStringLiteral("The report %1 cannot be produced: its rows have no column \"%2\".")
                                      .arg(design, token));
        }
        t.pieces << p;
        pos = close + 1;
    }
    return t;
}

struct Context
{
    const ReportJob *job = nullptr;
    const Row *row = nullptr; // null: no row (an empty document)
    int count = 0;
};

QString pieceText(const Piece &p, const Context &c)
{
    QString s;
    if (!p.slot.isEmpty())
        s = c.job->slot(p.slot);
    else if (p.isCount)
        s = QString::number(c.count);
    else if (c.row)
        s = formatValue(c.row->value(p.column), p.format);
    return s.isEmpty() ? p.fallback : s;
}

// Plain: every literal is kept. Joined: a literal between fields is kept only between two
// non-empty fields, so "{City}, {State}  {Zip}" never leaves a dangling comma; a line whose
// fields are all empty is empty.
QString expand(const Template &t, const Context &c, bool joined)
{
    QString out;
    if (!joined) {
        for (const Piece &p : t.pieces)
            out += p.isField ? pieceText(p, c) : p.literal;
        return out;
    }
    QString pendingSeparator;
    bool anyField = false;
    bool anyValue = false;
    QString prefix;
    for (const Piece &p : t.pieces) {
        if (!p.isField) {
            if (!anyField)
                prefix += p.literal;
            else
                pendingSeparator += p.literal;
            continue;
        }
        anyField = true;
        const QString v = pieceText(p, c);
        if (v.isEmpty()) {
            if (!anyValue)
                pendingSeparator.clear();
            continue;
        }
        if (anyValue)
            out += pendingSeparator;
        pendingSeparator.clear();
        out += v;
        anyValue = true;
    }
    if (!anyValue)
        return QString();
    return (prefix + out).trimmed();
}

// ---- columns, totals ---------------------------------------------------------------------

struct Cell
{
    enum Kind { Plain, Arithmetic, Text } kind = Plain;
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

struct Section
{
    const RowSet *rows = nullptr;
    QList<Cell> cells;
    std::vector<int> totals; // cell indexes summed in the total line
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

std::optional<double> numericValue(const Cell &cell, const Row &row)
{
    if (cell.kind == Cell::Arithmetic)
        return evaluate(*cell.expr, row);
    if (cell.kind == Cell::Plain) {
        const QVariant v = row.value(cell.column);
        if (v.isNull())
            return std::nullopt;
        bool ok = false;
        const double d = v.toDouble(&ok);
        return ok ? std::optional<double>(d) : std::nullopt;
    }
    return std::nullopt;
}

// The figures one row adds to every open total, worked out once per row.
struct RowFigures
{
    std::vector<double> value, num, den;
    std::vector<char> has;
};

void measure(RowFigures &f, const Section &s, const Row &row)
{
    const size_t n = size_t(s.cells.size());
    f.value.assign(n, 0);
    f.num.assign(n, 0);
    f.den.assign(n, 0);
    f.has.assign(n, 0);
    for (size_t i = 0; i < n; ++i) {
        const Cell &c = s.cells.at(int(i));
        if (c.kind == Cell::Arithmetic && c.expr->kind == Expr::Div) {
            const auto num = evaluate(*c.expr->a, row);
            const auto den = evaluate(*c.expr->b, row);
            if (num || den) {
                f.num[i] = num.value_or(0);
                f.den[i] = den.value_or(0);
                f.has[i] = 1;
            }
        } else if (c.runningStart < 0 && c.numeric) {
            if (const auto v = numericValue(c, row)) {
                f.value[i] = *v;
                f.has[i] = 1;
            }
        }
    }
}

void accumulate(Accumulator &acc, const RowFigures &f)
{
    ++acc.count;
    for (size_t i = 0; i < f.has.size(); ++i) {
        if (!f.has[i])
            continue;
        acc.sum[i] += f.value[i];
        acc.num[i] += f.num[i];
        acc.den[i] += f.den[i];
        acc.has[i] = 1;
    }
}

Totals finish(const Accumulator &acc, const Section &s)
{
    Totals t;
    t.count = acc.count;
    t.values.resize(size_t(s.cells.size()));
    for (size_t i = 0; i < t.values.size(); ++i) {
        const Cell &c = s.cells.at(int(i));
        if (!acc.has[i]) {
            // A total over no rows at all is nought, not a blank.
            if (acc.count == 0 && c.numeric && c.runningStart < 0 &&
                !(c.kind == Cell::Arithmetic && c.expr->kind == Expr::Div))
                t.values[i] = 0.0;
            continue;
        }
        if (c.kind == Cell::Arithmetic && c.expr->kind == Expr::Div) {
            if (acc.den[i] != 0)
                t.values[i] = acc.num[i] / acc.den[i];
        } else {
            t.values[i] = acc.sum[i];
        }
    }
    return t;
}

Qt::Alignment alignmentOf(const Column &c)
{
    switch (c.align) {
    case Align::Left:
        return Qt::AlignLeft;
    case Align::Center:
        return Qt::AlignHCenter;
    case Align::Right:
        return Qt::AlignRight;
    case Align::Auto:
        break;
    }
    switch (c.format) {
    case Format::Money:
    case Format::Price:
    case Format::Quantity:
    case Format::Integer:
    case Format::Percent:
        return Qt::AlignRight;
    default:
        return Qt::AlignLeft;
    }
}

Section compileSection(const QList<Column> &columns, const RowSet &rows, const QString &design, double left,
                       double width)
{
    Section s;
    s.rows = &rows;
    double shares = 0;
    for (const Column &c : columns)
        shares += c.width;
    double x = left;
    for (const Column &col : columns) {
        Cell cell;
        cell.field = col.field;
        cell.format = col.format;
        cell.align = alignmentOf(col);
        cell.heading = compileTemplate(col.heading, nullptr, design);
        if (col.field.contains(u'{')) {
            cell.kind = Cell::Text;
            cell.tpl = compileTemplate(col.field, &rows, design);
        } else if (isPlainName(col.field)) {
            cell.column = rows.columnIndex(col.field);
            if (cell.column < 0)
                throw ReportError(QStringLiteral("The report %1 cannot be produced: its rows have no column \"%2\".")
                                      .arg(design, col.field));
        } else {
            cell.kind = Cell::Arithmetic;
            cell.expr = ExprParser(col.field, rows, design).parse();
        }
        if (!col.runningStart.isEmpty()) {
            cell.runningStart = rows.columnIndex(col.runningStart);
            if (cell.runningStart < 0)
                throw ReportError(QStringLiteral("The report %1 cannot be produced: its rows have no column \"%2\".")
                                      .arg(design, col.runningStart));
            s.running = true;
        }
        cell.numeric = col.format == Format::Money || col.format == Format::Price || col.format == Format::Quantity ||
                       col.format == Format::Integer || col.format == Format::Percent;
        cell.w = width * col.width / shares;
        cell.x = x;
        x += cell.w;
        s.cells << cell;
    }
    return s;
}

std::vector<int> cellIndexes(const Section &s, const QStringList &fields, const QString &design)
{
    std::vector<int> out;
    for (const QString &f : fields) {
        int found = -1;
        for (int i = 0; i < s.cells.size(); ++i) {
            if (s.cells.at(i).field == f && s.cells.at(i).runningStart < 0) {
                found = i;
                break;
            }
        }
        if (found < 0)
            throw ReportError(QStringLiteral("The report %1 totals \"%2\", which is not one of its columns.").arg(design, f));
        out.push_back(found);
    }
    return out;
}

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

enum class BandKind : quint8 { Headings, GroupHeader, GroupContinued, Detail, GroupFooter, Total, Note, SubTitle, SubHeadings, SubDetail, SubTotal };

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

} // namespace

// ---- the laid-out document ---------------------------------------------------------------

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

    void build();
    double groupHeaderHeight(int level, const Row &row) const;
    QList<QStringList> blockLines(const CompiledGroup &g, const Row &row) const;
    void paint(QPainter &p, int pageIndex) const;

private:
    int m_page = -1;
    double m_y = 0;
    bool m_pageHasBody = false;
    std::vector<int> m_openGroups; // per level, the row that opened the group, or -1
    void newPage(bool withHeadings);
    void add(BandKind kind, int level, double h, int row, int aux = -1);
    void ensure(double h, bool withHeadings);
    void paintCells(QPainter &p, const Section &s, const Row &row, double y, int rowIndex) const;
    void paintHeadings(QPainter &p, const Section &s, double y) const;
    double labelRoom(const Section &s, const std::vector<int> &cells) const;
    double totalsHeight(const Section &s, const std::vector<int> &cells, const QString &label, bool grand) const;
    void paintTotals(QPainter &p, const Section &s, const std::vector<int> &cells, const Totals &t,
                     const QString &label, double y, double h, bool grand) const;
};

QList<QStringList> Layout::blockLines(const CompiledGroup &g, const Row &row) const
{
    QList<QStringList> out;
    const Context c{&job, &row, 0};
    for (const auto &block : g.blocks) {
        QStringList lines;
        for (const Template &t : block.second) {
            const QString s = expand(t, c, true);
            if (!s.isEmpty())
                lines << s;
        }
        out << lines;
    }
    return out;
}

double Layout::groupHeaderHeight(int level, const Row &row) const
{
    const CompiledGroup &g = groups.at(level);
    double h = 2;
    if (!g.header.isEmpty())
        h += kGroupLineH;
    if (!g.blocks.isEmpty()) {
        qsizetype most = 1;
        for (const QStringList &lines : blockLines(g, row))
            most = std::max(most, lines.size());
        h += kBlockTitleH + most * kBlockLineH + 12;
    }
    if (!g.infos.isEmpty())
        h += kInfoH + 6;
    return h;
}

void Layout::newPage(bool withHeadings)
{
    ++m_page;
    pageStart.push_back(int(bands.size()));
    m_y = top + kPageHeaderH;
    m_pageHasBody = false;
    if (withHeadings && !main.cells.isEmpty())
        add(BandKind::Headings, 0, kHeadingsH, -1);
    // A page that goes on with a group says whose rows these are.
    for (size_t level = 0; level < m_openGroups.size(); ++level) {
        if (m_openGroups[level] >= 0 && !groups.at(int(level)).header.isEmpty())
            add(BandKind::GroupContinued, int(level), kGroupLineH, m_openGroups[level]);
    }
    m_pageHasBody = false;
}

void Layout::add(BandKind kind, int level, double h, int row, int aux)
{
    bands.push_back(Band{kind, quint8(level), m_page, float(m_y), float(h), row, aux});
    m_y += h;
    m_pageHasBody = true;
}

void Layout::ensure(double h, bool withHeadings)
{
    if (m_y + h > bottom && m_pageHasBody)
        newPage(withHeadings);
}

void Layout::build()
{
    const RowSet &rows = job.rows;
    const int groupCount = int(groups.size());
    // Documents that start each group on its own page show the group (the addressee) first and
    // the column headings under it.
    const bool headingsUnderGroup = groupCount > 0 && groups.first().newPage;
    m_openGroups.assign(size_t(groupCount), -1);
    newPage(!(headingsUnderGroup && !rows.isEmpty()));

    std::vector<Accumulator> accs(size_t(groupCount) + 1);
    for (auto &a : accs)
        a.reset(size_t(main.cells.size()));
    Accumulator &grand = accs.back();
    if (main.running)
        running.assign(size_t(rows.size()), 0);
    int runningCell = -1;
    for (int i = 0; i < main.cells.size(); ++i) {
        if (main.cells.at(i).runningStart >= 0)
            runningCell = i;
    }
    double runningValue = 0;
    RowFigures figures;

    auto closeGroup = [&](int level, int lastRow) {
        const CompiledGroup &g = groups.at(level);
        if (!g.footer.isEmpty()) {
            totals.push_back(finish(accs[size_t(level)], main));
            const Context c{&job, &rows.at(lastRow), totals.back().count};
            const double h = totalsHeight(main, g.sums, expand(g.footer, c, false), false);
            ensure(h, true);
            add(BandKind::GroupFooter, level, h, lastRow, int(totals.size()) - 1);
        }
        m_openGroups[size_t(level)] = -1;
    };

    for (int i = 0; i < rows.size(); ++i) {
        const Row &row = rows.at(i);
        int changed = groupCount;
        if (i == 0) {
            changed = 0;
        } else {
            const Row &prev = rows.at(i - 1);
            for (int level = 0; level < groupCount && changed == groupCount; ++level) {
                for (int key : groups.at(level).keys) {
                    if (row.value(key) != prev.value(key)) {
                        changed = level;
                        break;
                    }
                }
            }
        }
        if (i > 0) {
            for (int level = groupCount - 1; level >= changed; --level)
                closeGroup(level, i - 1);
        }
        // The headers that open here stay on one page with the first row under them.
        std::vector<double> heights;
        double need = kRowH;
        for (int level = changed; level < groupCount; ++level) {
            heights.push_back(groupHeaderHeight(level, row));
            need += heights.back() + (level == 0 && headingsUnderGroup ? kHeadingsH : 0);
        }
        for (int level = changed; level < groupCount; ++level) {
            const CompiledGroup &g = groups.at(level);
            const bool underHeadings = !(headingsUnderGroup && level == 0);
            const double h = heights[size_t(level - changed)];
            if (g.newPage && m_pageHasBody)
                newPage(underHeadings);
            else if (level == changed)
                ensure(need, underHeadings);
            add(BandKind::GroupHeader, level, h, i);
            m_openGroups[size_t(level)] = i;
            if (level == 0 && headingsUnderGroup)
                add(BandKind::Headings, 0, kHeadingsH, -1);
            accs[size_t(level)].reset(size_t(main.cells.size()));
            runningValue = runningCell >= 0 ? row.value(main.cells.at(runningCell).runningStart).toDouble() : 0;
        }
        if (runningCell >= 0) {
            runningValue += numericValue(main.cells.at(runningCell), row).value_or(0);
            running[size_t(i)] = runningValue;
        }
        // An outer join without a right-hand row (an order without lines) has no detail.
        bool anyDetail = false;
        for (const Cell &c : main.cells) {
            if (c.kind == Cell::Plain && !row.value(c.column).isNull()) {
                anyDetail = true;
                break;
            }
        }
        if (!anyDetail && !main.cells.isEmpty())
            continue;
        ensure(kRowH, true);
        add(BandKind::Detail, 0, kRowH, i);
        measure(figures, main, row);
        for (auto &a : accs)
            accumulate(a, figures);
    }
    if (!rows.isEmpty()) {
        for (int level = groupCount - 1; level >= 0; --level)
            closeGroup(level, rows.size() - 1);
    }
    if (showTotal) {
        totals.push_back(finish(grand, main));
        const Context c{&job, rows.isEmpty() ? nullptr : &rows.at(rows.size() - 1), totals.back().count};
        const double h = totalsHeight(main, totalCells, expand(totalLabel, c, false), true);
        ensure(h, true);
        add(BandKind::Total, 0, h, rows.isEmpty() ? -1 : rows.size() - 1, int(totals.size()) - 1);
    }
    for (int n = 0; n < int(noteHeights.size()); ++n) {
        if (noteTexts.at(n).isEmpty())
            continue;
        ensure(noteHeights[size_t(n)], false);
        add(BandKind::Note, 0, noteHeights[size_t(n)], -1, n);
    }
    if (sub) {
        const Section &s = *sub;
        ensure(kSubTitleH + kHeadingsH + kRowH, true);
        add(BandKind::SubTitle, 0, kSubTitleH, -1);
        add(BandKind::SubHeadings, 0, kHeadingsH, -1);
        Accumulator acc;
        acc.reset(size_t(s.cells.size()));
        for (int i = 0; i < s.rows->size(); ++i) {
            if (m_y + kRowH > bottom) {
                newPage(false);
                add(BandKind::SubHeadings, 0, kHeadingsH, -1);
            }
            add(BandKind::SubDetail, 0, kRowH, i);
            measure(figures, s, s.rows->at(i));
            accumulate(acc, figures);
        }
        if (!s.totalLabel.isEmpty()) {
            totals.push_back(finish(acc, s));
            const Context c{&job, nullptr, totals.back().count};
            const double h = totalsHeight(s, s.totals, expand(s.totalLabel, c, false), true);
            ensure(h, false);
            add(BandKind::SubTotal, 0, h, -1, int(totals.size()) - 1);
        }
    }
}

// ---- painting ----------------------------------------------------------------------------

namespace {

void drawText(QPainter &p, const QRectF &r, const QString &text, Qt::Alignment align)
{
    if (text.isEmpty())
        return;
    const QFontMetricsF fm(p.font());
    const QString shown = fm.horizontalAdvance(text) <= r.width() ? text : fm.elidedText(text, Qt::ElideRight, r.width());
    p.drawText(r, int(align | Qt::AlignVCenter) | Qt::TextSingleLine, shown);
}

const QColor kRule(60, 60, 60);
const QColor kLight(120, 120, 120);
const QColor kShade(228, 228, 228);

} // namespace

void Layout::paintHeadings(QPainter &p, const Section &s, double y) const
{
    p.fillRect(QRectF(left, y + 1, width, kHeadingsH - 3), kShade);
    p.setPen(Qt::black);
    const Context c{&job, nullptr, 0};
    const QFont normal = font(8, true);
    const QFont small = font(7, true);
    for (const Cell &cell : s.cells) {
        const QRectF r(cell.x + kPad, y + 1, cell.w - 2 * kPad, kHeadingsH - 3);
        const QString text = expand(cell.heading, c, false);
        // A heading wider than its column goes smaller and onto two lines rather than losing words.
        if (QFontMetricsF(normal).horizontalAdvance(text) <= r.width()) {
            p.setFont(normal);
            drawText(p, r, text, cell.align);
        } else {
            p.setFont(small);
            p.drawText(r, int(cell.align | Qt::AlignVCenter) | Qt::TextWordWrap, text);
        }
    }
    p.setPen(QPen(kRule, 0.8));
    p.drawLine(QPointF(left, y + kHeadingsH - 2), QPointF(left + width, y + kHeadingsH - 2));
}

void Layout::paintCells(QPainter &p, const Section &s, const Row &row, double y, int rowIndex) const
{
    p.setFont(font(8));
    p.setPen(Qt::black);
    const Context c{&job, &row, 0};
    for (const Cell &cell : s.cells) {
        QString text;
        if (cell.runningStart >= 0 && &s == &main)
            text = formatValue(running[size_t(rowIndex)], cell.format);
        else if (cell.kind == Cell::Text)
            text = expand(cell.tpl, c, true);
        else if (cell.kind == Cell::Arithmetic) {
            const auto v = evaluate(*cell.expr, row);
            text = v ? formatValue(*v, cell.format) : QString();
        } else
            text = formatValue(row.value(cell.column), cell.format);
        drawText(p, QRectF(cell.x + kPad, y, cell.w - 2 * kPad, kRowH), text, cell.align);
    }
}

double Layout::labelRoom(const Section &s, const std::vector<int> &cells) const
{
    double right = left + width;
    for (int i : cells)
        right = std::min(right, s.cells.at(i).x);
    return right - left - 2 * kPad;
}

double Layout::totalsHeight(const Section &s, const std::vector<int> &cells, const QString &label, bool grand) const
{
    const double base = grand ? kTotalH : kFooterH;
    // A label longer than the room left of the figures gets a line of its own above them.
    return QFontMetricsF(font(grand ? 9 : 8, true)).horizontalAdvance(label) > labelRoom(s, cells) ? base + kLabelLineH
                                                                                                    : base;
}

void Layout::paintTotals(QPainter &p, const Section &s, const std::vector<int> &cells, const Totals &t,
                         const QString &label, double y, double h, bool grand) const
{
    const bool ownLine = h > (grand ? kTotalH : kFooterH) + 1;
    const double labelY = y + (grand ? 5 : 3);
    const double figuresY = ownLine ? y + kLabelLineH : y;
    p.setPen(QPen(kRule, grand ? 1.0 : 0.6));
    for (int i : cells) {
        const Cell &cell = s.cells.at(i);
        if (!t.values[size_t(i)])
            continue;
        const QLineF line(cell.x + kPad, figuresY + 2, cell.x + cell.w - kPad, figuresY + 2);
        p.drawLine(line);
        if (grand)
            p.drawLine(line.translated(0, 2));
    }
    p.setPen(Qt::black);
    p.setFont(font(grand ? 9 : 8, true));
    const double textH = (grand ? kTotalH - 7 : kFooterH - 5);
    drawText(p, QRectF(left + kPad, labelY, ownLine ? width - 2 * kPad : labelRoom(s, cells), textH), label,
             Qt::AlignLeft);
    const double textY = figuresY + (grand ? 5 : 3);
    for (int i : cells) {
        const Cell &cell = s.cells.at(i);
        const auto &v = t.values[size_t(i)];
        drawText(p, QRectF(cell.x + kPad, textY, cell.w - 2 * kPad, textH),
                 v ? formatValue(*v, cell.format) : QString(), cell.align);
    }
}

// The logo at the left, the shop's name and its lines beside it.
double letterheadHeight(const Letterhead &l)
{
    if (l.isEmpty())
        return 0;
    const double text = l.lines.isEmpty() ? 0 : 16 + (l.lines.size() - 1) * 11.0;
    return std::max(l.logo.isNull() ? 0.0 : kLogoH, text) + 10;
}

void paintLetterhead(QPainter &p, const Letterhead &l, double left, double top, double width)
{
    if (l.isEmpty())
        return;
    double x = left;
    if (!l.logo.isNull()) {
        const double w = kLogoH * l.logo.width() / std::max(1, l.logo.height());
        p.drawImage(QRectF(left, top, std::min(w, width * 0.3), kLogoH), l.logo);
        x += std::min(w, width * 0.3) + 10;
    }
    double y = top;
    for (int i = 0; i < l.lines.size(); ++i) {
        p.setFont(font(i == 0 ? 12 : 8, i == 0));
        const double h = i == 0 ? 16 : 11;
        drawText(p, QRectF(x, y, left + width - x, h), l.lines.at(i), Qt::AlignLeft);
        y += h;
    }
}

void Layout::paint(QPainter &p, int pageIndex) const
{
    const int pages = int(pageStart.size());
    // Page header: document title, slots, print date, page number.
    p.setPen(Qt::black);
    paintLetterhead(p, letterhead, left, kMargin, width);
    // Long titles and many slots take a smaller type rather than losing words.
    int titleSize = 18;
    while (titleSize > 11 && QFontMetricsF(font(titleSize, true)).horizontalAdvance(design->title) > width * 0.7)
        --titleSize;
    p.setFont(font(titleSize, true));
    drawText(p, QRectF(left, top - 4, width * 0.7, 26), design->title, Qt::AlignLeft);
    p.setFont(font(8));
    drawText(p, QRectF(left + width * 0.6, top - 2, width * 0.4, 11),
             QStringLiteral("Page %1 of %2").arg(pageIndex + 1).arg(pages), Qt::AlignRight);
    drawText(p, QRectF(left + width * 0.6, top + 9, width * 0.4, 11), QStringLiteral("Printed ") + printed,
             Qt::AlignRight);
    if (!slotLine.isEmpty()) {
        const QString line = slotLine.join(QStringLiteral("      "));
        p.setFont(font(QFontMetricsF(font(9)).horizontalAdvance(line) > width ? 7 : 9));
        drawText(p, QRectF(left, top + 24, width, 13), line, Qt::AlignLeft);
    }
    p.setPen(QPen(kRule, 1.2));
    p.drawLine(QPointF(left, top + kPageHeaderH - 8), QPointF(left + width, top + kPageHeaderH - 8));

    const int first = pageStart[size_t(pageIndex)];
    const int end = pageIndex + 1 < pages ? pageStart[size_t(pageIndex) + 1] : int(bands.size());
    for (int b = first; b < end; ++b) {
        const Band &band = bands[size_t(b)];
        const double y = band.y;
        switch (band.kind) {
        case BandKind::Headings:
            paintHeadings(p, main, y);
            break;
        case BandKind::SubHeadings:
            paintHeadings(p, *sub, y);
            break;
        case BandKind::Detail:
            paintCells(p, main, job.rows.at(band.row), y, band.row);
            break;
        case BandKind::SubDetail:
            paintCells(p, *sub, sub->rows->at(band.row), y, band.row);
            break;
        case BandKind::GroupHeader: {
            const CompiledGroup &g = groups.at(band.level);
            const Row &row = job.rows.at(band.row);
            const Context c{&job, &row, 0};
            double yy = y + 2;
            if (!g.header.isEmpty()) {
                p.setPen(Qt::black);
                p.setFont(font(band.level == 0 ? 10 : 9, true));
                const double indent = band.level * 8;
                drawText(p, QRectF(left + indent, yy, width - indent, kGroupLineH - 4), expand(g.header, c, false),
                         Qt::AlignLeft);
                if (band.level == 0) {
                    p.setPen(QPen(kLight, 0.5));
                    p.drawLine(QPointF(left, yy + kGroupLineH - 3), QPointF(left + width, yy + kGroupLineH - 3));
                }
                yy += kGroupLineH;
            }
            if (!g.blocks.isEmpty()) {
                const QList<QStringList> lines = blockLines(g, row);
                qsizetype most = 1;
                for (const QStringList &l : lines)
                    most = std::max(most, l.size());
                const double bw = width / std::max<qsizetype>(2, g.blocks.size());
                const double bh = kBlockTitleH + most * kBlockLineH + 6;
                for (int i = 0; i < g.blocks.size(); ++i) {
                    const QRectF box(left + i * bw, yy + 2, bw - 12, bh);
                    p.setPen(QPen(kLight, 0.6));
                    p.drawRect(box);
                    p.setPen(kLight);
                    p.setFont(font(7, true));
                    drawText(p, QRectF(box.left() + 6, box.top() + 2, box.width() - 12, kBlockTitleH - 2),
                             g.blocks.at(i).first.toUpper(), Qt::AlignLeft);
                    p.setPen(Qt::black);
                    p.setFont(font(9));
                    for (int l = 0; l < lines.at(i).size(); ++l)
                        drawText(p, QRectF(box.left() + 6, box.top() + kBlockTitleH + l * kBlockLineH, box.width() - 12,
                                           kBlockLineH),
                                 lines.at(i).at(l), Qt::AlignLeft);
                }
                yy += bh + 10;
            }
            if (!g.infos.isEmpty()) {
                const double iw = width / g.infos.size();
                for (int i = 0; i < g.infos.size(); ++i) {
                    const QRectF box(left + i * iw, yy + 2, iw, kInfoH);
                    p.setPen(QPen(kLight, 0.6));
                    p.drawRect(box);
                    p.setPen(kLight);
                    p.setFont(font(7, true));
                    drawText(p, QRectF(box.left() + 5, box.top() + 2, box.width() - 10, 10),
                             g.infos.at(i).first.toUpper(), Qt::AlignLeft);
                    p.setPen(Qt::black);
                    p.setFont(font(9, true));
                    drawText(p, QRectF(box.left() + 5, box.top() + 13, box.width() - 10, 14),
                             expand(g.infos.at(i).second, c, false), Qt::AlignLeft);
                }
            }
            break;
        }
        case BandKind::GroupContinued: {
            const Row &row = job.rows.at(band.row);
            const Context c{&job, &row, 0};
            p.setPen(kLight);
            p.setFont(font(band.level == 0 ? 10 : 9, true, true));
            const double indent = band.level * 8;
            drawText(p, QRectF(left + indent, y + 2, width - indent, kGroupLineH - 4),
                     expand(groups.at(band.level).header, c, false) + QStringLiteral("  (continued)"), Qt::AlignLeft);
            break;
        }
        case BandKind::GroupFooter: {
            const CompiledGroup &g = groups.at(band.level);
            const Totals &t = totals[size_t(band.aux)];
            const Row &row = job.rows.at(band.row);
            const Context c{&job, &row, t.count};
            paintTotals(p, main, g.sums, t, expand(g.footer, c, false), y, band.h, false);
            break;
        }
        case BandKind::Total: {
            const Totals &t = totals[size_t(band.aux)];
            const Context c{&job, band.row >= 0 ? &job.rows.at(band.row) : nullptr, t.count};
            paintTotals(p, main, totalCells, t, expand(totalLabel, c, false), y, band.h, true);
            break;
        }
        case BandKind::SubTotal: {
            const Totals &t = totals[size_t(band.aux)];
            const Context c{&job, nullptr, t.count};
            paintTotals(p, *sub, sub->totals, t, expand(sub->totalLabel, c, false), y, band.h, true);
            break;
        }
        case BandKind::Note:
            p.setPen(Qt::black);
            p.setFont(font(8));
            p.drawText(QRectF(left, y + 4, width, band.h - 4), Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignTop,
                       noteTexts.at(band.aux));
            break;
        case BandKind::SubTitle:
            p.setPen(Qt::black);
            p.setFont(font(11, true));
            drawText(p, QRectF(left, y + 8, width, kSubTitleH - 10), sub->title, Qt::AlignLeft);
            break;
        }
    }
}

// ---- the document ------------------------------------------------------------------------

ReportDocument::ReportDocument(const ReportJob &job)
{
    const Design &design = checkJob(job);
    auto l = std::make_shared<Layout>();
    l->job = job;
    if (design.printsRow) {
        RowSet shown(job.rows.columns());
        for (const Row &row : job.rows) {
            if (design.printsRow(row))
                shown.append(row.values());
        }
        l->job.rows = shown;
    }
    l->design = &design;
    const QPageLayout pl(QPageSize(design.pageSize), design.orientation, QMarginsF());
    l->page = pl.fullRect(QPageLayout::Point).size();
    l->width = l->page.width() - 2 * kMargin;
    l->bottom = l->page.height() - kMargin;
    if (design.letterhead) {
        l->letterhead = shopLetterhead();
        l->top += letterheadHeight(l->letterhead);
    }
    l->printed = shortDate(Clock::today());
    for (const Slot &s : design.slots) {
        if (!s.flag)
            l->slotLine << s.label + QStringLiteral(": ") + job.slot(s.name);
    }
    const RowSet &rows = l->job.rows;
    l->main = compileSection(design.details, rows, design.name, l->left, l->width);
    for (const Group &g : design.groups) {
        CompiledGroup cg;
        for (const QString &k : g.keys) {
            const int i = rows.columnIndex(k);
            if (i < 0)
                throw ReportError(QStringLiteral("The report %1 cannot be produced: its rows have no column \"%2\".")
                                      .arg(design.name, k));
            cg.keys.push_back(i);
        }
        cg.header = compileTemplate(g.header, &rows, design.name);
        for (const Block &b : g.blocks) {
            QList<Template> lines;
            for (const QString &line : b.lines)
                lines << compileTemplate(line, &rows, design.name);
            cg.blocks << qMakePair(b.title, lines);
        }
        for (const Info &i : g.infos)
            cg.infos << qMakePair(i.label, compileTemplate(i.value, &rows, design.name));
        cg.footer = compileTemplate(g.footer, &rows, design.name);
        cg.sums = cellIndexes(l->main, g.sums, design.name);
        cg.newPage = g.newPage;
        l->groups << cg;
    }
    l->totalCells = cellIndexes(l->main, design.totals, design.name);
    bool flagSet = false;
    for (const Slot &s : design.slots) {
        if (s.flag && job.slot(s.name).compare(QLatin1String("true"), Qt::CaseInsensitive) == 0)
            flagSet = true;
    }
    l->showTotal = !design.totalLabel.isEmpty() && !(design.flagHidesTotal && flagSet);
    l->totalLabel = compileTemplate(design.totalLabel, &rows, design.name);

    // Notes speak of the document as a whole: they read the last row.
    const Context noteContext{&l->job, rows.isEmpty() ? nullptr : &rows.at(rows.size() - 1), rows.size()};
    const QFontMetricsF fm(font(8));
    for (const QString &n : design.notes) {
        const QString text = expand(compileTemplate(n, &rows, design.name), noteContext, false).trimmed();
        l->noteTexts << text;
        const QRectF r = fm.boundingRect(QRectF(0, 0, l->width, 1000), Qt::TextWordWrap, text);
        l->noteHeights.push_back(float(r.height() + 6));
    }
    if (design.sub) {
        Section s = compileSection(design.sub->details, *l->job.subRows, design.name, l->left, l->width * 0.6);
        s.title = design.sub->title;
        s.totalLabel = compileTemplate(design.sub->totalLabel, nullptr, design.name);
        s.totals = cellIndexes(s, design.sub->totals, design.name);
        l->sub = std::move(s);
    }
    l->build();
    m_layout = std::move(l);
}

const Design &ReportDocument::design() const
{
    return *m_layout->design;
}

const ReportJob &ReportDocument::job() const
{
    return m_layout->job;
}

int ReportDocument::pageCount() const
{
    return int(m_layout->pageStart.size());
}

QSizeF ReportDocument::pageSize() const
{
    return m_layout->page;
}

void ReportDocument::paintPage(QPainter &painter, int page) const
{
    if (page < 0 || page >= pageCount())
        return;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    m_layout->paint(painter, page);
    painter.restore();
}

QImage ReportDocument::pageImage(int page, double scale) const
{
    const QSizeF s = pageSize() * scale;
    QImage image(QSize(int(std::ceil(s.width())), int(std::ceil(s.height()))), QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.scale(scale, scale);
    paintPage(p, page);
    p.end();
    return image;
}

bool ReportDocument::renderTo(QPagedPaintDevice &device, int first, int last,
                              const PageProgress &progress) const
{
    const Design &d = design();
    device.setPageSize(QPageSize(d.pageSize));
    device.setPageOrientation(d.orientation);
    device.setPageMargins(QMarginsF());
    if (last < 0 || last >= pageCount())
        last = pageCount() - 1;
    first = std::max(0, first);
    QPainter p;
    if (!p.begin(&device))
        return false;
    const QSizeF page = pageSize();
    const double scale = std::min(device.width() / page.width(), device.height() / page.height());
    const int total = last - first + 1;
    for (int i = first; i <= last; ++i) {
        if (i > first && !device.newPage()) {
            p.end();
            return false;
        }
        p.save();
        p.scale(scale, scale);
        paintPage(p, i);
        p.restore();
        if (progress && !progress(i - first + 1, total)) {
            p.end();
            return false;
        }
    }
    return p.end();
}

output::Result ReportDocument::exportPdf(const QString &path, const PageProgress &progress) const
{
    bool painted = false;
    bool stopped = false;
    output::Result result = output::writeFile(path, [&](QIODevice &device) {
        QPdfWriter writer(&device);
        writer.setResolution(300);
        writer.setCreator(QStringLiteral("Corvane"));
        writer.setTitle(design().title);
        const PageProgress watch = [&](int done, int total) {
            stopped = progress && !progress(done, total);
            return !stopped;
        };
        painted = renderTo(writer, 0, -1, watch);
        return painted && !stopped;
    });
    if (result.outcome == output::Outcome::Cancelled && !stopped)
        result = {output::Outcome::Failed, QStringLiteral("The file \"%1\" could not be written.").arg(path)};
    return result;
}

bool ReportDocument::writePdf(const QString &path, QString *error, const PageProgress &progress) const
{
    const output::Result result = exportPdf(path, progress);
    if (error)
        *error = result.message;
    return result.written();
}

} // namespace reports
