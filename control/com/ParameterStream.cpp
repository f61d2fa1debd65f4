#include "control/com/ParameterStream.h"

#include "control/com/AsciiText.h"
#include "control/com/ControlParameters.h"
#include "win32/Bstr.h"
#include "win32/Variant.h"

#include <oleauto.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace lumbra::com {

using win32::Bstr;
using win32::bstrView;
using win32::Variant;

namespace {

constexpr std::uint32_t kMagic = 0x3150464C; // "LFP1"
constexpr std::uint32_t kMaxCount = 64;
constexpr std::uint32_t kMaxName = 64;
constexpr std::uint32_t kMaxValue = 1u << 20;

using Entries = std::vector<std::pair<std::u16string, std::u16string>>;

// The parameters as text, in saving order.
HRESULT collect(MovieControl& control, Entries& entries) {
    return saveParameters(control, [&](std::u16string_view name, const VARIANT& value) {
        Variant text;
        HRESULT hr = VariantChangeType(text.get(), const_cast<VARIANT*>(&value), 0, VT_BSTR);
        if (FAILED(hr)) return hr;
        entries.emplace_back(name, bstrView(text.ref().bstrVal));
        return S_OK;
    });
}

void putU32(std::vector<std::uint8_t>& out, std::uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) out.push_back(std::uint8_t(value >> shift));
}

void putText(std::vector<std::uint8_t>& out, std::u16string_view text) {
    putU32(out, std::uint32_t(text.size()));
    for (char16_t c : text) {
        out.push_back(std::uint8_t(c));
        out.push_back(std::uint8_t(c >> 8));
    }
}

std::vector<std::uint8_t> encode(const Entries& entries) {
    std::vector<std::uint8_t> out;
    putU32(out, kMagic);
    putU32(out, std::uint32_t(entries.size()));
    for (const auto& [name, value] : entries) {
        putText(out, name);
        putText(out, value);
    }
    return out;
}

// Reads exactly what is asked for, or fails.
class StreamReader {
public:
    explicit StreamReader(IStream* stream) : stream_(stream) {}

    bool bytes(void* out, ULONG size) {
        ULONG read = 0;
        return SUCCEEDED(stream_->Read(out, size, &read)) && read == size;
    }
    bool u32(std::uint32_t& value) {
        std::uint8_t b[4];
        if (!bytes(b, 4)) return false;
        value = b[0] | b[1] << 8 | b[2] << 16 | std::uint32_t(b[3]) << 24;
        return true;
    }
    bool text(std::u16string& out, std::uint32_t limit) {
        std::uint32_t length = 0;
        if (!u32(length) || length > limit) return false;
        std::vector<std::uint8_t> raw(std::size_t(length) * 2);
        if (!raw.empty() && !bytes(raw.data(), ULONG(raw.size()))) return false;
        out.resize(length);
        for (std::size_t i = 0; i < length; ++i) out[i] = char16_t(raw[2 * i] | raw[2 * i + 1] << 8);
        return true;
    }

private:
    IStream* stream_;
};

} // namespace

HRESULT saveParameterStream(MovieControl& control, IStream* stream) {
    if (!stream) return E_POINTER;
    Entries entries;
    HRESULT hr = collect(control, entries);
    if (FAILED(hr)) return hr;
    auto bytes = encode(entries);
    ULONG written = 0;
    hr = stream->Write(bytes.data(), ULONG(bytes.size()), &written);
    if (FAILED(hr)) return hr;
    return written == bytes.size() ? S_OK : STG_E_MEDIUMFULL;
}

HRESULT loadParameterStream(MovieControl& control, IStream* stream) {
    if (!stream) return E_POINTER;
    StreamReader in(stream);
    std::uint32_t magic = 0, count = 0;
    if (!in.u32(magic) || magic != kMagic || !in.u32(count) || count > kMaxCount) return STG_E_DOCFILECORRUPT;
    // Everything is read before anything is applied: a damaged stream changes nothing.
    Entries entries(count);
    for (auto& [name, value] : entries)
        if (!in.text(name, kMaxName) || !in.text(value, kMaxValue)) return STG_E_DOCFILECORRUPT;
    loadParameters(control, [&](std::u16string_view name, VARIANT& value) {
        for (const auto& [savedName, savedValue] : entries) {
            if (!equalNoCase(savedName, name)) continue;
            Bstr text(savedValue);
            V_VT(&value) = VT_BSTR;
            V_BSTR(&value) = text.detach();
            return true;
        }
        return false;
    });
    return S_OK;
}

ULONGLONG parameterStreamSize(MovieControl& control) {
    Entries entries;
    collect(control, entries);
    return encode(entries).size();
}

} // namespace lumbra::com
