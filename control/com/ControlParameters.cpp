#include "control/com/ControlParameters.h"

#include "control/com/ControlMembers.h"
#include "win32/Variant.h"

#include <array>

namespace lumbra::com {

using win32::Variant;

namespace {

// Up to two of each; an empty one is no more.
using Names = std::array<std::u16string_view, 2>;

struct Parameter {
    // The names a container may use; the first is the one saved.
    Names names;
    // The members that take the value, tried in order; the first is the one saved.
    Names members;
};

// In loading order: the base before the movie that is resolved against it,
// whether to play before the movie that starts playing, the movie last.
const std::array<Parameter, 14> kParameters = {{
    {{u"Base"}, {u"Base"}},
    {{u"Quality", u"Quality2"}, {u"Quality2", u"Quality"}},
    {{u"Scale", u"ScaleMode"}, {u"Scale", u"ScaleMode"}},
    {{u"SAlign", u"AlignMode"}, {u"SAlign", u"AlignMode"}},
    {{u"BGColor", u"BackgroundColor"}, {u"BGColor", u"BackgroundColor"}},
    {{u"Loop"}, {u"Loop"}},
    {{u"Play", u"Playing"}, {u"Playing"}},
    {{u"WMode"}, {u"WMode"}},
    {{u"Menu"}, {u"Menu"}},
    {{u"DeviceFont"}, {u"DeviceFont"}},
    {{u"EmbedMovie"}, {u"EmbedMovie"}},
    {{u"SWRemote"}, {u"SWRemote"}},
    {{u"FlashVars"}, {u"FlashVars"}},
    {{u"Movie", u"Src"}, {u"Movie"}},
}};

DISPID idOf(std::u16string_view member) { return memberId(member).value_or(DISPID_UNKNOWN); }

bool setMember(MovieControl& control, std::u16string_view member, VARIANT& value) {
    DISPID putId = DISPID_PROPERTYPUT;
    DISPPARAMS params = {&value, &putId, 1, 1};
    return SUCCEEDED(invokeMember(control, idOf(member), DISPATCH_PROPERTYPUT, &params, nullptr, nullptr));
}

} // namespace

void loadParameters(MovieControl& control, const ParameterReader& read) {
    for (const Parameter& parameter : kParameters) {
        Variant value;
        bool found = false;
        for (auto name : parameter.names)
            if (!found && !name.empty()) found = read(name, *value.put());
        if (!found) continue;
        for (auto member : parameter.members)
            if (!member.empty() && setMember(control, member, *value.get())) break;
    }
}

HRESULT saveParameters(MovieControl& control, const ParameterWriter& write) {
    for (const Parameter& parameter : kParameters) {
        Variant value;
        DISPPARAMS none = {nullptr, nullptr, 0, 0};
        HRESULT hr = invokeMember(control, idOf(parameter.members[0]), DISPATCH_PROPERTYGET, &none,
                                  value.get(), nullptr);
        if (FAILED(hr)) return hr;
        hr = write(parameter.names[0], value.ref());
        if (FAILED(hr)) return hr;
    }
    return S_OK;
}

} // namespace lumbra::com
