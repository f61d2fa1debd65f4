// The class of regular-expression values, registered as the global "RegExp".
// Its instances are made by the module linker from regular-expression
// literals; its class data holds the match state shared by every regular
// expression of the context.
//
// Scripts read an instance's "lastIndex" (also writable), "source",
// "global", "ignoreCase" and "multiline", and the class object's "input",
// "lastMatch" and "$1" ... "$9" of the last match, search or replace.
#pragma once

#include <cstdint>
#include <string_view>

#include "script/runtime/ScriptValue.h"
#include "script/engine/builtins/RegExpData.h"

namespace orvet {

struct ScriptContext;
struct NativeClass;

// Registers "RegExp" and installs the context's factory for regular-expression
// constants. Returns the class for the String methods.
NativeClass* registerRegExpClass(ScriptContext& ctx);

// A new regular-expression value; raises "RegExp runtime error: ..." when the
// pattern does not compile.
ScriptValue newRegExp(ScriptContext& ctx, NativeClass& regExpClass, std::u16string_view pattern,
                      std::uint8_t flags);

// The data of a regular expression with a compiled pattern, or null when
// value is anything else.
RegExpData* regExpDataOf(const NativeClass& regExpClass, const ScriptValue& value);

RegExpMatchState& regExpMatchState(NativeClass& regExpClass);

}  // namespace orvet
