#include "reports/ReportEngineInternal.h"

// Text with {fields}: "{Column}", "{@slot}", "{count}", each with an optional ":format" and
// "|fallback" for an empty value.

namespace reports::engine {

namespace {

Piece literalPiece(const QString &text)
{
    Piece p;
    p.literal = text;
    return p;
}

Format formatNamed(const QString &name, const QString &design)
{
    static const QList<QPair<QString, Format>> names = {{QStringLiteral("text"), Format::Text},
                                                        {QStringLiteral("money"), Format::Money},
                                                        {QStringLiteral("price"), Format::Price},
                                                        {QStringLiteral("qty"), Format::Quantity},
                                                        {QStringLiteral("int"), Format::Integer},
                                                        {QStringLiteral("date"), Format::Date},
                                                        {QStringLiteral("datetime"), Format::DateTime},
                                                        {QStringLiteral("pct"), Format::Percent},
                                                        {QStringLiteral("ssn"), Format::Ssn}};
    for (const auto &n : names) {
        if (n.first == name)
            return n.second;
    }
    throw ReportError(QStringLiteral("The report %1 uses an unknown format \"%2\".").arg(design, name));
}

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

} // namespace

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
            throw ReportError(
                QStringLiteral("The report %1 has an unclosed field in \"%2\".").arg(design, text));
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
                throw ReportError(
                    QStringLiteral("The report %1 cannot be produced: its rows have no column \"%2\".")
                        .arg(design, token));
        }
        t.pieces << p;
        pos = close + 1;
    }
    return t;
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

} // namespace reports::engine
