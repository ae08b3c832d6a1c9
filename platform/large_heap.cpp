#include "platform/large_heap.h"

#include <climits>
#include <cstdint>
#include <cstdlib>

#if defined(__GLIBC__) && defined(__linux__)
#include <malloc.h>
#include <sys/mman.h>
#include <unistd.h>
#endif

namespace paginor {

#if defined(__GLIBC__) && defined(__linux__)

namespace {

constexpr uintptr_t kHugePage = uintptr_t{2} << 20;
// Address space the heap takes at once. Only pages touched cost memory, so a large step costs
// nothing for a small document; the kernel extends a heap advised for huge pages by a region
// of its own that is not advised, so the step is as large as the largest documents need.
constexpr size_t kHeapStep = size_t{1} << 30;

void* volatile keep = nullptr;

}  // namespace

void PrepareLargeHeap() {
  // Large blocks come from the heap too (a mapping of their own would be 4 KB pages), and freed
  // memory stays in the heap for what comes next instead of being given back and faulted in
  // again; a trimmed heap would also lose its advice when it grows again.
  mallopt(M_MMAP_THRESHOLD, 32 << 20);  // the largest value the C library takes
  mallopt(M_TRIM_THRESHOLD, INT_MAX);
  mallopt(M_TOP_PAD, static_cast<int>(kHeapStep));
  const uintptr_t before = reinterpret_cast<uintptr_t>(sbrk(0));
  // More than the heap has left, so that it grows by the step now.
  void* probe = std::malloc(size_t{1} << 20);
  keep = probe;  // the compiler may not drop the pair of malloc and free
  const uintptr_t after = reinterpret_cast<uintptr_t>(sbrk(0));
  const uintptr_t start = (before + kHugePage - 1) & ~(kHugePage - 1);
  const uintptr_t end = after & ~(kHugePage - 1);
  if (end > start)
    madvise(reinterpret_cast<void*>(start), end - start, MADV_HUGEPAGE);  // advice only
  std::free(probe);
}

#else

void PrepareLargeHeap() {}

#endif

}  // namespace paginor
