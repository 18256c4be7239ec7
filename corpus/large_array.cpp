#include "corpus/large_array.h"

#include <sys/mman.h>

#include <cstdint>
#include <cstdlib>
#include <new>

namespace oc::corpus::large_memory {
namespace {

constexpr std::size_t kHugePage = std::size_t{2} << 20;

// Below this the heap serves: a mapping of its own is not worth a system call.
constexpr std::size_t kMappedFrom = kHugePage;

std::size_t roundUp(std::size_t bytes, std::size_t unit) {
    return (bytes + unit - 1) / unit * unit;
}

}  // namespace

void* allocate(std::size_t bytes) {
    if (bytes < kMappedFrom) {
        void* memory = std::calloc(bytes, 1);
        if (memory == nullptr) {
            throw std::bad_alloc();
        }
        return memory;
    }
    // A huge page must start on a 2 MB boundary: map a little more and give
    // back what lies before the first boundary and after the end.
    const std::size_t length = roundUp(bytes, kHugePage);
    const std::size_t mapped = length + kHugePage;
    void* raw = ::mmap(nullptr, mapped, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (raw == MAP_FAILED) {
        throw std::bad_alloc();
    }
    const auto start = reinterpret_cast<std::uintptr_t>(raw);
    const std::uintptr_t aligned = roundUp(start, kHugePage);
    if (aligned > start) {
        ::munmap(raw, aligned - start);
    }
    const std::size_t tail = start + mapped - (aligned + length);
    if (tail > 0) {
        ::munmap(reinterpret_cast<void*>(aligned + length), tail);
    }
    void* memory = reinterpret_cast<void*>(aligned);
    // Only advice: without huge pages the memory works all the same.
    ::madvise(memory, length, MADV_HUGEPAGE);
    return memory;
}

void release(void* memory, std::size_t bytes) {
    if (memory == nullptr) {
        return;
    }
    if (bytes < kMappedFrom) {
        std::free(memory);
        return;
    }
    ::munmap(memory, roundUp(bytes, kHugePage));
}

}  // namespace oc::corpus::large_memory
