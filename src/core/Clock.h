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

} // namespace Clock
