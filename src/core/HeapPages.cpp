#include "core/HeapPages.h"

#if CORVANE_LARGE_HEAP_PAGES
#include <malloc.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#endif

std::size_t useLargeHeapPages(std::size_t reserve)
{
#if CORVANE_LARGE_HEAP_PAGES
    // Everything up to 32 MB from the one heap, which grows in large steps and is not handed
    // back while the process runs, so the marked range keeps serving the allocations.
    mallopt(M_MMAP_THRESHOLD, 32 << 20);
    mallopt(M_TRIM_THRESHOLD, int(2 * reserve));
    mallopt(M_TOP_PAD, int(reserve));
    // The heap's free top and what follows it is where the next allocations go. (The total
    // the allocator reports counts the other threads' arenas too, so it cannot place the heap.)
    const std::size_t freeTop = mallinfo2().keepcost;
    const std::uintptr_t top = reinterpret_cast<std::uintptr_t>(sbrk(0)) - freeTop;
    // One allocation larger than the free top makes the heap grow now, by the pad as well.
    void *volatile grow = std::malloc(freeTop + (1 << 20));
    std::free(grow);
    const std::uintptr_t end = reinterpret_cast<std::uintptr_t>(sbrk(0));
    const std::uintptr_t page = std::uintptr_t(sysconf(_SC_PAGESIZE));
    const std::uintptr_t start = (top + page - 1) & ~(page - 1);
    if (start >= end)
        return 0;
    // Pages not yet touched cost nothing until used; the kernel may refuse, which only loses
    // the gain.
    if (madvise(reinterpret_cast<void *>(start), end - start, MADV_HUGEPAGE) != 0)
        return 0;
    return end - start;
#else
    (void)reserve;
    return 0;
#endif
}
