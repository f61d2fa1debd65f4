// Owning VARIANT: cleared on destruction and before every reuse.
#pragma once

#include <objbase.h>
#include <oleauto.h>

namespace lumbra::win32 {

class Variant {
public:
    Variant() { VariantInit(&v_); }
    Variant(const Variant&) = delete;
    Variant& operator=(const Variant&) = delete;
    ~Variant() { VariantClear(&v_); }

    VARIANT* get() { return &v_; }
    const VARIANT& ref() const { return v_; }
    // Clears the old value and hands out the storage for a new one.
    VARIANT* put() {
        VariantClear(&v_);
        return &v_;
    }
    // Moves the value into the caller's VARIANT (which must hold no value).
    void moveTo(VARIANT* out) {
        *out = v_;
        VariantInit(&v_);
    }

private:
    VARIANT v_;
};

} // namespace lumbra::win32
