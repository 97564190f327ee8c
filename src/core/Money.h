#pragma once

#include <QMetaType>
#include <QString>
#include <QVariant>

#include <compare>
#include <cstdint>
#include <optional>

// Money held exactly as a whole number of ten-thousandths, like a currency type.
// Rounding to fewer decimals sends halves to the even neighbour.
class Money
{
public:
    static constexpr std::int64_t Scale = 10000;

    constexpr Money() = default;
    static constexpr Money fromUnits(std::int64_t units)
    {
        Money m;
        m.m_units = units;
        return m;
    }
    // The largest amount held, in whole units: 922,337,203,685,477.
    static constexpr double Limit = 922337203685477.0;

    // Nearest ten-thousandth of a binary double (as read back from the database). A value that
    // tryFromDouble refuses gives zero.
    static Money fromDouble(double value);
    // As fromDouble, but nullopt for a non-finite value or one beyond +/- Limit.
    static std::optional<Money> tryFromDouble(double value);
    // Plain or displayed text: "1234.5", "-3", "$1,234.50", "($12.00)". Digits beyond the fourth
    // decimal are rounded half-to-even. Empty or non-numeric text, or an amount beyond Limit,
    // gives nullopt.
    static std::optional<Money> parse(const QString &text);
    // A database value: null reads as zero; numbers and numeric text are converted.
    static Money fromVariant(const QVariant &value);

    constexpr std::int64_t units() const { return m_units; }
    double toDouble() const { return double(m_units) / Scale; }
    bool isZero() const { return m_units == 0; }

    // Half-to-even rounding to `decimals` places (0..4), judged on the four-decimal value.
    Money rounded(int decimals = 2) const;
    // Multiplies by a quantity (sets, feet); the product is rounded half-to-even to four decimals.
    Money times(double quantity) const;
    Money times(const Money &quantity) const;

    // Plain decimal text with a point and no trailing zeros ("12.5", "-3", "0.0001").
    QString toPlainString() const;
    // "$#,##0.00;($#,##0.00)", or with three decimals for the payment window.
    QString toDisplayString(int decimals = 2) const;

    friend constexpr Money operator+(Money a, Money b) { return fromUnits(a.m_units + b.m_units); }
    friend constexpr Money operator-(Money a, Money b) { return fromUnits(a.m_units - b.m_units); }
    friend constexpr Money operator-(Money a) { return fromUnits(-a.m_units); }
    Money &operator+=(Money b)
    {
        m_units += b.m_units;
        return *this;
    }
    Money &operator-=(Money b)
    {
        m_units -= b.m_units;
        return *this;
    }
    friend constexpr auto operator<=>(Money, Money) = default;
    friend constexpr bool operator==(Money, Money) = default;

private:
    std::int64_t m_units = 0;
};

Q_DECLARE_METATYPE(Money)

// Half-to-even rounding of a double as the database's ROUND does it: first to four decimals
// (so 2.675 stored as 2.67499999... counts as 2.675), then to `decimals`.
double roundHalfEven(double value, int decimals);
