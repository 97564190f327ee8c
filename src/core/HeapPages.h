#pragma once

#include <cstddef>

// Puts the process heap on the kernel's 2 MB pages where the kernel grants them on request.
// A document of many thousand rows otherwise takes one page fault per 4 KB it allocates, and on
// a virtual machine each fault can cost as much as reading a row. Returns the bytes marked
// (0 where it does nothing: another allocator, or a sanitizer build).
std::size_t useLargeHeapPages(std::size_t reserve = std::size_t(64) << 20);
