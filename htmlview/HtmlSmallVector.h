// A vector of plain records whose first N live inside it. A page of short paragraphs has one
// line and one or two source-position runs per section: kept inside the section, they cost no
// heap block of their own, which is most of what building and freeing such a page spends.
#pragma once

#include <algorithm>
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <type_traits>

template <typename T, uint32_t N> class TSmallVector {
    static_assert(std::is_trivially_copyable_v<T> && N > 0);

public:
    TSmallVector() = default;
    TSmallVector(const TSmallVector& o) { *this = o; }
    TSmallVector& operator=(const TSmallVector& o) {
        if (this != &o) {
            clear();
            reserve(o.size_);
            std::copy(o.begin(), o.end(), data());
            size_ = o.size_;
        }
        return *this;
    }

    uint32_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    uint32_t capacity() const { return heap_ ? capacity_ : N; }
    T* data() { return heap_ ? heap_.get() : inline_; }
    const T* data() const { return heap_ ? heap_.get() : inline_; }
    T& operator[](size_t i) { return data()[i]; }
    const T& operator[](size_t i) const { return data()[i]; }
    T& at(size_t i) { return i < size_ ? data()[i] : throw std::out_of_range("TSmallVector"); }
    const T& at(size_t i) const { return i < size_ ? data()[i] : throw std::out_of_range("TSmallVector"); }
    T& front() { return data()[0]; }
    const T& front() const { return data()[0]; }
    T& back() { return data()[size_ - 1]; }
    const T& back() const { return data()[size_ - 1]; }
    T* begin() { return data(); }
    T* end() { return data() + size_; }
    const T* begin() const { return data(); }
    const T* end() const { return data() + size_; }

    void push_back(const T& item) {
        if (size_ == capacity()) {
            const T copy = item; // item may live in this vector
            reserve(size_ * 2);
            data()[size_++] = copy;
            return;
        }
        data()[size_++] = item;
    }
    void pop_back() { --size_; }
    // Keeps the room it has.
    void clear() { size_ = 0; }
    void reserve(uint32_t n) {
        if (n <= capacity()) return;
        std::unique_ptr<T[]> grown(new T[n]);
        std::copy(begin(), end(), grown.get());
        heap_ = std::move(grown);
        capacity_ = n;
    }
    // Gives back the room beyond the items: back inside when they fit.
    void shrink_to_fit() {
        if (!heap_ || (capacity_ == size_ && size_ > N)) return;
        if (size_ <= N) {
            std::copy(begin(), end(), inline_);
            heap_.reset();
            capacity_ = 0;
            return;
        }
        std::unique_ptr<T[]> exact(new T[size_]);
        std::copy(begin(), end(), exact.get());
        heap_ = std::move(exact);
        capacity_ = size_;
    }

private:
    T inline_[N];
    std::unique_ptr<T[]> heap_; // the items when more than N were ever held, else null
    uint32_t size_ = 0;
    uint32_t capacity_ = 0; // of heap_
};
