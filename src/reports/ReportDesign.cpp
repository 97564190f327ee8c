#include "reports/ReportDesign.h"

#include "core/ReportRows.h"

#include <QLocale>

#include <algorithm>

namespace reports {

ReportError::ReportError(const QString &message) : DbError(1, message)
{
}

namespace {

void requireColumns(const QString &design, const QStringList &declared, const RowSet &rows, const QString &what)
{
    for (const QString &column : declared) {
        if (rows.columnIndex(column) < 0)
            throw ReportError(QStringLiteral("The report %1 cannot be produced: its %2 have no column \"%3\".")
                                  .arg(design, what, column));
    }
}

} // namespace

const Design &checkJob(const ReportJob &job)
{
    const Design *design = findDesign(job.design);
    if (!design)
        throw ReportError(QStringLiteral("There is no report design named \"%1\".").arg(job.design));
    requireColumns(design->name, design->columns, job.rows, QStringLiteral("rows"));
    if (design->sub) {
        if (!job.subRows)
            throw ReportError(QStringLiteral("The report %1 cannot be produced: it needs the rows of its "
                                             "sub-report \"%2\".")
                                  .arg(design->name, design->sub->title));
        requireColumns(design->name, design->sub->columns, *job.subRows, QStringLiteral("sub-report rows"));
    }
    // A misspelt slot would silently print nothing where the text belongs.
    for (const auto &slot : job.textSlots) {
        const bool known = std::any_of(design->slots.begin(), design->slots.end(),
                                       [&](const Slot &s) { return s.name == slot.first; });
        if (!known) {
            QStringList names;
            for (const Slot &s : design->slots)
                names << s.name;
            throw ReportError(QStringLiteral("The report %1 has no text slot \"%2\" (its slots: %3).")
                                  .arg(design->name, slot.first,
                                       names.isEmpty() ? QStringLiteral("none") : names.join(QStringLiteral(", "))));
        }
    }
    return *design;
}

QString shortDate(const QDate &date)
{
    return documentDate(date);
}

QString plainValue(const QVariant &value)
{
    if (value.isNull() || !value.isValid())
        return QString();
    if (value.metaType().id() == QMetaType::Double)
        return Money::fromDouble(value.toDouble()).toPlainString();
    if (value.metaType() == QMetaType::fromType<Money>())
        return value.value<Money>().toPlainString();
    return value.toString();
}

QString formatValue(const QVariant &value, Format format)
{
    if (value.isNull() || !value.isValid())
        return QString();
    switch (format) {
    case Format::Text:
        return plainValue(value);
    case Format::Money:
        return Money::fromVariant(value).toDisplayString(2);
    case Format::Price: {
        const Money m = Money::fromVariant(value);
        for (int decimals = 2; decimals < 4; ++decimals) {
            if (m.rounded(decimals) == m)
                return m.toDisplayString(decimals);
        }
        return m.toDisplayString(4);
    }
    case Format::Quantity: {
        bool ok = false;
        const double v = value.toDouble(&ok);
        if (!ok)
            return value.toString();
        QString s = QLocale::c().toString(roundHalfEven(v, 2), 'f', 2);
        if (s.endsWith(QLatin1String(".00")))
            s.chop(3);
        else if (s.contains(u'.') && s.endsWith(u'0'))
            s.chop(1);
        return s == QLatin1String("-0") ? QStringLiteral("0") : s;
    }
    case Format::Integer: {
        bool ok = false;
        const double v = value.toDouble(&ok);
        return ok ? QString::number(qint64(std::llround(v))) : value.toString();
    }
    case Format::Date: {
        const QDate d = parseDate(value.toString());
        return d.isValid() ? shortDate(d) : value.toString();
    }
    case Format::DateTime: {
        const QString t = value.toString();
        const QDateTime dt = QDateTime::fromString(t, QStringLiteral("yyyy-MM-dd HH:mm:ss"));
        if (dt.isValid())
            return shortDate(dt.date()) + u' ' + QLocale::c().toString(dt.time(), QStringLiteral("h:mm AP"));
        const QDate d = parseDate(t);
        return d.isValid() ? shortDate(d) : t;
    }
    case Format::Ssn: {
        QString digits;
        for (QChar ch : value.toString())
            if (ch.isDigit())
                digits += ch;
        return QStringLiteral("***-**-") + digits.right(4);
    }
    case Format::Percent: {
        bool ok = false;
        const double v = value.toDouble(&ok);
        if (!ok || !std::isfinite(v))
            return QString();
        return QLocale::c().toString(v * 100.0, 'f', 1) + u'%';
    }
    }
    return value.toString();
}

} // namespace reports
