#include "core/Money.h"

#include <cmath>
#include <limits>

namespace {

std::int64_t pow10(int n)
{
    std::int64_t p = 1;
    while (n-- > 0)
        p *= 10;
    return p;
}

// Divides and rounds half to even; works for negative numerators.
__int128 divideHalfEven(__int128 num, __int128 den)
{
    __int128 q = num / den;
    __int128 r = num % den;
    if (r == 0)
        return q;
    const __int128 twice = (r < 0 ? -r : r) * 2;
    const int sign = (num < 0) != (den < 0) ? -1 : 1;
    if (twice > den || (twice == den && (q % 2 != 0)))
        q += sign;
    return q;
}

} // namespace

Money Money::fromDouble(double value)
{
    return tryFromDouble(value).value_or(Money());
}

std::optional<Money> Money::tryFromDouble(double value)
{
    // Beyond the limit the units overflow 64 bits and llround gives nonsense.
    if (!std::isfinite(value) || std::fabs(value) > Limit)
        return std::nullopt;
    // Whole part and fraction apart: value * Scale in a double loses units above 2^53.
    const double whole = std::trunc(value);
    return fromUnits(std::int64_t(whole) * Scale + std::llround((value - whole) * Scale));
}

std::optional<Money> Money::parse(const QString &input)
{
    QString t = input.trimmed();
    if (t.isEmpty())
        return std::nullopt;
    bool negative = false;
    if (t.startsWith(u'(') && t.endsWith(u')')) {
        negative = true;
        t = t.mid(1, t.size() - 2).trimmed();
    }
    if (t.startsWith(u'-')) {
        negative = !negative;
        t = t.mid(1).trimmed();
    } else if (t.startsWith(u'+')) {
        t = t.mid(1).trimmed();
    }
    if (t.startsWith(u'$'))
        t = t.mid(1).trimmed();
    if (t.startsWith(u'-') && !negative) { // "$-5"
        negative = true;
        t = t.mid(1);
    }
    t.remove(u',');
    if (t.isEmpty() || t == u".")
        return std::nullopt;

    __int128 whole = 0;
    __int128 frac = 0;
    int fracDigits = 0;
    bool seenPoint = false;
    for (QChar c : t) {
        if (c == u'.') {
            if (seenPoint)
                return std::nullopt;
            seenPoint = true;
            continue;
        }
        if (!c.isDigit() || c.unicode() > 127)
            return std::nullopt;
        const int d = c.unicode() - '0';
        if (!seenPoint) {
            whole = whole * 10 + d;
            if (whole > __int128(Limit))
                return std::nullopt;
        } else if (fracDigits < 18) {
            frac = frac * 10 + d;
            ++fracDigits;
        }
    }
    __int128 units = whole * Scale;
    if (fracDigits <= 4)
        units += frac * pow10(4 - fracDigits);
    else
        units += divideHalfEven(frac, pow10(fracDigits - 4));
    if (units > std::numeric_limits<std::int64_t>::max())
        return std::nullopt;
    return fromUnits(std::int64_t(negative ? -units : units));
}

Money Money::fromVariant(const QVariant &value)
{
    if (!value.isValid() || value.isNull())
        return Money();
    if (value.metaType() == QMetaType::fromType<Money>())
        return value.value<Money>();
    switch (value.metaType().id()) {
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
    case QMetaType::ULongLong:
        return fromUnits(value.toLongLong() * Scale);
    case QMetaType::Double:
    case QMetaType::Float:
        return fromDouble(value.toDouble());
    default:
        return parse(value.toString()).value_or(Money());
    }
}

Money Money::rounded(int decimals) const
{
    if (decimals >= 4)
        return *this;
    if (decimals < 0)
        decimals = 0;
    const std::int64_t step = pow10(4 - decimals);
    return fromUnits(std::int64_t(divideHalfEven(m_units, step) * step));
}

Money Money::times(const Money &quantity) const
{
    return fromUnits(std::int64_t(divideHalfEven(__int128(m_units) * quantity.m_units, Scale)));
}

Money Money::times(double quantity) const
{
    return times(fromDouble(quantity));
}

QString Money::toPlainString() const
{
    const std::int64_t a = m_units < 0 ? -m_units : m_units;
    QString s = QString::number(a / Scale);
    std::int64_t frac = a % Scale;
    if (frac != 0) {
        QString f = QString::number(frac).rightJustified(4, u'0');
        while (f.endsWith(u'0'))
            f.chop(1);
        s += u'.' + f;
    }
    return m_units < 0 ? u'-' + s : s;
}

QString Money::toDisplayString(int decimals) const
{
    const Money r = rounded(decimals);
    const std::int64_t a = r.m_units < 0 ? -r.m_units : r.m_units;
    QString whole = QString::number(a / Scale);
    for (int i = whole.size() - 3; i > 0; i -= 3)
        whole.insert(i, u',');
    QString text = u'$' + whole;
    if (decimals > 0)
        text += u'.' + QString::number(a % Scale).rightJustified(4, u'0').left(decimals);
    return r.m_units < 0 ? u'(' + text + u')' : text;
}

double roundHalfEven(double value, int decimals)
{
    if (!std::isfinite(value))
        return value;
    if (decimals > 4)
        return value;
    if (std::fabs(value) >= 9.0e14)
        return std::nearbyint(value);
    return Money::fromDouble(value).rounded(decimals).toDouble();
}
