#include "allocation_counter.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {

std::atomic<std::uint64_t> allocations {0};

void *allocate(std::size_t size)
{
    allocations.fetch_add(1, std::memory_order_relaxed);
    // operator new must return a distinct pointer even for a request of zero bytes.
    if (void *block = std::malloc(size == 0 ? 1 : size)) {
        return block;
    }
    throw std::bad_alloc();
}

void *allocateAligned(std::size_t size, std::align_val_t alignment)
{
    allocations.fetch_add(1, std::memory_order_relaxed);
    const auto align = static_cast<std::size_t>(alignment);
    // aligned_alloc wants a size that is a multiple of the alignment.
    const std::size_t rounded = ((size == 0 ? 1 : size) + align - 1) / align * align;
    if (void *block = std::aligned_alloc(align, rounded)) {
        return block;
    }
    throw std::bad_alloc();
}

} // namespace

// The library's array and non-throwing forms call these, so every allocation is counted once;
// the library's operator delete frees with free(), which matches malloc and aligned_alloc.
void *operator new(std::size_t size)
{
    return allocate(size);
}

void *operator new(std::size_t size, std::align_val_t alignment)
{
    return allocateAligned(size, alignment);
}

namespace tavrin::bench {

std::uint64_t allocationCount()
{
    return allocations.load(std::memory_order_relaxed);
}

} // namespace tavrin::bench
