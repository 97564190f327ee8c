#include "core/Clock.h"

#include <optional>

namespace {
std::optional<QDateTime> g_fixed;
}

namespace Clock {

QDate today()
{
    return now().date();
}

QDateTime now()
{
    return g_fixed ? *g_fixed : QDateTime::currentDateTime();
}

double secondsSinceMidnight()
{
    return now().time().msecsSinceStartOfDay() / 1000.0;
}

void setFixed(const QDateTime &moment)
{
    g_fixed = moment;
}

void advance(qint64 milliseconds)
{
    if (g_fixed)
        g_fixed = g_fixed->addMSecs(milliseconds);
}

void reset()
{
    g_fixed.reset();
}

} // namespace Clock
