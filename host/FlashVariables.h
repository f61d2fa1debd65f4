// Moving script values to and from the movie's variables: the data-binding
// updates and FlashPlayer's getArray, putArray, getObject and putObject.
// Everything goes through the control's GetVariable and SetVariable; a
// variable that does not exist gives no text.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "script/runtime/ScriptValue.h"

namespace orvet {
struct ScriptContext;
}

namespace lumbra {
class FlashControl;
}

namespace lumbra::host {

class BoundNames;

std::optional<std::u16string> getVariable(FlashControl& control, std::u16string_view name);
bool setVariable(FlashControl& control, std::u16string_view name, std::u16string_view value);

// toScript: every bound name's variable, converted by the FlashText rule,
// into its box (boxes of missing variables keep their value); otherwise
// every box's text into its variable.
void updateBoundData(orvet::ScriptContext& ctx, FlashControl& control, BoundNames& names, bool toScript);

// name.length and name.0 ... as an Array (at most 5000 elements), else the
// variable's own text split at commas; Undefined when neither exists.
orvet::ScriptValue getArray(orvet::ScriptContext& ctx, FlashControl& control, std::u16string_view name);
// Writes name.0 ... name.(length - 1); not name.length.
void putArray(orvet::ScriptContext& ctx, FlashControl& control, std::u16string_view name, const orvet::ScriptArray& array);
// A new Object with the variables name.p (as Strings) of the property names
// given as texts or arrays of texts from args[2] on; Undefined when an
// argument is neither.
orvet::ScriptValue getObject(orvet::ScriptContext& ctx, FlashControl& control, const orvet::ScriptValue* args);
// Writes name.p for every own property p holding a Boolean, Integer,
// String, Float or Array.
void putObject(orvet::ScriptContext& ctx, FlashControl& control, std::u16string_view name, orvet::ScriptObject* object);

} // namespace lumbra::host
