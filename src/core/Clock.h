#pragma once

#include <QDate>
#include <QDateTime>

// The one source of "today" and "now"; tests fix it.
namespace Clock {

QDate today();
QDateTime now();
// Seconds since midnight with millisecond resolution (the type-ahead timer).
double secondsSinceMidnight();

// Fixes the clock at `moment` until reset(); advance() moves a fixed clock on.
void setFixed(const QDateTime &moment);
void advance(qint64 milliseconds);
void reset();

// How every window and document shows a date.
inline QString dateFormat()
{
    return QStringLiteral("M/d/yyyy");
}

// The dates a clerk may type. A year outside them is a slip of the keys (5202 for 2025), never a
// shop's date.
inline QDate firstDate()
{
    return QDate(1900, 1, 1);
}
inline QDate lastDate()
{
    return QDate(2099, 12, 31);
}
inline bool isTypeable(const QDate &d)
{
    return d.isValid() && d >= firstDate() && d <= lastDate();
}

} // namespace Clock
