// The XML form in which values cross between a movie and its container
// (ExternalInterface.call, the control's CallFunction and SetReturnValue):
// <string>a</string>, <number>1</number>, <true/>, <false/>, <null/>,
// <undefined/>, <array><property id="0">...</property></array> and
// <object><property id="name">...</property></object>; a call is
// <invoke name="f" returntype="xml"><arguments>...</arguments></invoke>.
#pragma once

#include "control/movie/actions/Machine.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lumbra::movie {

std::u16string encodeExternal(Machine& m, const Value& value);
// Text that is not one value decodes to undefined.
Value decodeExternal(Machine& m, std::u16string_view xml);

std::u16string encodeInvoke(Machine& m, std::u16string_view name, std::span<const Value> args);

struct Invocation {
    std::u16string name;
    std::vector<Value> args;
};
// Nothing when the text is not an invoke element with a name.
std::optional<Invocation> decodeInvoke(Machine& m, std::u16string_view xml);

} // namespace lumbra::movie
