// Reading a native call's arguments the way every host member does: a member
// whose arguments are missing or of the wrong kind does nothing, so each
// reader answers "none" rather than converting.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "script/runtime/NativeClass.h"
#include "script/runtime/ScriptString.h"
#include "script/runtime/ScriptValue.h"
#include "host/HostClassData.h"
#include "script/engine/ClassRegistration.h"

namespace lumbra::host {

class Arguments {
public:
    explicit Arguments(const orvet::ScriptValue* args) : args_(args) {}

    int count() const { return static_cast<int>(orvet::argumentCount(args_)); }
    // Argument n (from 1), or null when it was not passed.
    const orvet::ScriptValue* get(int n) const { return n >= 1 && n <= count() ? &args_[n] : nullptr; }
    bool is(int n, orvet::ValueKind kind) const
    {
        const orvet::ScriptValue* v = get(n);
        return v && v->kind == kind;
    }
    std::optional<std::int64_t> integer(int n) const
    {
        return is(n, orvet::ValueKind::Integer) ? std::optional(args_[n].integer) : std::nullopt;
    }
    // A String argument as ANSI text.
    std::optional<std::string> text(int n) const
    {
        return is(n, orvet::ValueKind::String) ? std::optional(orvet::toAnsi(*args_[n].string)) : std::nullopt;
    }
    const orvet::ScriptString* string(int n) const
    {
        return is(n, orvet::ValueKind::String) ? args_[n].string : nullptr;
    }

private:
    const orvet::ScriptValue* args_;
};

} // namespace lumbra::host
