// The UI thread's heap, kept in memory ahead of its allocations: a page the process touches for the first
// time costs a page fault, and in a virtual machine a costly one. A burst of points makes new pictures
// (scores, levels, tiles) and the memory under them; each fresh page cost the UI thread microseconds,
// hundreds of them in a burst.
#pragma once

#include <cstddef>

namespace platform {

// Keeps the memory the process frees for its later allocations instead of handing it back to the system,
// takes blocks up to 32 MB from the heap rather than mapping each, and touches `bytes` of heap now so that
// the allocations after it land on pages already in memory. False, with a debug line, where the allocator
// takes no such settings (a sanitizer's). With 0 bytes it only takes the settings. UI thread, at start-up:
// the heap touched is the calling thread's.
bool reserveHeap(std::size_t bytes);

// What the program reserves at start-up: about what the UI thread allocates through a match with both
// screens shown, its caches of pictures included.
constexpr std::size_t kProgramHeapReserve = 96u << 20;

} // namespace platform
