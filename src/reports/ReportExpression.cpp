#include "reports/ReportEngineInternal.h"

// Arithmetic over input columns, as in a column whose field is "Qty * PriceEach".

namespace reports::engine {

namespace {

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
        throw ReportError(
            QStringLiteral("The report %1 has a column it cannot read: \"%2\".").arg(m_design, m_text));
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
        while (m_pos < m_text.size() &&
               (m_text.at(m_pos).isLetterOrNumber() || m_text.at(m_pos) == u'_' || m_text.at(m_pos) == u'.'))
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
            throw ReportError(
                QStringLiteral("The report %1 cannot be produced: its rows have no column \"%2\".")
                    .arg(m_design, word));
        return e;
    }

    QString m_text;
    const RowSet &m_rows;
    QString m_design;
    int m_pos = 0;
};

} // namespace

std::shared_ptr<Expr> parseExpression(const QString &text, const RowSet &rows, const QString &design)
{
    return ExprParser(text, rows, design).parse();
}

std::optional<double> numberAt(const Row &row, int column)
{
    const QVariant v = row.value(column);
    if (v.isNull())
        return std::nullopt;
    bool ok = false;
    const double d = v.toDouble(&ok);
    return ok ? std::optional<double>(d) : std::nullopt;
}

// Empty values count as 0 in sums and differences; a product or quotient with an empty side,
// or a quotient by 0, is empty.
std::optional<double> evaluate(const Expr &e, const Row &row)
{
    switch (e.kind) {
    case Expr::Number:
        return e.number;
    case Expr::Field:
        return numberAt(row, e.column);
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

} // namespace reports::engine
