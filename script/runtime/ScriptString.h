// Script strings: UTF-16 code units without terminator, allocated in the
// context's heap. A static string points at characters the heap does not own
// (program text, constants); other strings own theirs.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace orvet {

struct ScriptContext;
struct ScriptObject;

struct ScriptString {
    static constexpr std::uint32_t kStatic = 1;      // characters not owned by the heap
    static constexpr std::uint32_t kInlineChars = 2; // characters follow the record

    std::uint32_t flags;
    std::uint32_t length; // in UTF-16 code units
    char16_t* chars;      // may be null when length is 0
    ScriptObject* props;  // property object, made on first use

    bool isStatic() const { return flags & kStatic; }
    std::u16string_view view() const { return {chars, length}; }
};

// A new non-static string with a copy of the characters.
ScriptString* newString(ScriptContext& ctx, std::u16string_view text);
// A static string pointing at text that outlives it.
ScriptString* newStaticString(ScriptContext& ctx, std::u16string_view text);
// From 8-bit ANSI text.
ScriptString* newStringFromAnsi(ScriptContext& ctx, std::string_view text);
// a followed by b, as a new string.
ScriptString* concatStrings(ScriptContext& ctx, const ScriptString& a, const ScriptString& b);
// Grows a non-static string to newLength units (new units are not set).
void growString(ScriptContext& ctx, ScriptString& s, std::uint32_t newLength);

// The string as 8-bit ANSI text.
std::string toAnsi(const ScriptString& s);
// By code units; a prefix is smaller. Negative, zero or positive.
int compareStrings(const ScriptString& a, const ScriptString& b);

} // namespace orvet
