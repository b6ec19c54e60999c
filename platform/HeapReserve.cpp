#include "platform/HeapReserve.h"

#include "platform/DebugOutput.h"

#include <malloc.h>
#include <unistd.h>

#include <cstdlib>
#include <vector>

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define BELVANTA_SANITIZED_ALLOCATOR 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
#define BELVANTA_SANITIZED_ALLOCATOR 1
#endif
#endif

namespace platform {

namespace {

// Blocks below the mapping threshold, so that they come from the heap and, freed, stay in it.
constexpr std::size_t kBlock = 16u << 20;
constexpr int kMapAbove = 32 << 20;

} // namespace

bool reserveHeap(std::size_t bytes) {
#ifdef BELVANTA_SANITIZED_ALLOCATOR
    (void)bytes;
    DebugPrintf("the heap is not reserved ahead: a sanitizer's allocator keeps its own settings");
    return false;
#else
    // Trimming off: freed memory stays for the next allocation. A block above the mapping threshold gets a
    // mapping of its own, fresh pages each time; a fixed threshold also stops glibc from moving it.
    if (mallopt(M_TRIM_THRESHOLD, -1) != 1 || mallopt(M_MMAP_THRESHOLD, kMapAbove) != 1) {
        DebugPrintf("the heap is not reserved ahead: the allocator refused the settings");
        return false;
    }
    const long pageSize = sysconf(_SC_PAGESIZE);
    const auto page = static_cast<std::size_t>(pageSize > 0 ? pageSize : 4096);
    std::vector<char*> blocks;
    for (std::size_t taken = 0; taken < bytes; taken += kBlock) {
        auto* block = static_cast<char*>(std::malloc(kBlock));
        if (!block)
            break;
        for (std::size_t at = 0; at < kBlock; at += page)
            block[at] = 0;
        blocks.push_back(block);
    }
    // Freed in the reverse order they were taken: they join the heap's free top, touched.
    for (auto it = blocks.rbegin(); it != blocks.rend(); ++it)
        std::free(*it);
    return !blocks.empty() || bytes == 0;
#endif
}

} // namespace platform
