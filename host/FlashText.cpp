#include "host/FlashText.h"

#include <cerrno>
#include <cstdlib>
#include <limits>
#include <string>

#include "script/engine/ClassRegistration.h"

namespace lumbra::host {

namespace {

// Numbers are ASCII: any other character ends the number, so it is mapped to
// a byte that no number contains.
std::string asciiOf(std::u16string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (char16_t c : text)
        out.push_back(c < 0x80 && c != 0 ? static_cast<char>(c) : '\x7f');
    return out;
}

struct LongRead {
    std::int32_t value;
    std::size_t used; // characters consumed; 0 when nothing reads as a number
};

LongRead readLong(const std::string& text)
{
    const char* begin = text.c_str();
    char* end = nullptr;
    errno = 0;
    long long v = std::strtoll(begin, &end, 0);
    constexpr long long lo = std::numeric_limits<std::int32_t>::min();
    constexpr long long hi = std::numeric_limits<std::int32_t>::max();
    if (v < lo)
        v = lo;
    if (v > hi)
        v = hi;
    return {static_cast<std::int32_t>(v), static_cast<std::size_t>(end - begin)};
}

// A decimal floating-point number and nothing else: optional blanks and
// sign, digits with at most one point (at least one digit), an optional
// exponent. Spelled-out infinities and hexadecimal floats are text.
bool isDecimalNumber(const std::string& s)
{
    std::size_t i = 0;
    while (i < s.size() && (s[i] == ' ' || (s[i] >= '\t' && s[i] <= '\r')))
        ++i;
    if (i < s.size() && (s[i] == '+' || s[i] == '-'))
        ++i;
    std::size_t digits = 0;
    bool point = false;
    for (; i < s.size(); ++i) {
        if (s[i] >= '0' && s[i] <= '9')
            ++digits;
        else if (s[i] == '.' && !point)
            point = true;
        else
            break;
    }
    if (digits == 0)
        return false;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        ++i;
        if (i < s.size() && (s[i] == '+' || s[i] == '-'))
            ++i;
        std::size_t expDigits = 0;
        while (i < s.size() && s[i] >= '0' && s[i] <= '9')
            ++i, ++expDigits;
        if (expDigits == 0)
            return false;
    }
    return i == s.size();
}

} // namespace

std::optional<std::int32_t> wholeLong(std::u16string_view text)
{
    const std::string ascii = asciiOf(text);
    const LongRead read = readLong(ascii);
    if (read.used != ascii.size())
        return std::nullopt;
    return read.value;
}

std::int32_t leadingLong(std::u16string_view text)
{
    return readLong(asciiOf(text)).value;
}

orvet::ScriptValue flashTextValue(orvet::ScriptContext& ctx, std::u16string_view text)
{
    using orvet::ScriptValue;
    if (text == u"true")
        return ScriptValue::ofBool(true);
    if (text == u"false")
        return ScriptValue::ofBool(false);
    if (text == u"undefined")
        return ScriptValue::undefined();
    if (auto n = wholeLong(text))
        return ScriptValue::ofInt(*n);
    const std::string ascii = asciiOf(text);
    if (isDecimalNumber(ascii))
        return ScriptValue::ofFloat(std::strtod(ascii.c_str(), nullptr));
    return orvet::stringValue(ctx, text);
}

} // namespace lumbra::host
