// Replaces the global operator new of the test program; it only records sizes.
#include "allocation_probe.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {

std::atomic<bool> watching{false};
std::atomic<std::size_t> largestSize{0};

void *allocate(std::size_t size) {
    if (watching.load(std::memory_order_relaxed)) {
        std::size_t seen = largestSize.load(std::memory_order_relaxed);
        while (size > seen && !largestSize.compare_exchange_weak(seen, size)) {
        }
    }
    if (void *p = std::malloc(size == 0 ? 1 : size))
        return p;
    throw std::bad_alloc();
}

} // namespace

void *operator new(std::size_t size) {
    return allocate(size);
}
void *operator new[](std::size_t size) {
    return allocate(size);
}
void operator delete(void *p) noexcept {
    std::free(p);
}
void operator delete[](void *p) noexcept {
    std::free(p);
}
void operator delete(void *p, std::size_t) noexcept {
    std::free(p);
}
void operator delete[](void *p, std::size_t) noexcept {
    std::free(p);
}

AllocationProbe::AllocationProbe() {
    largestSize = 0;
    watching = true;
}

AllocationProbe::~AllocationProbe() {
    watching = false;
}

std::size_t AllocationProbe::largest() const {
    return largestSize.load();
}
