#pragma once

// What every benchmark program needs: the median it reports and a way to stop with a reason.
#include <QCoreApplication>
#include <QString>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace bench {

// The middle figure; for an even count, the mean of the two middle ones.
inline double median(std::vector<double> v)
{
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

// Says why, under the program's name, and ends it.
[[noreturn]] inline void die(const QString &text)
{
    std::fprintf(stderr, "%s: %s\n", qPrintable(QCoreApplication::applicationName()), qPrintable(text));
    std::exit(1);
}

} // namespace bench
