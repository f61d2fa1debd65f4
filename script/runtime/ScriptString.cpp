#include "script/runtime/ScriptString.h"

#include <cstring>

#include "script/runtime/AnsiCodec.h"
#include "script/runtime/RuntimeError.h"
#include "script/runtime/ScriptContext.h"

namespace orvet {

namespace {

ScriptString* allocateString(ScriptContext& ctx, std::size_t length)
{
    if (length > 0x3FFFFFFF)
        raiseOutOfMemory(ctx);
    auto* s = static_cast<ScriptString*>(ctx.heap.allocate(sizeof(ScriptString) + length * sizeof(char16_t)));
    s->flags = ScriptString::kInlineChars;
    s->length = static_cast<std::uint32_t>(length);
    s->chars = reinterpret_cast<char16_t*>(s + 1);
    s->props = nullptr;
    return s;
}

} // namespace

ScriptString* newString(ScriptContext& ctx, std::u16string_view text)
{
    ScriptString* s = allocateString(ctx, text.size());
    if (!text.empty())
        std::memcpy(s->chars, text.data(), text.size() * sizeof(char16_t));
    return s;
}

ScriptString* newStaticString(ScriptContext& ctx, std::u16string_view text)
{
    auto* s = static_cast<ScriptString*>(ctx.heap.allocate(sizeof(ScriptString)));
    s->flags = ScriptString::kStatic;
    s->length = static_cast<std::uint32_t>(text.size());
    s->chars = const_cast<char16_t*>(text.data());
    s->props = nullptr;
    return s;
}

ScriptString* newStringFromAnsi(ScriptContext& ctx, std::string_view text)
{
    return newString(ctx, ansiToUtf16(text));
}

ScriptString* concatStrings(ScriptContext& ctx, const ScriptString& a, const ScriptString& b)
{
    ScriptString* s = allocateString(ctx, std::size_t(a.length) + b.length);
    if (a.length)
        std::memcpy(s->chars, a.chars, a.length * sizeof(char16_t));
    if (b.length)
        std::memcpy(s->chars + a.length, b.chars, b.length * sizeof(char16_t));
    return s;
}

void growString(ScriptContext& ctx, ScriptString& s, std::uint32_t newLength)
{
    if (newLength <= s.length)
        return;
    if (newLength > 0x3FFFFFFF)
        raiseOutOfMemory(ctx);
    auto* chars = static_cast<char16_t*>(ctx.heap.allocate(std::size_t(newLength) * sizeof(char16_t)));
    if (s.length)
        std::memcpy(chars, s.chars, s.length * sizeof(char16_t));
    // The old characters die with the string record (inline) or at the next
    // collection (a separate block no longer referenced).
    s.chars = chars;
    s.flags &= ~ScriptString::kInlineChars;
    s.length = newLength;
}

std::string toAnsi(const ScriptString& s)
{
    return utf16ToAnsi(s.view());
}

int compareStrings(const ScriptString& a, const ScriptString& b)
{
    int c = a.view().compare(b.view());
    return c < 0 ? -1 : c > 0 ? 1 : 0;
}

} // namespace orvet
