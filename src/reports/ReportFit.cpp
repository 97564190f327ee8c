#include "core/Money.h"
#include "reports/ReportEngineInternal.h"

#include <QFontMetricsF>
#include <QLocale>

#include <cmath>

// Column widths fitted to what the cells hold. A design gives each column a share of the page;
// a figure or a date that would not fit its share takes room from text, which can elide.

namespace reports::engine {

thread_local QStringList *clippedTexts = nullptr;

void Extent::add(double v)
{
    if (!std::isfinite(v))
        return;
    any = true;
    largest = std::max(largest, std::fabs(v));
    negative = negative || v < 0;
    fractional = fractional || v != std::round(v);
    const double cents = v * 100;
    fine = fine || std::fabs(cents - std::round(cents)) > 1e-6;
}

namespace {

// Text cells are measured on a sample of rows: enough to see how wide their values run, without
// measuring every row of a long document.
constexpr int kTextSample = 400;
constexpr double kTextFloor = 30; // a text column keeps this much, to show a few letters
constexpr int kFirmTotalType = 7; // text elides for totals down to this type, no further

// The longest text the extent can print in `format`.
QString widestFigure(const Extent &e, Format format)
{
    const double v = e.negative ? -e.largest : e.largest;
    switch (format) {
    case Format::Price:
        if (const auto m = Money::tryFromDouble(v); m && e.fine)
            return m->toDisplayString(4);
        return formatValue(v, format);
    case Format::Quantity:
        return e.fractional ? QLocale::c().toString(v, 'f', 2) : formatValue(v, format);
    default:
        return formatValue(v, format);
    }
}

bool isFigure(const Cell &c)
{
    return c.numeric || c.format == Format::Date || c.format == Format::DateTime;
}

// The width of the widest detail figure or date.
double figureNeed(const Cell &c, const Extent &shown)
{
    double need = 0;
    if (c.format == Format::Date)
        need = QFontMetricsF(font(8)).horizontalAdvance(QStringLiteral("12/28/2026"));
    else if (c.format == Format::DateTime)
        need = QFontMetricsF(font(8)).horizontalAdvance(QStringLiteral("12/28/2026 10:58 PM"));
    if (shown.any)
        need = std::max(need, QFontMetricsF(font(8)).horizontalAdvance(widestFigure(shown, c.format)));
    return need;
}

// The widest total in the grand total's type, or in a smaller one.
double totalNeed(const Cell &c, const Extent &summed, int size = 9)
{
    return summed.any ? QFontMetricsF(font(size, true)).horizontalAdvance(widestFigure(summed, c.format)) : 0;
}

double textNeed(const Cell &c, const RowSet &rows, const ReportJob &job)
{
    const QFontMetricsF fm(font(8));
    const int step = std::max<int>(1, int(rows.size() / kTextSample));
    double need = 0;
    for (int i = 0; i < rows.size(); i += step) {
        const Row &row = rows.at(i);
        const QString text = c.kind == Cell::Text ? expand(c.tpl, Context{&job, &row, 0}, true)
                                                  : formatValue(row.value(c.column), c.format);
        need = std::max(need, fm.horizontalAdvance(text));
    }
    return need;
}

// The narrowest width in which the heading shows whole: on one line in the headings' type, or
// on two in the smaller one.
double headingNeed(const QString &text)
{
    if (text.isEmpty())
        return 0;
    const QFontMetricsF normal(font(8, true));
    const QFontMetricsF small(font(7, true));
    double longestWord = 0;
    for (const QString &word : text.split(u' ', Qt::SkipEmptyParts))
        longestWord = std::max(longestWord, small.horizontalAdvance(word));
    const double whole = normal.horizontalAdvance(text);
    for (double w = longestWord; w < whole; w += 1) {
        const QRectF r = small.boundingRect(QRectF(0, 0, w, 1000), Qt::TextWordWrap, text);
        if (r.height() <= kHeadingsH - 3 && r.width() <= w)
            return w;
    }
    return whole;
}

// Takes up to `amount` from the cells in proportion to what each can give; returns what it took.
double takeRoom(std::vector<double> &widths, const std::vector<double> &canGive, double amount)
{
    double pool = 0;
    for (double g : canGive)
        pool += std::max(0.0, g);
    if (pool <= 0 || amount <= 0)
        return 0;
    const double taken = std::min(pool, amount);
    for (size_t i = 0; i < widths.size(); ++i)
        widths[i] -= std::max(0.0, canGive[i]) * taken / pool;
    return taken;
}

} // namespace

bool fitColumns(Section &s, const ReportJob &job)
{
    const size_t n = size_t(s.cells.size());
    if (n == 0)
        return false;
    // `need` is the width that shows everything; `firm` what a cell keeps when text must elide
    // for figures: a figure's detail lines and its totals in a smaller type, a text's heading and
    // a few letters.
    std::vector<double> width(n), need(n), firm(n);
    std::vector<char> figure(n);
    const Context noRow{&job, nullptr, 0};
    bool short_ = false;
    for (size_t i = 0; i < n; ++i) {
        const Cell &c = s.cells.at(int(i));
        width[i] = c.w;
        figure[i] = isFigure(c);
        const double heading = headingNeed(expand(c.heading, noRow, false)) + 2 * kPad;
        if (figure[i]) {
            firm[i] = std::max({heading, figureNeed(c, s.shown.at(i)) + 2 * kPad,
                                totalNeed(c, s.summed.at(i), kFirmTotalType) + 2 * kPad});
            need[i] = std::max(firm[i], totalNeed(c, s.summed.at(i)) + 2 * kPad);
        } else {
            need[i] = std::max(heading, textNeed(c, *s.rows, job) + 2 * kPad);
            firm[i] = std::max(heading, std::min(need[i], kTextFloor));
        }
        short_ = short_ || need[i] > c.w + 0.01;
    }
    if (!short_)
        return false;

    const auto deficit = [&](bool figures, const std::vector<double> &target) {
        double d = 0;
        for (size_t i = 0; i < n; ++i) {
            if (bool(figure[i]) == figures)
                d += std::max(0.0, target[i] - width[i]);
        }
        return d;
    };
    const auto grow = [&](bool figures, const std::vector<double> &target, double amount) {
        const double d = deficit(figures, target);
        for (size_t i = 0; i < n && d > 0; ++i) {
            if (bool(figure[i]) == figures)
                width[i] += std::max(0.0, target[i] - width[i]) * amount / d;
        }
    };
    std::vector<double> spare(n);
    const auto spareAbove = [&](const std::vector<double> &limit) {
        for (size_t i = 0; i < n; ++i)
            spare[i] = width[i] - limit[i];
        return spare;
    };
    // Figures first from room nobody uses, then cut text the same way, then figures' detail
    // lines from text that has to elide for them.
    double got = takeRoom(width, spareAbove(need), deficit(true, need));
    grow(true, need, got);
    got = takeRoom(width, spareAbove(need), deficit(false, need));
    grow(false, need, got);
    std::vector<double> textFloor(n);
    for (size_t i = 0; i < n; ++i)
        textFloor[i] = figure[i] ? width[i] : firm[i];
    got = takeRoom(width, spareAbove(textFloor), deficit(true, firm));
    grow(true, firm, got);

    double x = s.cells.first().x;
    bool moved = false;
    for (size_t i = 0; i < n; ++i) {
        Cell &c = s.cells[int(i)];
        moved = moved || std::fabs(c.w - width[i]) > 0.01;
        c.x = x;
        c.w = width[i];
        x += c.w;
    }
    return moved;
}

} // namespace reports::engine
