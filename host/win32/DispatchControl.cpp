#include "host/win32/DispatchControl.h"

#include <deque>
#include <string>
#include <vector>

#include "host/PlayerServices.h"
#include "script/runtime/AnsiCodec.h"
#include "win32/Variant.h"

namespace lumbra::host {

namespace {

std::wstring wideName(std::u16string_view name)
{
    return std::wstring(name.begin(), name.end());
}

// A VARIANT that owns its string, made from a ControlValue.
class ArgumentVariant {
public:
    explicit ArgumentVariant(const ControlValue& value)
    {
        VARIANT& v = *variant_.get();
        if (auto* b = std::get_if<bool>(&value)) {
            V_VT(&v) = VT_BOOL;
            V_BOOL(&v) = *b ? VARIANT_TRUE : VARIANT_FALSE;
        } else if (auto* i = std::get_if<std::int32_t>(&value)) {
            V_VT(&v) = VT_I4;
            V_I4(&v) = *i;
        } else if (auto* d = std::get_if<double>(&value)) {
            V_VT(&v) = VT_R8;
            V_R8(&v) = *d;
        } else if (auto* s = std::get_if<std::u16string>(&value)) {
            V_VT(&v) = VT_BSTR;
            V_BSTR(&v) = SysAllocStringLen(reinterpret_cast<const OLECHAR*>(s->data()), static_cast<UINT>(s->size()));
        }
    }
    const VARIANT& get() { return *variant_.get(); }

private:
    win32::Variant variant_;
};

ControlValue fromVariant(const VARIANT& v)
{
    switch (V_VT(&v)) {
    case VT_BOOL: return V_BOOL(&v) != VARIANT_FALSE;
    case VT_I1: return static_cast<std::int32_t>(V_I1(&v));
    case VT_UI1: return static_cast<std::int32_t>(V_UI1(&v));
    case VT_I2: return static_cast<std::int32_t>(V_I2(&v));
    case VT_UI2: return static_cast<std::int32_t>(V_UI2(&v));
    case VT_I4: return static_cast<std::int32_t>(V_I4(&v));
    case VT_UI4: return static_cast<std::int32_t>(V_UI4(&v));
    case VT_INT: return static_cast<std::int32_t>(V_INT(&v));
    case VT_R4: return static_cast<double>(V_R4(&v));
    case VT_R8: return V_R8(&v);
    case VT_BSTR: {
        const BSTR s = V_BSTR(&v);
        return s ? std::u16string(reinterpret_cast<const char16_t*>(s), SysStringLen(s)) : std::u16string();
    }
    default: return std::monostate{};
    }
}

} // namespace

std::optional<ControlValue> DispatchControl::get(std::u16string_view property)
{
    win32::Variant result;
    if (FAILED(services_.getFlashProperty(wideName(property).c_str(), result.get())))
        return std::nullopt;
    return fromVariant(result.ref());
}

bool DispatchControl::put(std::u16string_view property, const ControlValue& value)
{
    if (property == u"Movie") {
        auto* path = std::get_if<std::u16string>(&value);
        return path && services_.loadMovie(orvet::utf16ToAnsi(*path));
    }
    ArgumentVariant v(value);
    return SUCCEEDED(services_.putFlashProperty(wideName(property).c_str(), v.get()));
}

std::optional<ControlValue> DispatchControl::call(std::u16string_view method, std::span<const ControlValue> arguments)
{
    std::deque<ArgumentVariant> owned; // stays in place while it grows
    std::vector<VARIANT> args;
    for (const ControlValue& argument : arguments)
        args.push_back(owned.emplace_back(argument).get());
    win32::Variant result;
    if (FAILED(services_.callFlashMethod(wideName(method).c_str(), args.data(), static_cast<unsigned>(args.size()),
                                         result.get())))
        return std::nullopt;
    return fromVariant(result.ref());
}

} // namespace lumbra::host
