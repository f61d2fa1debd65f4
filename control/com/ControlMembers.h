// The control's members as IDispatch offers them: the properties and methods
// of the control it stands in for, under their names and dispatch ids.
#pragma once

#include <oaidl.h>

#include <optional>
#include <string_view>

namespace lumbra::com {

class MovieControl;

// The dispatch id of a member, found by name without regard to case.
std::optional<DISPID> memberId(std::u16string_view name);

// IDispatch::Invoke on `control`: checks and converts the arguments, runs the
// member and stores its result. Failures are the usual DISP_E_ codes, or
// E_FAIL when the movie refuses the call (no movie, no such clip or frame).
HRESULT invokeMember(MovieControl& control, DISPID id, WORD flags, DISPPARAMS* params,
                     VARIANT* result, UINT* argError);

} // namespace lumbra::com
