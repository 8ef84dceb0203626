// The global new and delete of these tests go through the counting heap.
#include "support/counting_heap.h"

void* operator new(size_t size) {
    void* block = countingHeap::allocate(size);
    if (!block)
        throw std::bad_alloc();
    return block;
}
void* operator new[](size_t size) {
    return operator new(size);
}
void* operator new(size_t size, const std::nothrow_t&) noexcept {
    return countingHeap::allocate(size);
}
void* operator new[](size_t size, const std::nothrow_t&) noexcept {
    return countingHeap::allocate(size);
}
void operator delete(void* block) noexcept {
    countingHeap::release(block);
}
void operator delete[](void* block) noexcept {
    countingHeap::release(block);
}
void operator delete(void* block, size_t) noexcept {
    countingHeap::release(block);
}
void operator delete[](void* block, size_t) noexcept {
    countingHeap::release(block);
}
void operator delete(void* block, const std::nothrow_t&) noexcept {
    countingHeap::release(block);
}
void operator delete[](void* block, const std::nothrow_t&) noexcept {
    countingHeap::release(block);
}
