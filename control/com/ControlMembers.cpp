#include "control/com/ControlMembers.h"

#include "control/com/AsciiText.h"
#include "win32/Bstr.h"
#include "control/com/MovieControl.h"
#include "win32/Variant.h"
#include "control/com/Version.h"

#include <olectl.h>

#include <array>
#include <cstdio>
#include <string>

namespace lumbra::com {

using win32::Bstr;
using win32::Variant;
using win32::bstrView;

using movie::MoviePlayer;

namespace {

// A call's arguments in call order, each converted to the type the member
// declares: 'i' VT_I4, 's' VT_BSTR, 'b' VT_BOOL, 'd' VT_R8.
class Arguments {
public:
    static constexpr std::size_t kMax = 4;

    // False with `argError` set when an argument cannot be converted.
    bool convert(const DISPPARAMS& params, std::string_view types, UINT* argError) {
        for (std::size_t i = 0; i < types.size(); ++i) {
            // DISPPARAMS holds the arguments last to first.
            UINT index = params.cArgs - 1 - static_cast<UINT>(i);
            VARTYPE type = types[i] == 'i' ? VT_I4 : types[i] == 's' ? VT_BSTR : types[i] == 'b' ? VT_BOOL : VT_R8;
            if (FAILED(VariantChangeType(values_[i].put(), &params.rgvarg[index], 0, type))) {
                if (argError) *argError = index;
                return false;
            }
        }
        return true;
    }

    int integer(std::size_t i) const { return values_[i].ref().lVal; }
    std::u16string_view text(std::size_t i) const { return bstrView(values_[i].ref().bstrVal); }
    bool boolean(std::size_t i) const { return values_[i].ref().boolVal != VARIANT_FALSE; }
    double number(std::size_t i) const { return values_[i].ref().dblVal; }

private:
    std::array<Variant, kMax> values_;
};

void setInteger(Variant& r, int value) {
    VARIANT* v = r.put();
    V_VT(v) = VT_I4;
    V_I4(v) = value;
}

void setBoolean(Variant& r, bool value) {
    VARIANT* v = r.put();
    V_VT(v) = VT_BOOL;
    V_BOOL(v) = value ? VARIANT_TRUE : VARIANT_FALSE;
}

void setNumber(Variant& r, double value) {
    VARIANT* v = r.put();
    V_VT(v) = VT_R8;
    V_R8(v) = value;
}

HRESULT setText(Variant& r, std::u16string_view value) {
    Bstr text(value);
    if (!text.get()) return E_OUTOFMEMORY;
    VARIANT* v = r.put();
    V_VT(v) = VT_BSTR;
    V_BSTR(v) = text.detach();
    return S_OK;
}

HRESULT status(bool ok) { return ok ? S_OK : E_FAIL; }

// Runs a movie call that has no result but success.
HRESULT onMovie(MovieControl& c, const std::function<bool(MoviePlayer&)>& call) {
    return status(c.withMovie(call));
}

template <class T>
HRESULT setOptional(Variant& r, const std::optional<T>& value) {
    if (!value) return E_FAIL;
    if constexpr (std::is_same_v<T, std::u16string>)
        return setText(r, *value);
    else if constexpr (std::is_same_v<T, int>)
        setInteger(r, *value);
    else
        setNumber(r, *value);
    return S_OK;
}

// Quality as a number: 0 low, 1 high, 2 auto-low, 3 auto-high.
constexpr std::array<std::u16string_view, 4> kQualityNumbers = {u"Low", u"High", u"AutoLow", u"AutoHigh"};

int qualityNumber(std::u16string_view quality) {
    for (std::size_t i = 0; i < kQualityNumbers.size(); ++i)
        if (kQualityNumbers[i] == quality) return static_cast<int>(i);
    return 1;
}

// Scale as text, in ScaleMode order.
constexpr std::array<std::u16string_view, 4> kScaleNames = {u"showall", u"noborder", u"exactfit", u"noscale"};

// SAlign letters L, R, T, B in any order and case; the empty text centres.
std::optional<int> alignFlags(std::u16string_view text) {
    int flags = 0;
    for (char16_t c : text) {
        switch (asciiLower(c)) {
        case u'l': flags |= movie::AlignLeft; break;
        case u'r': flags |= movie::AlignRight; break;
        case u't': flags |= movie::AlignTop; break;
        case u'b': flags |= movie::AlignBottom; break;
        default: return std::nullopt;
        }
    }
    return flags;
}

std::u16string alignText(int flags) {
    std::u16string text;
    if (flags & movie::AlignTop) text += u'T';
    if (flags & movie::AlignBottom) text += u'B';
    if (flags & movie::AlignLeft) text += u'L';
    if (flags & movie::AlignRight) text += u'R';
    return text;
}

// BGColor: "#RRGGBB" or "RRGGBB"; the empty text returns to the movie's own.
std::optional<std::int32_t> parseColor(std::u16string_view text) {
    if (text.empty()) return -1;
    if (text.front() == u'#') text.remove_prefix(1);
    if (text.size() != 6) return std::nullopt;
    std::int32_t rgb = 0;
    for (char16_t c : text) {
        int digit = hexDigit(c);
        if (digit < 0) return std::nullopt;
        rgb = rgb * 16 + digit;
    }
    return rgb;
}

std::u16string colorText(std::int32_t rgb) {
    if (rgb < 0) return {};
    char text[8];
    std::snprintf(text, sizeof text, "#%06X", static_cast<unsigned>(rgb));
    return std::u16string(text, text + 7);
}

using Get = HRESULT (*)(MovieControl&, const Arguments&, Variant&);
using Put = HRESULT (*)(MovieControl&, const Arguments&);

struct Member {
    std::u16string_view name;
    DISPID id;
    bool property;
    // A method's argument types, or a property's own type.
    std::string_view types;
    Get get; // the method, or the property's getter
    Put put; // the property's setter; none for methods and read-only properties
};

// Properties kept only for the container to read back.
template <bool StoredProperties::*Field>
constexpr Member storedFlag(std::u16string_view name, DISPID id) {
    return {name, id, true, "b",
            [](MovieControl& c, const Arguments&, Variant& r) { setBoolean(r, c.stored.*Field); return S_OK; },
            [](MovieControl& c, const Arguments& a) { c.stored.*Field = a.boolean(0); return S_OK; }};
}

template <std::u16string StoredProperties::*Field>
constexpr Member storedText(std::u16string_view name, DISPID id) {
    return {name, id, true, "s",
            [](MovieControl& c, const Arguments&, Variant& r) { return setText(r, c.stored.*Field); },
            [](MovieControl& c, const Arguments& a) { c.stored.*Field = a.text(0); return S_OK; }};
}

const Member kMembers[] = {
    // Properties.
    {u"ReadyState", DISPID_READYSTATE, true, "i",
     [](MovieControl& c, const Arguments&, Variant& r) { setInteger(r, c.readyState()); return S_OK; }, nullptr},
    {u"TotalFrames", 0x7c, true, "i",
     [](MovieControl& c, const Arguments&, Variant& r) {
         if (!c.peek()) return E_FAIL;
         setInteger(r, c.peek()->totalFrames());
         return S_OK;
     },
     nullptr},
    {u"Playing", 0x7d, true, "b",
     [](MovieControl& c, const Arguments&, Variant& r) { setBoolean(r, c.playing()); return S_OK; },
     [](MovieControl& c, const Arguments& a) { c.setPlaying(a.boolean(0)); return S_OK; }},
    {u"Quality", 0x69, true, "i",
     [](MovieControl& c, const Arguments&, Variant& r) { setInteger(r, qualityNumber(c.quality())); return S_OK; },
     [](MovieControl& c, const Arguments& a) {
         int n = a.integer(0);
         if (n < 0 || n >= static_cast<int>(kQualityNumbers.size())) return E_INVALIDARG;
         c.setQuality(kQualityNumbers[static_cast<std::size_t>(n)]);
         return S_OK;
     }},
    {u"ScaleMode", 0x78, true, "i",
     [](MovieControl& c, const Arguments&, Variant& r) { setInteger(r, c.scaleMode()); return S_OK; },
     [](MovieControl& c, const Arguments& a) { return c.setScaleMode(a.integer(0)) ? S_OK : E_INVALIDARG; }},
    {u"AlignMode", 0x79, true, "i",
     [](MovieControl& c, const Arguments&, Variant& r) { setInteger(r, c.alignMode()); return S_OK; },
     [](MovieControl& c, const Arguments& a) { return c.setAlignMode(a.integer(0)) ? S_OK : E_INVALIDARG; }},
    {u"BackgroundColor", 0x7b, true, "i",
     [](MovieControl& c, const Arguments&, Variant& r) { setInteger(r, c.backgroundColor()); return S_OK; },
     [](MovieControl& c, const Arguments& a) {
         return c.setBackgroundColor(a.integer(0)) ? S_OK : E_INVALIDARG;
     }},
    {u"Loop", 0x6a, true, "b",
     [](MovieControl& c, const Arguments&, Variant& r) { setBoolean(r, c.loop()); return S_OK; },
     [](MovieControl& c, const Arguments& a) { c.setLoop(a.boolean(0)); return S_OK; }},
    {u"Movie", 0x66, true, "s",
     [](MovieControl& c, const Arguments&, Variant& r) { return setText(r, c.movie()); },
     [](MovieControl& c, const Arguments& a) { return c.loadMovie(a.text(0)); }},
    {u"FrameNum", 0x6b, true, "i",
     [](MovieControl& c, const Arguments&, Variant& r) {
         if (!c.peek()) return E_FAIL;
         setInteger(r, c.peek()->currentFrame());
         return S_OK;
     },
     [](MovieControl& c, const Arguments& a) {
         return onMovie(c, [&](MoviePlayer& p) { return p.gotoFrame(a.integer(0)); });
     }},
    storedText<&StoredProperties::wmode>(u"WMode", 0x85),
    {u"SAlign", 0x86, true, "s",
     [](MovieControl& c, const Arguments&, Variant& r) { return setText(r, alignText(c.alignMode())); },
     [](MovieControl& c, const Arguments& a) {
         auto flags = alignFlags(a.text(0));
         return flags && c.setAlignMode(*flags) ? S_OK : E_INVALIDARG;
     }},
    storedFlag<&StoredProperties::menu>(u"Menu", 0x87),
    {u"Base", 0x88, true, "s",
     [](MovieControl& c, const Arguments&, Variant& r) { return setText(r, c.base()); },
     [](MovieControl& c, const Arguments& a) { c.setBase(a.text(0)); return S_OK; }},
    {u"Scale", 0x89, true, "s",
     [](MovieControl& c, const Arguments&, Variant& r) {
         return setText(r, kScaleNames[static_cast<std::size_t>(c.scaleMode())]);
     },
     [](MovieControl& c, const Arguments& a) {
         for (std::size_t i = 0; i < kScaleNames.size(); ++i)
             if (equalNoCase(kScaleNames[i], a.text(0))) return status(c.setScaleMode(static_cast<int>(i)));
         return E_INVALIDARG;
     }},
    storedFlag<&StoredProperties::deviceFont>(u"DeviceFont", 0x8a),
    storedFlag<&StoredProperties::embedMovie>(u"EmbedMovie", 0x8b),
    {u"BGColor", 0x8c, true, "s",
     [](MovieControl& c, const Arguments&, Variant& r) { return setText(r, colorText(c.backgroundColor())); },
     [](MovieControl& c, const Arguments& a) {
         auto rgb = parseColor(a.text(0));
         return rgb && c.setBackgroundColor(*rgb) ? S_OK : E_INVALIDARG;
     }},
    {u"Quality2", 0x8d, true, "s",
     [](MovieControl& c, const Arguments&, Variant& r) { return setText(r, c.quality()); },
     [](MovieControl& c, const Arguments& a) { return c.setQuality(a.text(0)) ? S_OK : E_INVALIDARG; }},
    storedText<&StoredProperties::swRemote>(u"SWRemote", 0x9f),
    storedText<&StoredProperties::flashVars>(u"FlashVars", 0xaa),

    // Methods.
    {u"SetZoomRect", 0x6d, false, "iiii", [](MovieControl& c, const Arguments& a, Variant&) {
         movie::Rect twips{double(a.integer(0)), double(a.integer(1)), double(a.integer(2)), double(a.integer(3))};
         return onMovie(c, [&](MoviePlayer& p) { p.setZoomRect(twips); return true; });
     }, nullptr},
    {u"Zoom", 0x76, false, "i", [](MovieControl& c, const Arguments& a, Variant&) {
         return onMovie(c, [&](MoviePlayer& p) { p.zoom(a.integer(0)); return true; });
     }, nullptr},
    {u"Pan", 0x77, false, "iii", [](MovieControl& c, const Arguments& a, Variant&) {
         return onMovie(c, [&](MoviePlayer& p) { p.pan(a.integer(0), a.integer(1), a.integer(2)); return true; });
     }, nullptr},
    {u"Play", 0x70, false, "", [](MovieControl& c, const Arguments&, Variant&) { c.setPlaying(true); return S_OK; }, nullptr},
    {u"Stop", 0x71, false, "", [](MovieControl& c, const Arguments&, Variant&) { c.setPlaying(false); return S_OK; }, nullptr},
    {u"Back", 0x72, false, "", [](MovieControl& c, const Arguments&, Variant&) {
         return onMovie(c, [](MoviePlayer& p) { p.back(); return true; });
     }, nullptr},
    {u"Forward", 0x73, false, "", [](MovieControl& c, const Arguments&, Variant&) {
         return onMovie(c, [](MoviePlayer& p) { p.forward(); return true; });
     }, nullptr},
    {u"Rewind", 0x74, false, "", [](MovieControl& c, const Arguments&, Variant&) {
         return onMovie(c, [](MoviePlayer& p) { p.rewind(); return true; });
     }, nullptr},
    {u"StopPlay", 0x7e, false, "", [](MovieControl& c, const Arguments&, Variant&) { c.setPlaying(false); return S_OK; }, nullptr},
    {u"GotoFrame", 0x7f, false, "i", [](MovieControl& c, const Arguments& a, Variant&) {
         return onMovie(c, [&](MoviePlayer& p) { return p.gotoFrame(a.integer(0)); });
     }, nullptr},
    {u"CurrentFrame", 0x80, false, "", [](MovieControl& c, const Arguments&, Variant& r) {
         if (!c.peek()) return E_FAIL;
         setInteger(r, c.peek()->currentFrame());
         return S_OK;
     }, nullptr},
    {u"IsPlaying", 0x81, false, "", [](MovieControl& c, const Arguments&, Variant& r) {
         setBoolean(r, c.peek() && c.peek()->isPlaying());
         return S_OK;
     }, nullptr},
    {u"PercentLoaded", 0x82, false, "", [](MovieControl& c, const Arguments&, Variant& r) {
         setInteger(r, c.peek() ? c.peek()->percentLoaded() : 0);
         return S_OK;
     }, nullptr},
    {u"FrameLoaded", 0x83, false, "i", [](MovieControl& c, const Arguments& a, Variant& r) {
         setBoolean(r, c.peek() && c.peek()->frameLoaded(a.integer(0)));
         return S_OK;
     }, nullptr},
    {u"FlashVersion", 0x84, false, "", [](MovieControl&, const Arguments&, Variant& r) {
         setInteger(r, (LUMBRA_FLASH_MAJOR << 16) | LUMBRA_FLASH_MINOR);
         return S_OK;
     }, nullptr},
    {u"LoadMovie", 0x8e, false, "is", [](MovieControl& c, const Arguments& a, Variant&) {
         return c.loadLevel(a.integer(0), a.text(1));
     }, nullptr},
    {u"TGotoFrame", 0x8f, false, "si", [](MovieControl& c, const Arguments& a, Variant&) {
         return onMovie(c, [&](MoviePlayer& p) { return p.tGotoFrame(a.text(0), a.integer(1)); });
     }, nullptr},
    {u"TGotoLabel", 0x90, false, "ss", [](MovieControl& c, const Arguments& a, Variant&) {
         return onMovie(c, [&](MoviePlayer& p) { return p.tGotoLabel(a.text(0), a.text(1)); });
     }, nullptr},
    {u"TCurrentFrame", 0x91, false, "s", [](MovieControl& c, const Arguments& a, Variant& r) {
         return c.peek() ? setOptional(r, c.peek()->tCurrentFrame(a.text(0))) : E_FAIL;
     }, nullptr},
    {u"TCurrentLabel", 0x92, false, "s", [](MovieControl& c, const Arguments& a, Variant& r) {
         return c.peek() ? setOptional(r, c.peek()->tCurrentLabel(a.text(0))) : E_FAIL;
     }, nullptr},
    {u"TPlay", 0x93, false, "s", [](MovieControl& c, const Arguments& a, Variant&) {
         return onMovie(c, [&](MoviePlayer& p) { return p.tPlay(a.text(0)); });
     }, nullptr},
    {u"TStopPlay", 0x94, false, "s", [](MovieControl& c, const Arguments& a, Variant&) {
         return onMovie(c, [&](MoviePlayer& p) { return p.tStopPlay(a.text(0)); });
     }, nullptr},
    {u"SetVariable", 0x97, false, "ss", [](MovieControl& c, const Arguments& a, Variant&) {
         return onMovie(c, [&](MoviePlayer& p) { return p.setVariable(a.text(0), a.text(1)); });
     }, nullptr},
    {u"GetVariable", 0x98, false, "s", [](MovieControl& c, const Arguments& a, Variant& r) {
         return c.peek() ? setOptional(r, c.peek()->getVariable(a.text(0))) : E_FAIL;
     }, nullptr},
    {u"TSetProperty", 0x99, false, "sis", [](MovieControl& c, const Arguments& a, Variant&) {
         return onMovie(c, [&](MoviePlayer& p) { return p.tSetProperty(a.text(0), a.integer(1), a.text(2)); });
     }, nullptr},
    {u"TGetProperty", 0x9a, false, "si", [](MovieControl& c, const Arguments& a, Variant& r) {
         return c.peek() ? setOptional(r, c.peek()->tGetProperty(a.text(0), a.integer(1))) : E_FAIL;
     }, nullptr},
    {u"TCallFrame", 0x9b, false, "si", [](MovieControl& c, const Arguments& a, Variant&) {
         return onMovie(c, [&](MoviePlayer& p) { return p.tCallFrame(a.text(0), a.integer(1)); });
     }, nullptr},
    {u"TCallLabel", 0x9c, false, "ss", [](MovieControl& c, const Arguments& a, Variant&) {
         return onMovie(c, [&](MoviePlayer& p) { return p.tCallLabel(a.text(0), a.text(1)); });
     }, nullptr},
    {u"TSetPropertyNum", 0x9d, false, "sid", [](MovieControl& c, const Arguments& a, Variant&) {
         return onMovie(c, [&](MoviePlayer& p) { return p.tSetPropertyNum(a.text(0), a.integer(1), a.number(2)); });
     }, nullptr},
    {u"TGetPropertyNum", 0x9e, false, "si", [](MovieControl& c, const Arguments& a, Variant& r) {
         return c.peek() ? setOptional(r, c.peek()->tGetPropertyNum(a.text(0), a.integer(1))) : E_FAIL;
     }, nullptr},
    {u"CallFunction", 0xc6, false, "s", [](MovieControl& c, const Arguments& a, Variant& r) {
         std::u16string result;
         HRESULT hr = c.callFunction(a.text(0), result);
         return SUCCEEDED(hr) ? setText(r, result) : hr;
     }, nullptr},
    {u"SetReturnValue", 0xc7, false, "s", [](MovieControl& c, const Arguments& a, Variant&) {
         c.setReturnValue(a.text(0));
         return S_OK;
     }, nullptr},
    {u"TGetPropertyAsNumber", 0xac, false, "si", [](MovieControl& c, const Arguments& a, Variant& r) {
         return c.peek() ? setOptional(r, c.peek()->tGetPropertyNum(a.text(0), a.integer(1))) : E_FAIL;
     }, nullptr},
};

const Member* findMember(DISPID id) {
    for (const Member& m : kMembers)
        if (m.id == id) return &m;
    return nullptr;
}

} // namespace

std::optional<DISPID> memberId(std::u16string_view name) {
    for (const Member& m : kMembers)
        if (equalNoCase(m.name, name)) return m.id;
    return std::nullopt;
}

HRESULT invokeMember(MovieControl& control, DISPID id, WORD flags, DISPPARAMS* params,
                     VARIANT* result, UINT* argError) {
    const Member* member = findMember(id);
    if (!member) return DISP_E_MEMBERNOTFOUND;
    DISPPARAMS none = {nullptr, nullptr, 0, 0};
    if (!params) params = &none;
    Arguments args;

    if (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) {
        if (!member->put) return DISP_E_MEMBERNOTFOUND;
        if (params->cArgs != 1) return DISP_E_BADPARAMCOUNT;
        bool namedRight = params->cNamedArgs == 0 ||
                          (params->cNamedArgs == 1 && params->rgdispidNamedArgs[0] == DISPID_PROPERTYPUT);
        if (!namedRight) return DISP_E_PARAMNOTFOUND;
        if (!args.convert(*params, member->types, argError)) return DISP_E_TYPEMISMATCH;
        return member->put(control, args);
    }
    if (!(flags & (DISPATCH_METHOD | DISPATCH_PROPERTYGET))) return DISP_E_MEMBERNOTFOUND;
    if (params->cNamedArgs != 0) return DISP_E_NONAMEDARGS;
    std::string_view types = member->property ? std::string_view() : member->types;
    if (params->cArgs != types.size()) return DISP_E_BADPARAMCOUNT;
    if (!args.convert(*params, types, argError)) return DISP_E_TYPEMISMATCH;
    Variant value;
    HRESULT hr = member->get(control, args, value);
    if (SUCCEEDED(hr) && result) {
        VariantInit(result);
        value.moveTo(result);
    }
    return hr;
}

} // namespace lumbra::com
