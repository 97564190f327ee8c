#pragma once

#include "core/ReportJob.h"
#include "reports/ReportDesign.h"

#include <QStringList>

// Small pieces the family files build their designs and jobs from.
namespace reports::docs {

inline Column text(const QString &field, const QString &heading, double width = 1)
{
    return {field, heading, width, Format::Text, Align::Auto, {}};
}
inline Column money(const QString &field, const QString &heading, double width = 1)
{
    return {field, heading, width, Format::Money, Align::Auto, {}};
}
inline Column price(const QString &field, const QString &heading, double width = 1)
{
    return {field, heading, width, Format::Price, Align::Auto, {}};
}
inline Column qty(const QString &field, const QString &heading, double width = 0.8)
{
    return {field, heading, width, Format::Quantity, Align::Auto, {}};
}
inline Column count(const QString &field, const QString &heading, double width = 0.6)
{
    return {field, heading, width, Format::Integer, Align::Auto, {}};
}
inline Column date(const QString &field, const QString &heading, double width = 0.9)
{
    return {field, heading, width, Format::Date, Align::Auto, {}};
}
inline Column ssn(const QString &field, const QString &heading, double width = 1)
{
    return {field, heading, width, Format::Ssn, Align::Auto, {}};
}
inline Column percent(const QString &field, const QString &heading, double width = 0.7)
{
    return {field, heading, width, Format::Percent, Align::Auto, {}};
}

// "a, b, c" as a list, each item trimmed.
inline QStringList cols(const char *list)
{
    QStringList out;
    for (const QString &c : QString::fromLatin1(list).split(u','))
        out << c.trimmed();
    return out;
}

// The customer's or the order's ship-to address, optionally with its phone and fax.
inline Block shipToBlock(bool withPhone)
{
    Block b{QStringLiteral("Ship To"),
            {QStringLiteral("{ShipTo}"), QStringLiteral("{ShipToAddress1}"),
             QStringLiteral("{ShipToAddress2}"), QStringLiteral("{ShipToCity}, {ShipToState}  {ShipToZip}")}};
    if (withPhone)
        b.lines << QStringLiteral("Phone {ShipToPhone}") << QStringLiteral("Fax {ShipToFax}");
    return b;
}

} // namespace reports::docs
