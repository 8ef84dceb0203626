// Counts every heap block and byte the program allocates through new, so that a test can show that a run gave
// back all it took. The executable that uses it compiles unit/lifetime/counting_heap.cpp, which replaces the global
// new and delete.
#pragma once

#include <cstddef>
#include <new>

#include "engine/platform.h"

namespace countingHeap {
inline long liveBlocks = 0;
inline long long liveBytes = 0;

inline void* allocate(size_t size) {
    void* block = HeapAlloc(GetProcessHeap(), 0, size ? size : 1);
    if (block) {
        ++liveBlocks;
        liveBytes += static_cast<long long>(HeapSize(GetProcessHeap(), 0, block));
    }
    return block;
}

inline void release(void* block) {
    if (!block)
        return;
    --liveBlocks;
    liveBytes -= static_cast<long long>(HeapSize(GetProcessHeap(), 0, block));
    HeapFree(GetProcessHeap(), 0, block);
}
} // namespace countingHeap
