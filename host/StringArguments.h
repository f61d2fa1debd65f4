// Reading host-method arguments that must be Strings: a missing argument or
// one of another kind gives nothing, so the method can answer with its
// failure result instead of raising.
#pragma once

#include <optional>
#include <string>

#include "script/engine/ClassRegistration.h"
#include "script/runtime/ScriptString.h"

namespace lumbra {

// Argument n (1-based) as 8-bit ANSI text, when it is a String.
inline std::optional<std::string> ansiArgument(const orvet::ScriptValue* args, std::int64_t n)
{
    if (!orvet::hasArgument(args, n) || !args[n].is(orvet::ValueKind::String))
        return std::nullopt;
    return orvet::toAnsi(*args[n].string);
}

} // namespace lumbra
