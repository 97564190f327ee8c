#include "core/HeapPages.h"

#include <QFile>
#include <QTest>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <vector>

namespace {

// The mapping holding `address` in /proc/self/smaps: its range and its flags line.
struct Mapping
{
    std::uintptr_t from = 0;
    std::uintptr_t to = 0;
    QByteArray flags;
};

Mapping mappingOf(const void *address)
{
    QFile smaps(QStringLiteral("/proc/self/smaps"));
    if (!smaps.open(QIODevice::ReadOnly))
        return {};
    const auto at = reinterpret_cast<std::uintptr_t>(address);
    Mapping found;
    bool inside = false;
    for (const QByteArray &line : smaps.readAll().split('\n')) {
        const int dash = line.indexOf('-');
        const int space = line.indexOf(' ');
        if (dash > 0 && space > dash && line.at(space - 1) != ':') {
            bool ok1 = false, ok2 = false;
            const std::uintptr_t from = line.left(dash).toULongLong(&ok1, 16);
            const std::uintptr_t to = line.mid(dash + 1, space - dash - 1).toULongLong(&ok2, 16);
            inside = ok1 && ok2 && from <= at && at < to;
            if (inside)
                found = {from, to, {}};
        } else if (inside && line.startsWith("VmFlags:")) {
            found.flags = line;
        }
    }
    return found;
}

} // namespace

class TestHeapPages : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void smallAllocationsLandInTheMarkedRange()
    {
#if !CORVANE_LARGE_HEAP_PAGES
        QSKIP("this build's allocator is not glibc's own");
#endif
        if (!QFile::exists(QStringLiteral("/sys/kernel/mm/transparent_hugepage/enabled")))
            QSKIP("this kernel has no large pages to give");
        const std::size_t reserve = std::size_t(16) << 20;
        const std::size_t markedBytes = useLargeHeapPages(reserve);
        QVERIFY2(markedBytes >= reserve, QByteArray::number(qulonglong(markedBytes)).constData());
        // Several megabytes of row-sized pieces, as a large document allocates them.
        std::vector<void *> pieces;
        for (int i = 0; i < 40000; ++i)
            pieces.push_back(std::malloc(96 + i % 64));
        // A few may reuse what the heap had freed below the marked range; the bulk is inside it.
        const Mapping marked = mappingOf(pieces.back());
        QVERIFY(marked.to > marked.from);
        QVERIFY2(marked.flags.contains(" hg"), marked.flags.constData());
        const auto inside = [&marked](const void *p) {
            const auto at = reinterpret_cast<std::uintptr_t>(p);
            return at >= marked.from && at < marked.to;
        };
        const auto count = std::count_if(pieces.cbegin(), pieces.cend(), inside);
        QVERIFY2(count >= 36000, QByteArray::number(qlonglong(count)).constData());
        const void *last = pieces.back();
        for (void *p : pieces)
            std::free(p);
        // Freed memory stays with the process for the next rows instead of being faulted in again.
        QCOMPARE(mappingOf(last).to, marked.to);
    }
};

QTEST_GUILESS_MAIN(TestHeapPages)
#include "tst_heappages.moc"
