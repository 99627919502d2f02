// operator new and delete for the allocation sweep's test program alone: every block is
// counted while alive, and the program's requests go through the allocation switch, so that
// the k-th one can fail as it would when memory runs out. The blocks come from malloc, so the
// sanitizers still see each one.
#include "platform/sim/SimAllocationFaults.h"

#include <cstddef>
#include <cstdlib>
#include <new>

namespace {

using platform::sim::AllocationFaults;
using platform::sim::AllocationKind;

void* Allocate(std::size_t size, std::size_t alignment) noexcept {
    if (!AllocationFaults::InSystem() && AllocationFaults::Fails(AllocationKind::New)) {
        return nullptr;
    }
    if (size == 0) {
        size = 1;
    }
    void* block = nullptr;
    if (alignment <= alignof(std::max_align_t)) {
        block = std::malloc(size);
    } else if (posix_memalign(&block, alignment, size) != 0) {
        block = nullptr;
    }
    if (block != nullptr) {
        AllocationFaults::BlockAllocated();
    }
    return block;
}

void* AllocateOrThrow(std::size_t size, std::size_t alignment) {
    void* block = Allocate(size, alignment);
    if (block == nullptr) {
        throw std::bad_alloc();
    }
    return block;
}

void Free(void* block) noexcept {
    if (block != nullptr) {
        AllocationFaults::BlockFreed();
        std::free(block);
    }
}

constexpr std::size_t kPlain = alignof(std::max_align_t);

} // namespace

void* operator new(std::size_t size) {
    return AllocateOrThrow(size, kPlain);
}
void* operator new[](std::size_t size) {
    return AllocateOrThrow(size, kPlain);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    return Allocate(size, kPlain);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    return Allocate(size, kPlain);
}
void* operator new(std::size_t size, std::align_val_t alignment) {
    return AllocateOrThrow(size, static_cast<std::size_t>(alignment));
}
void* operator new[](std::size_t size, std::align_val_t alignment) {
    return AllocateOrThrow(size, static_cast<std::size_t>(alignment));
}
void* operator new(std::size_t size, std::align_val_t alignment, const std::nothrow_t&) noexcept {
    return Allocate(size, static_cast<std::size_t>(alignment));
}
void* operator new[](std::size_t size, std::align_val_t alignment, const std::nothrow_t&) noexcept {
    return Allocate(size, static_cast<std::size_t>(alignment));
}

void operator delete(void* block) noexcept {
    Free(block);
}
void operator delete[](void* block) noexcept {
    Free(block);
}
void operator delete(void* block, std::size_t) noexcept {
    Free(block);
}
void operator delete[](void* block, std::size_t) noexcept {
    Free(block);
}
void operator delete(void* block, const std::nothrow_t&) noexcept {
    Free(block);
}
void operator delete[](void* block, const std::nothrow_t&) noexcept {
    Free(block);
}
void operator delete(void* block, std::align_val_t) noexcept {
    Free(block);
}
void operator delete[](void* block, std::align_val_t) noexcept {
    Free(block);
}
void operator delete(void* block, std::size_t, std::align_val_t) noexcept {
    Free(block);
}
void operator delete[](void* block, std::size_t, std::align_val_t) noexcept {
    Free(block);
}
void operator delete(void* block, std::align_val_t, const std::nothrow_t&) noexcept {
    Free(block);
}
void operator delete[](void* block, std::align_val_t, const std::nothrow_t&) noexcept {
    Free(block);
}
