// Owning BSTR, and the conversions between BSTR and the UTF-16 text of the
// movie core. OLECHAR is a 16-bit unit on Windows, so the casts only rename.
#pragma once

#include <objbase.h>
#include <oleauto.h>

#include <string>
#include <string_view>
#include <utility>

namespace lumbra::win32 {

inline std::u16string_view bstrView(BSTR s) {
    return {reinterpret_cast<const char16_t*>(s), s ? SysStringLen(s) : 0u};
}

class Bstr {
public:
    Bstr() = default;
    explicit Bstr(std::u16string_view text)
        : s_(SysAllocStringLen(reinterpret_cast<const OLECHAR*>(text.data()),
                               static_cast<UINT>(text.size()))) {}
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;
    Bstr(Bstr&& other) noexcept : s_(std::exchange(other.s_, nullptr)) {}
    Bstr& operator=(Bstr&& other) noexcept {
        std::swap(s_, other.s_);
        return *this;
    }
    ~Bstr() { SysFreeString(s_); }

    BSTR get() const { return s_; }
    BSTR* put() {
        SysFreeString(std::exchange(s_, nullptr));
        return &s_;
    }
    BSTR detach() { return std::exchange(s_, nullptr); }
    std::u16string_view view() const { return bstrView(s_); }

private:
    BSTR s_ = nullptr;
};

} // namespace lumbra::win32
