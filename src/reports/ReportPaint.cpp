#include "reports/ReportEngineInternal.h"

#include <QFontMetricsF>
#include <QPainter>

// Painting one laid-out page: text is measured and drawn only here.

namespace reports::engine {

QFont font(int size, bool bold, bool italic)
{
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(size); // one pixel is one point: the painter is scaled to points
    f.setBold(bold);
    f.setItalic(italic);
    f.setHintingPreference(QFont::PreferNoHinting);
    return f;
}

namespace {

void drawText(QPainter &p, const QRectF &r, const QString &text, Qt::Alignment align)
{
    if (text.isEmpty())
        return;
    const QFontMetricsF fm(p.font());
    const QString shown =
        fm.horizontalAdvance(text) <= r.width() ? text : fm.elidedText(text, Qt::ElideRight, r.width());
    p.drawText(r, int(align | Qt::AlignVCenter) | Qt::TextSingleLine, shown);
}

// A figure is never elided: it takes a smaller type, down to the smallest, until it fits.
int figureSize(const QString &text, double room, int size, bool bold)
{
    while (size > kSmallestType && QFontMetricsF(font(size, bold)).horizontalAdvance(text) > room)
        --size;
    return size;
}

void drawFigure(QPainter &p, const QRectF &r, const QString &text, Qt::Alignment align, int size, bool bold)
{
    if (text.isEmpty())
        return;
    p.setFont(font(figureSize(text, r.width(), size, bold), bold));
    if (clippedTexts && QFontMetricsF(p.font()).horizontalAdvance(text) > r.width())
        *clippedTexts << QStringLiteral("figure \"%1\"").arg(text);
    p.drawText(r, int(align | Qt::AlignVCenter) | Qt::TextSingleLine | Qt::TextDontClip, text);
}

const QColor kRule(60, 60, 60);
const QColor kLight(120, 120, 120);
const QColor kShade(228, 228, 228);

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

} // namespace

// The logo at the left, the shop's name and its lines beside it.
double letterheadHeight(const Letterhead &l)
{
    if (l.isEmpty())
        return 0;
    const double text = l.lines.isEmpty() ? 0 : 16 + (l.lines.size() - 1) * 11.0;
    return std::max(l.logo.isNull() ? 0.0 : kLogoH, text) + 10;
}

void Layout::paint(QPainter &p, int pageIndex) const
{
    paintPageHeader(p, pageIndex);
    const int pages = int(pageStart.size());
    const int first = pageStart[size_t(pageIndex)];
    const int end = pageIndex + 1 < pages ? pageStart[size_t(pageIndex) + 1] : int(bands.size());
    for (int b = first; b < end; ++b)
        paintBand(p, bands[size_t(b)]);
}

// Document title, slots, print date, page number.
void Layout::paintPageHeader(QPainter &p, int pageIndex) const
{
    const int pages = int(pageStart.size());
    p.setPen(Qt::black);
    paintLetterhead(p, letterhead, left, kMargin, width);
    // Long titles and many slots take a smaller type rather than losing words.
    int titleSize = 18;
    while (titleSize > 11 &&
           QFontMetricsF(font(titleSize, true)).horizontalAdvance(design->title) > width * 0.7)
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
}

void Layout::paintBand(QPainter &p, const Band &band) const
{
    switch (band.kind) {
    case BandKind::Headings:
        paintHeadings(p, main, band.y);
        break;
    case BandKind::SubHeadings:
        paintHeadings(p, *sub, band.y);
        break;
    case BandKind::Detail:
        paintCells(p, main, job.rows.at(band.row), band.y, band.row);
        break;
    case BandKind::SubDetail:
        paintCells(p, *sub, sub->rows->at(band.row), band.y, band.row);
        break;
    case BandKind::GroupHeader:
        paintGroupHeader(p, band);
        break;
    case BandKind::GroupContinued:
        paintGroupContinued(p, band);
        break;
    case BandKind::GroupFooter:
        paintGroupFooter(p, band);
        break;
    case BandKind::Total:
        paintTotal(p, band);
        break;
    case BandKind::SubTotal:
        paintSubTotal(p, band);
        break;
    case BandKind::Note:
        paintNote(p, band);
        break;
    case BandKind::SubTitle:
        paintSubTitle(p, band);
        break;
    }
}

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
            if (clippedTexts) {
                const QRectF need =
                    QFontMetricsF(small).boundingRect(r, int(cell.align) | Qt::TextWordWrap, text);
                if (need.height() > r.height() + 0.5 || need.width() > r.width() + 0.5)
                    *clippedTexts << QStringLiteral("heading \"%1\"").arg(text);
            }
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
        const QRectF r(cell.x + kPad, y, cell.w - 2 * kPad, kRowH);
        if (cell.numeric) {
            drawFigure(p, r, text, cell.align, 8, false);
            p.setFont(font(8));
        } else {
            drawText(p, r, text, cell.align);
        }
    }
}

// The group's title line, its address blocks side by side, then its boxed facts.
void Layout::paintGroupHeader(QPainter &p, const Band &band) const
{
    const CompiledGroup &g = groups.at(band.level);
    const Row &row = job.rows.at(band.row);
    const Context c{&job, &row, 0};
    const double y = band.y;
    double at = y + 2;
    if (!g.header.isEmpty())
        at = paintGroupTitle(p, g, band, c, at);
    if (!g.blocks.isEmpty())
        at = paintBlocks(p, g, row, at);
    if (!g.infos.isEmpty())
        paintInfos(p, g, c, at);
}

// Returns where the next part of the header starts.
double Layout::paintGroupTitle(QPainter &p, const CompiledGroup &g, const Band &band, const Context &c,
                               double y) const
{
    p.setPen(Qt::black);
    p.setFont(font(band.level == 0 ? 10 : 9, true));
    const double indent = band.level * 8;
    drawText(p, QRectF(left + indent, y, width - indent, kGroupLineH - 4), expand(g.header, c, false),
             Qt::AlignLeft);
    if (band.level == 0) {
        p.setPen(QPen(kLight, 0.5));
        p.drawLine(QPointF(left, y + kGroupLineH - 3), QPointF(left + width, y + kGroupLineH - 3));
    }
    return y + kGroupLineH;
}

double Layout::paintBlocks(QPainter &p, const CompiledGroup &g, const Row &row, double y) const
{
    const QList<QStringList> lines = blockLines(g, row);
    qsizetype most = 1;
    for (const QStringList &l : lines)
        most = std::max(most, l.size());
    const double bw = width / std::max<qsizetype>(2, g.blocks.size());
    const double bh = kBlockTitleH + most * kBlockLineH + 6;
    for (int i = 0; i < g.blocks.size(); ++i) {
        const QRectF box(left + i * bw, y + 2, bw - 12, bh);
        p.setPen(QPen(kLight, 0.6));
        p.drawRect(box);
        p.setPen(kLight);
        p.setFont(font(7, true));
        drawText(p, QRectF(box.left() + 6, box.top() + 2, box.width() - 12, kBlockTitleH - 2),
                 g.blocks.at(i).first.toUpper(), Qt::AlignLeft);
        p.setPen(Qt::black);
        p.setFont(font(9));
        for (int l = 0; l < lines.at(i).size(); ++l)
            drawText(p,
                     QRectF(box.left() + 6, box.top() + kBlockTitleH + l * kBlockLineH, box.width() - 12,
                            kBlockLineH),
                     lines.at(i).at(l), Qt::AlignLeft);
    }
    return y + (bh + 10);
}

void Layout::paintInfos(QPainter &p, const CompiledGroup &g, const Context &c, double y) const
{
    const double iw = width / g.infos.size();
    for (int i = 0; i < g.infos.size(); ++i) {
        const QRectF box(left + i * iw, y + 2, iw, kInfoH);
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

void Layout::paintGroupContinued(QPainter &p, const Band &band) const
{
    const Row &row = job.rows.at(band.row);
    const Context c{&job, &row, 0};
    const double y = band.y;
    p.setPen(kLight);
    p.setFont(font(band.level == 0 ? 10 : 9, true, true));
    const double indent = band.level * 8;
    drawText(p, QRectF(left + indent, y + 2, width - indent, kGroupLineH - 4),
             expand(groups.at(band.level).header, c, false) + QStringLiteral("  (continued)"), Qt::AlignLeft);
}

void Layout::paintGroupFooter(QPainter &p, const Band &band) const
{
    const CompiledGroup &g = groups.at(band.level);
    const Totals &t = totals[size_t(band.aux)];
    const Row &row = job.rows.at(band.row);
    const Context c{&job, &row, t.count};
    paintTotals(p, main, g.sums, t, expand(g.footer, c, false), band.y, band.h, false);
}

void Layout::paintTotal(QPainter &p, const Band &band) const
{
    const Totals &t = totals[size_t(band.aux)];
    const Context c{&job, band.row >= 0 ? &job.rows.at(band.row) : nullptr, t.count};
    paintTotals(p, main, totalCells, t, expand(totalLabel, c, false), band.y, band.h, true);
}

void Layout::paintSubTotal(QPainter &p, const Band &band) const
{
    const Totals &t = totals[size_t(band.aux)];
    const Context c{&job, nullptr, t.count};
    paintTotals(p, *sub, sub->totals, t, expand(sub->totalLabel, c, false), band.y, band.h, true);
}

void Layout::paintNote(QPainter &p, const Band &band) const
{
    const double y = band.y;
    p.setPen(Qt::black);
    p.setFont(font(8));
    p.drawText(QRectF(left, y + 4, width, band.h - 4), Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignTop,
               noteTexts.at(band.aux));
}

void Layout::paintSubTitle(QPainter &p, const Band &band) const
{
    const double y = band.y;
    p.setPen(Qt::black);
    p.setFont(font(11, true));
    drawText(p, QRectF(left, y + 8, width, kSubTitleH - 10), sub->title, Qt::AlignLeft);
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
    const int size = grand ? 9 : 8;
    const double textH = (grand ? kTotalH - 7 : kFooterH - 5);
    // A footer's label beside its figures takes a smaller type and then elides; its group's
    // header above names it in full.
    const double room = ownLine ? width - 2 * kPad : labelRoom(s, cells);
    p.setFont(font(grand ? size : std::max(7, figureSize(label, room, size, true)), true));
    drawText(p, QRectF(left + kPad, labelY, room, textH), label, Qt::AlignLeft);
    // The band's figures share one type: the largest in which every one of them fits.
    const double textY = figuresY + (grand ? 5 : 3);
    int figures = size;
    for (int i : cells) {
        const Cell &cell = s.cells.at(i);
        if (const auto &v = t.values[size_t(i)])
            figures =
                std::min(figures, figureSize(formatValue(*v, cell.format), cell.w - 2 * kPad, size, true));
    }
    for (int i : cells) {
        const Cell &cell = s.cells.at(i);
        const auto &v = t.values[size_t(i)];
        if (v)
            drawFigure(p, QRectF(cell.x + kPad, textY, cell.w - 2 * kPad, textH),
                       formatValue(*v, cell.format), cell.align, figures, true);
    }
}

} // namespace reports::engine
