// Owning pointer to a COM interface: one reference, released on destruction.
#pragma once

#include <objbase.h>

#include <utility>

namespace lumbra::win32 {

template <class T>
class ComPtr {
public:
    ComPtr() = default;
    // Shares the caller's pointer: takes a reference of its own.
    explicit ComPtr(T* p) : p_(p) { if (p_) p_->AddRef(); }
    ComPtr(const ComPtr& other) : ComPtr(other.p_) {}
    ComPtr(ComPtr&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
    ~ComPtr() { reset(); }

    ComPtr& operator=(ComPtr other) noexcept {
        std::swap(p_, other.p_);
        return *this;
    }

    // Takes over a reference the caller already owns (a fresh object, an out parameter).
    static ComPtr adopt(T* p) {
        ComPtr result;
        result.p_ = p;
        return result;
    }

    void reset() {
        if (T* p = std::exchange(p_, nullptr)) p->Release();
    }
    // For out parameters: drops the current reference first.
    T** put() {
        reset();
        return &p_;
    }
    // Hands the reference to the caller (an out parameter of ours).
    T* detach() { return std::exchange(p_, nullptr); }

    T* get() const { return p_; }
    T* operator->() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }

    template <class U>
    ComPtr<U> query() const {
        ComPtr<U> result;
        if (p_) p_->QueryInterface(__uuidof(U), reinterpret_cast<void**>(result.put()));
        return result;
    }

private:
    T* p_ = nullptr;
};

} // namespace lumbra::win32
