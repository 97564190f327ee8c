#include "reports/ReportEngineInternal.h"

#include "core/Clock.h"

#include <QFontMetricsF>
#include <QPageLayout>

#include <cmath>

// A job's design compiled against its rows, and its bands placed on pages.

namespace reports::engine {

// ---- compiling the design ------------------------------------------------------------------

void Layout::compile(const ReportJob &checked, const Design &d)
{
    job = checked;
    if (d.printsRow) {
        RowSet shown(checked.rows.columns());
        for (const Row &row : checked.rows) {
            if (d.printsRow(row))
                shown.append(row.values());
        }
        job.rows = shown;
    }
    design = &d;
    const QPageLayout pl(QPageSize(d.pageSize), d.orientation, QMarginsF());
    page = pl.fullRect(QPageLayout::Point).size();
    width = page.width() - 2 * kMargin;
    bottom = page.height() - kMargin;
    if (d.letterhead) {
        letterhead = shopLetterhead();
        top += letterheadHeight(letterhead);
    }
    printed = shortDate(Clock::today());
    for (const Slot &s : d.slots) {
        if (!s.flag)
            slotLine << s.label + QStringLiteral(": ") + checked.slot(s.name);
    }
    main = compileSection(d.details, job.rows, d.name, left, width);
    compileGroups();
    totalCells = cellIndexes(main, d.totals, d.name);
    bool flagSet = false;
    for (const Slot &s : d.slots) {
        if (s.flag && checked.slot(s.name).compare(QLatin1String("true"), Qt::CaseInsensitive) == 0)
            flagSet = true;
    }
    showTotal = !d.totalLabel.isEmpty() && !(d.flagHidesTotal && flagSet);
    totalLabel = compileTemplate(d.totalLabel, &job.rows, d.name);
    compileNotes();
    compileSub();
}

void Layout::compileGroups()
{
    const RowSet &rows = job.rows;
    for (const Group &g : design->groups) {
        CompiledGroup cg;
        for (const QString &k : g.keys) {
            const int i = rows.columnIndex(k);
            if (i < 0)
                throw ReportError(
                    QStringLiteral("The report %1 cannot be produced: its rows have no column \"%2\".")
                        .arg(design->name, k));
            cg.keys.push_back(i);
        }
        cg.header = compileTemplate(g.header, &rows, design->name);
        for (const Block &b : g.blocks) {
            QList<Template> lines;
            for (const QString &line : b.lines)
                lines << compileTemplate(line, &rows, design->name);
            cg.blocks << qMakePair(b.title, lines);
        }
        for (const Info &i : g.infos)
            cg.infos << qMakePair(i.label, compileTemplate(i.value, &rows, design->name));
        cg.footer = compileTemplate(g.footer, &rows, design->name);
        cg.sums = cellIndexes(main, g.sums, design->name);
        cg.newPage = g.newPage;
        groups << cg;
    }
}

// Notes speak of the document as a whole: they read the last row.
void Layout::compileNotes()
{
    const RowSet &rows = job.rows;
    const Context noteContext{&job, rows.isEmpty() ? nullptr : &rows.at(rows.size() - 1), rows.size()};
    const QFontMetricsF fm(font(8));
    for (const QString &n : design->notes) {
        const QString text = expand(compileTemplate(n, &rows, design->name), noteContext, false).trimmed();
        noteTexts << text;
        const QRectF r = fm.boundingRect(QRectF(0, 0, width, 1000), Qt::TextWordWrap, text);
        noteHeights.push_back(float(r.height() + 6));
    }
}

void Layout::compileSub()
{
    if (!design->sub)
        return;
    Section s = compileSection(design->sub->details, *job.subRows, design->name, left, width * 0.6);
    s.title = design->sub->title;
    s.totalLabel = compileTemplate(design->sub->totalLabel, nullptr, design->name);
    s.totals = cellIndexes(s, design->sub->totals, design->name);
    sub = std::move(s);
}

// ---- band heights --------------------------------------------------------------------------

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

double Layout::labelRoom(const Section &s, const std::vector<int> &cells) const
{
    double right = left + width;
    for (int i : cells)
        right = std::min(right, s.cells.at(i).x);
    return right - left - 2 * kPad;
}

double Layout::totalsHeight(const Section &s, const std::vector<int> &cells, const QString &label,
                            bool grand) const
{
    if (!grand)
        return kFooterH; // a footer's label elides beside its figures instead
    // A grand total's label longer than the room left of the figures gets a line of its own.
    return QFontMetricsF(font(9, true)).horizontalAdvance(label) > labelRoom(s, cells) ? kTotalH + kLabelLineH
                                                                                       : kTotalH;
}

// ---- placing the bands ---------------------------------------------------------------------

namespace {

// Walks the rows once, placing each band below the last and starting a new page when the next
// one does not fit; a page's running heights and the open totals live only while it works.
class Paginator
{
public:
    explicit Paginator(Layout &l);
    void run();

private:
    void newPage(bool withHeadings);
    void add(BandKind kind, int level, double h, int row, int aux = -1);
    void ensure(double h, bool withHeadings);

    void addRow(int i);
    int changedLevel(int i) const;
    void addGroupFooter(int level, int lastRow);
    void addGroupHeaders(int changed, int i);
    void addDetail(int i);
    void addReportTotal();
    void addNotes();
    void addSubReport();
    void noteFigures(Section &s);
    void addTotals(Section &s, Totals t);

    Layout &m_l;
    const RowSet &m_rows;
    const int m_groupCount;
    // Documents that start each group on its own page show the group (the addressee) first and
    // the column headings under it.
    const bool m_headingsUnderGroup;
    int m_page = -1;
    double m_y = 0;
    bool m_pageHasBody = false;
    std::vector<int> m_openGroups;   // per level, the row that opened the group, or -1
    std::vector<Accumulator> m_accs; // per group level, then the grand total
    int m_runningCell = -1;
    double m_runningValue = 0;
    RowFigures m_figures;
};

Paginator::Paginator(Layout &l)
    : m_l(l), m_rows(l.job.rows), m_groupCount(int(l.groups.size())),
      m_headingsUnderGroup(m_groupCount > 0 && l.groups.first().newPage)
{
}

void Paginator::newPage(bool withHeadings)
{
    ++m_page;
    m_l.pageStart.push_back(int(m_l.bands.size()));
    m_y = m_l.top + kPageHeaderH;
    m_pageHasBody = false;
    if (withHeadings && !m_l.main.cells.isEmpty())
        add(BandKind::Headings, 0, kHeadingsH, -1);
    // A page that goes on with a group says whose rows these are.
    for (size_t level = 0; level < m_openGroups.size(); ++level) {
        if (m_openGroups[level] >= 0 && !m_l.groups.at(int(level)).header.isEmpty())
            add(BandKind::GroupContinued, int(level), kGroupLineH, m_openGroups[level]);
    }
    m_pageHasBody = false;
}

void Paginator::add(BandKind kind, int level, double h, int row, int aux)
{
    m_l.bands.push_back(Band{kind, quint8(level), m_page, float(m_y), float(h), row, aux});
    m_y += h;
    m_pageHasBody = true;
}

void Paginator::ensure(double h, bool withHeadings)
{
    if (m_y + h > m_l.bottom && m_pageHasBody)
        newPage(withHeadings);
}

void Paginator::run()
{
    const Section &main = m_l.main;
    m_openGroups.assign(size_t(m_groupCount), -1);
    newPage(!(m_headingsUnderGroup && !m_rows.isEmpty()));

    m_accs.resize(size_t(m_groupCount) + 1);
    for (auto &a : m_accs)
        a.reset(size_t(main.cells.size()));
    m_l.main.shown.assign(size_t(main.cells.size()), Extent{});
    m_l.main.summed.assign(size_t(main.cells.size()), Extent{});
    if (main.running)
        m_l.running.assign(size_t(m_rows.size()), 0);
    for (int i = 0; i < main.cells.size(); ++i) {
        if (main.cells.at(i).runningStart >= 0)
            m_runningCell = i;
    }

    for (int i = 0; i < m_rows.size(); ++i)
        addRow(i);
    if (!m_rows.isEmpty()) {
        for (int level = m_groupCount - 1; level >= 0; --level)
            addGroupFooter(level, m_rows.size() - 1);
    }
    if (m_l.showTotal)
        addReportTotal();
    addNotes();
    if (m_l.sub)
        addSubReport();
}

// The first group level whose keys differ from the row before; the group count when none does.
int Paginator::changedLevel(int i) const
{
    if (i == 0)
        return 0;
    const Row &row = m_rows.at(i);
    const Row &prev = m_rows.at(i - 1);
    for (int level = 0; level < m_groupCount; ++level) {
        for (int key : m_l.groups.at(level).keys) {
            if (row.value(key) != prev.value(key))
                return level;
        }
    }
    return m_groupCount;
}

void Paginator::addRow(int i)
{
    const int changed = changedLevel(i);
    if (i > 0) {
        for (int level = m_groupCount - 1; level >= changed; --level)
            addGroupFooter(level, i - 1);
    }
    addGroupHeaders(changed, i);
    if (m_runningCell >= 0) {
        m_runningValue += numericValue(m_l.main.cells.at(m_runningCell), m_rows.at(i)).value_or(0);
        m_l.running[size_t(i)] = m_runningValue;
        m_l.main.shown[size_t(m_runningCell)].add(m_runningValue);
    }
    addDetail(i);
}

void Paginator::addGroupFooter(int level, int lastRow)
{
    const CompiledGroup &g = m_l.groups.at(level);
    if (!g.footer.isEmpty()) {
        addTotals(m_l.main, finish(m_accs[size_t(level)], m_l.main));
        const Context c{&m_l.job, &m_rows.at(lastRow), m_l.totals.back().count};
        const double h = m_l.totalsHeight(m_l.main, g.sums, expand(g.footer, c, false), false);
        ensure(h, true);
        add(BandKind::GroupFooter, level, h, lastRow, int(m_l.totals.size()) - 1);
    }
    m_openGroups[size_t(level)] = -1;
}

void Paginator::addGroupHeaders(int changed, int i)
{
    const Row &row = m_rows.at(i);
    // The headers that open here stay on one page with the first row under them.
    std::vector<double> heights;
    double need = kRowH;
    for (int level = changed; level < m_groupCount; ++level) {
        heights.push_back(m_l.groupHeaderHeight(level, row));
        need += heights.back() + (level == 0 && m_headingsUnderGroup ? kHeadingsH : 0);
    }
    for (int level = changed; level < m_groupCount; ++level) {
        const CompiledGroup &g = m_l.groups.at(level);
        const bool underHeadings = !(m_headingsUnderGroup && level == 0);
        const double h = heights[size_t(level - changed)];
        if (g.newPage && m_pageHasBody)
            newPage(underHeadings);
        else if (level == changed)
            ensure(need, underHeadings);
        add(BandKind::GroupHeader, level, h, i);
        m_openGroups[size_t(level)] = i;
        if (level == 0 && m_headingsUnderGroup)
            add(BandKind::Headings, 0, kHeadingsH, -1);
        m_accs[size_t(level)].reset(size_t(m_l.main.cells.size()));
        m_runningValue =
            m_runningCell >= 0 ? row.value(m_l.main.cells.at(m_runningCell).runningStart).toDouble() : 0;
    }
}

void Paginator::addDetail(int i)
{
    const Row &row = m_rows.at(i);
    const Section &main = m_l.main;
    // An outer join without a right-hand row (an order without lines) has no detail.
    bool anyDetail = false;
    for (const Cell &c : main.cells) {
        if (c.kind == Cell::Plain && !row.value(c.column).isNull()) {
            anyDetail = true;
            break;
        }
    }
    if (!anyDetail && !main.cells.isEmpty())
        return;
    ensure(kRowH, true);
    add(BandKind::Detail, 0, kRowH, i);
    measure(m_figures, main, row);
    noteFigures(m_l.main);
    for (auto &a : m_accs)
        accumulate(a, m_figures);
}

void Paginator::addReportTotal()
{
    addTotals(m_l.main, finish(m_accs.back(), m_l.main));
    const Context c{&m_l.job, m_rows.isEmpty() ? nullptr : &m_rows.at(m_rows.size() - 1),
                    m_l.totals.back().count};
    const double h = m_l.totalsHeight(m_l.main, m_l.totalCells, expand(m_l.totalLabel, c, false), true);
    ensure(h, true);
    add(BandKind::Total, 0, h, m_rows.isEmpty() ? -1 : m_rows.size() - 1, int(m_l.totals.size()) - 1);
}

void Paginator::addNotes()
{
    for (int n = 0; n < int(m_l.noteHeights.size()); ++n) {
        if (m_l.noteTexts.at(n).isEmpty())
            continue;
        ensure(m_l.noteHeights[size_t(n)], false);
        add(BandKind::Note, 0, m_l.noteHeights[size_t(n)], -1, n);
    }
}

void Paginator::addSubReport()
{
    const Section &s = *m_l.sub;
    ensure(kSubTitleH + kHeadingsH + kRowH, true);
    add(BandKind::SubTitle, 0, kSubTitleH, -1);
    add(BandKind::SubHeadings, 0, kHeadingsH, -1);
    Accumulator acc;
    acc.reset(size_t(s.cells.size()));
    m_l.sub->shown.assign(size_t(s.cells.size()), Extent{});
    m_l.sub->summed.assign(size_t(s.cells.size()), Extent{});
    for (int i = 0; i < s.rows->size(); ++i) {
        if (m_y + kRowH > m_l.bottom) {
            newPage(false);
            add(BandKind::SubHeadings, 0, kHeadingsH, -1);
        }
        add(BandKind::SubDetail, 0, kRowH, i);
        measure(m_figures, s, s.rows->at(i));
        noteFigures(*m_l.sub);
        accumulate(acc, m_figures);
    }
    if (!s.totalLabel.isEmpty()) {
        addTotals(*m_l.sub, finish(acc, s));
        const Context c{&m_l.job, nullptr, m_l.totals.back().count};
        const double h = m_l.totalsHeight(s, s.totals, expand(s.totalLabel, c, false), true);
        ensure(h, false);
        add(BandKind::SubTotal, 0, h, -1, int(m_l.totals.size()) - 1);
    }
}

// The detail figures just measured widen their cells' extents.
void Paginator::noteFigures(Section &s)
{
    for (size_t i = 0; i < m_figures.has.size(); ++i) {
        if (!m_figures.has[i])
            continue;
        if (m_figures.den[i] != 0)
            s.shown[i].add(m_figures.num[i] / m_figures.den[i]);
        else if (s.cells.at(int(i)).kind != Cell::Arithmetic || s.cells.at(int(i)).expr->kind != Expr::Div)
            s.shown[i].add(m_figures.value[i]);
    }
}

void Paginator::addTotals(Section &s, Totals t)
{
    for (size_t i = 0; i < t.values.size(); ++i) {
        if (t.values[i])
            s.summed[i].add(*t.values[i]);
    }
    m_l.totals.push_back(std::move(t));
}

} // namespace

// Widths place no band but a grand total's, whose label takes a line of its own when it does
// not fit beside the figures: true when one of them would now be placed otherwise.
bool Layout::totalsMoved() const
{
    for (const Band &b : bands) {
        if (b.kind != BandKind::Total && b.kind != BandKind::SubTotal)
            continue;
        const Totals &t = totals[size_t(b.aux)];
        const bool isSub = b.kind == BandKind::SubTotal;
        const Context c{&job, !isSub && b.row >= 0 ? &job.rows.at(b.row) : nullptr, t.count};
        const double h = isSub ? totalsHeight(*sub, sub->totals, expand(sub->totalLabel, c, false), true)
                               : totalsHeight(main, totalCells, expand(totalLabel, c, false), true);
        if (std::abs(h - b.h) > 0.01)
            return true;
    }
    return false;
}

void Layout::build()
{
    Paginator(*this).run();
    // Widths fitted to the figures the rows hold; the bands are placed again on the new widths.
    bool moved = fitColumns(main, job);
    if (sub)
        moved = fitColumns(*sub, job) || moved;
    if (!moved || !totalsMoved())
        return;
    bands.clear();
    pageStart.clear();
    totals.clear();
    running.clear();
    Paginator(*this).run();
}

} // namespace reports::engine
