// A text of a script value that shows its kind and every stored member, so
// that two structures can be compared across engines (prototypes left out).
#pragma once

#include <cstdio>
#include <string>

#include "script/runtime/ScriptArray.h"
#include "script/runtime/ScriptContext.h"
#include "script/runtime/ScriptObject.h"
#include "script/runtime/ScriptString.h"

namespace lumbra::test {

inline std::string dumpValue(orvet::ScriptContext& ctx, const orvet::ScriptValue& v, int depth = 0)
{
    using orvet::ValueKind;
    if (depth > 200)
        return "...";
    char buffer[64];
    switch (v.kind) {
    case ValueKind::Undefined: return "u";
    case ValueKind::Null: return "n";
    case ValueKind::Boolean: return v.boolean ? "true" : "false";
    case ValueKind::Integer: return "i" + std::to_string(v.integer);
    case ValueKind::NaN: return "NaN";
    case ValueKind::Float: std::snprintf(buffer, sizeof buffer, "f%a", v.number); return buffer;
    case ValueKind::String: {
        std::string text = "\"";
        for (char16_t c : v.string->view()) {
            if (c >= 0x20 && c < 0x7f && c != '\\') {
                text += char(c);
            } else {
                std::snprintf(buffer, sizeof buffer, "\\u%04x", unsigned(c));
                text += buffer;
            }
        }
        return text + "\"";
    }
    case ValueKind::Array: {
        std::string text = "[" + std::to_string(v.array->length) + ":";
        std::uint64_t index = 0;
        for (const orvet::ScriptValue* e; (e = orvet::arrayNextStored(*v.array, index, &index)); ++index)
            text += " " + std::to_string(index) + "=" + dumpValue(ctx, *e, depth + 1);
        return text + "]";
    }
    case ValueKind::Object: {
        std::string text = "{";
        for (std::uint32_t i = 0; i < v.object->slotCount; ++i) {
            const orvet::PropertySlot& slot = v.object->slots[i];
            if (slot.atom != orvet::PropertySlot::kDeleted && slot.atom != orvet::kAtomProto)
                text += " " + std::string(ctx.nameOf(slot.atom)) + "=" + dumpValue(ctx, slot.value, depth + 1);
        }
        return text + "}";
    }
    case ValueKind::Function: return "function";
    case ValueKind::Native: return "native";
    default: return "?";
    }
}

inline std::string dumpGlobal(orvet::ScriptContext& ctx, std::string_view name)
{
    return dumpValue(ctx, ctx.global(ctx.intern(name)));
}

} // namespace lumbra::test
