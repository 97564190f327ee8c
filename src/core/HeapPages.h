#pragma once

#include <cstddef>
#include <cstdlib> // defines __GLIBC__ on glibc

// 1 where the process allocates through glibc's own allocator, which the call below can steer;
// 0 under a sanitizer, which brings its own.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define CORVANE_LARGE_HEAP_PAGES 0
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
#define CORVANE_LARGE_HEAP_PAGES 0
#endif
#endif
#if !defined(CORVANE_LARGE_HEAP_PAGES) && defined(__GLIBC__)
#define CORVANE_LARGE_HEAP_PAGES 1
#elif !defined(CORVANE_LARGE_HEAP_PAGES)
#define CORVANE_LARGE_HEAP_PAGES 0
#endif

// Puts the process heap on the kernel's 2 MB pages where the kernel grants them on request.
// A document of many thousand rows otherwise takes one page fault per 4 KB it allocates, and on
// a virtual machine each fault can cost as much as reading a row. Returns the bytes marked
// (0 where it does nothing: another allocator, or a sanitizer build).
std::size_t useLargeHeapPages(std::size_t reserve = std::size_t(64) << 20);
