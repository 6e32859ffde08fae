// TComRef: one COM interface reference, released when its holder goes.
#pragma once

#include <utility>

template <class T> class TComRef {
public:
    TComRef() = default;
    // Takes over a reference the caller already holds.
    explicit TComRef(T* p) : p_(p) {}
    ~TComRef() {
        if (p_) p_->Release();
    }
    TComRef(const TComRef&) = delete;
    TComRef& operator=(const TComRef&) = delete;
    TComRef(TComRef&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
    TComRef& operator=(TComRef&& other) noexcept {
        if (this != &other) reset(std::exchange(other.p_, nullptr));
        return *this;
    }

    T* operator->() const { return p_; }
    T* get() const { return p_; }
    // The slot an out-parameter fills; what was held is released first.
    T** put() {
        reset();
        return &p_;
    }
    void reset(T* p = nullptr) {
        if (p_) p_->Release();
        p_ = p;
    }
    // Hands the reference over to the caller.
    T* detach() { return std::exchange(p_, nullptr); }
    explicit operator bool() const { return p_ != nullptr; }

private:
    T* p_ = nullptr;
};
