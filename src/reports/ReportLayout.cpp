#include "reports/ReportEngineInternal.h"

#include "core/Clock.h"

#include <QFontMetricsF>
#include <QPageLayout>

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
    const double base = grand ? kTotalH : kFooterH;
    // A label longer than the room left of the figures gets a line of its own above them.
    return QFontMetricsF(font(grand ? 9 : 8, true)).horizontalAdvance(label) > labelRoom(s, cells)
               ? base + kLabelLineH
               : base;
}

// ---- placing the bands ---------------------------------------------------------------------

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
            runningValue =
                runningCell >= 0 ? row.value(main.cells.at(runningCell).runningStart).toDouble() : 0;
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

} // namespace reports::engine
