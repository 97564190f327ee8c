#include "reports/ReportEngineInternal.h"

// The columns of a detail section and the totals worked out over them.

namespace reports::engine {

namespace {

bool isPlainName(const QString &s)
{
    for (QChar c : s) {
        if (!c.isLetterOrNumber() && c != u'_')
            return false;
    }
    return !s.isEmpty();
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

} // namespace

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
                throw ReportError(
                    QStringLiteral("The report %1 cannot be produced: its rows have no column \"%2\".")
                        .arg(design, col.field));
        } else {
            cell.kind = Cell::Arithmetic;
            cell.expr = parseExpression(col.field, rows, design);
        }
        if (!col.runningStart.isEmpty()) {
            cell.runningStart = rows.columnIndex(col.runningStart);
            if (cell.runningStart < 0)
                throw ReportError(
                    QStringLiteral("The report %1 cannot be produced: its rows have no column \"%2\".")
                        .arg(design, col.runningStart));
            s.running = true;
        }
        cell.numeric = col.format == Format::Money || col.format == Format::Price ||
                       col.format == Format::Quantity || col.format == Format::Integer ||
                       col.format == Format::Percent;
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
            throw ReportError(QStringLiteral("The report %1 totals \"%2\", which is not one of its columns.")
                                  .arg(design, f));
        out.push_back(found);
    }
    return out;
}

std::optional<double> numericValue(const Cell &cell, const Row &row)
{
    if (cell.kind == Cell::Arithmetic)
        return evaluate(*cell.expr, row);
    if (cell.kind == Cell::Plain)
        return numberAt(row, cell.column);
    return std::nullopt;
}

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

} // namespace reports::engine
