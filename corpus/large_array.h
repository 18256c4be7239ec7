// Zeroed arrays for the index's large tables. Big ones are mapped straight
// from the kernel, so that they go back to it when freed; small ones come
// from the heap.
#pragma once

#include <cstddef>
#include <type_traits>
#include <utility>

namespace oc::corpus {

namespace large_memory {
// `bytes` of zeroed memory; throws std::bad_alloc when there is none.
void* allocate(std::size_t bytes);
void release(void* memory, std::size_t bytes);
}  // namespace large_memory

// A fixed number of elements whose all-zero bytes are their initial value.
template <typename T>
class LargeArray {
    static_assert(std::is_trivially_copyable_v<T> && std::is_trivially_destructible_v<T>);

  public:
    LargeArray() = default;
    explicit LargeArray(std::size_t count)
        : data_(count == 0 ? nullptr : static_cast<T*>(large_memory::allocate(count * sizeof(T)))),
          size_(count) {}
    ~LargeArray() { large_memory::release(data_, size_ * sizeof(T)); }
    LargeArray(LargeArray&& other) noexcept
        : data_(std::exchange(other.data_, nullptr)), size_(std::exchange(other.size_, 0)) {}
    LargeArray& operator=(LargeArray&& other) noexcept {
        if (this != &other) {
            large_memory::release(data_, size_ * sizeof(T));
            data_ = std::exchange(other.data_, nullptr);
            size_ = std::exchange(other.size_, 0);
        }
        return *this;
    }
    LargeArray(const LargeArray&) = delete;
    LargeArray& operator=(const LargeArray&) = delete;

    std::size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    T& operator[](std::size_t i) { return data_[i]; }
    const T& operator[](std::size_t i) const { return data_[i]; }
    T* begin() { return data_; }
    T* end() { return data_ + size_; }
    const T* begin() const { return data_; }
    const T* end() const { return data_ + size_; }

  private:
    T* data_ = nullptr;
    std::size_t size_ = 0;
};

}  // namespace oc::corpus
