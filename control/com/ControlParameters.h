// The control's settings as a container keeps them: the parameters of the page
// or form that embeds it ("movie", "quality", "bgcolor", "play"...), read
// through IPersistPropertyBag or from a saved stream, and written back the
// same way. A parameter is text or any value that converts to the member it
// sets; where a parameter has two forms (Quality as "high" or 1, Scale as
// "noborder" or 1), each form is tried in turn.
#pragma once

#include <oaidl.h>

#include <functional>
#include <string_view>

namespace lumbra::com {

class MovieControl;

// Gives the value of a named parameter (names compare without regard to case),
// or false when the container has none.
using ParameterReader = std::function<bool(std::u16string_view name, VARIANT& value)>;
using ParameterWriter = std::function<HRESULT(std::u16string_view name, const VARIANT& value)>;

// Sets every parameter `read` finds, the movie last so that every other
// setting applies to it. A value the control refuses is passed over.
void loadParameters(MovieControl& control, const ParameterReader& read);
// Writes every parameter under its first name; the first failure ends it.
HRESULT saveParameters(MovieControl& control, const ParameterWriter& write);

} // namespace lumbra::com
