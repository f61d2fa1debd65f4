#include "script/runtime/NumberText.h"

#include <bit>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>

namespace orvet {

namespace {

int digitValue(char16_t c)
{
    if (c >= u'0' && c <= u'9')
        return c - u'0';
    if (c >= u'a' && c <= u'z')
        return c - u'a' + 10;
    if (c >= u'A' && c <= u'Z')
        return c - u'A' + 10;
    return 99;
}

std::size_t skipSpace(std::u16string_view text, std::size_t i)
{
    while (i < text.size() && isScriptSpace(text[i]))
        ++i;
    return i;
}

// Digits of a power-of-two radix, correctly rounded to 53 bits.
double binaryDigitsToDouble(std::u16string_view digits, int radix)
{
    const int bitsPerDigit = std::countr_zero(static_cast<unsigned>(radix));
    std::uint64_t mantissa = 0;
    int used = 0;
    int exponent = 0;
    bool sticky = false;
    for (char16_t c : digits) {
        int d = digitValue(c);
        for (int b = bitsPerDigit - 1; b >= 0; --b) {
            bool bit = (d >> b) & 1;
            if (used == 0 && !bit)
                continue;
            if (used < 64) {
                mantissa = mantissa << 1 | bit;
                ++used;
            } else {
                ++exponent;
                sticky |= bit;
            }
        }
    }
    if (used > 53) {
        int shift = used - 53;
        std::uint64_t low = mantissa & ((std::uint64_t(1) << shift) - 1);
        std::uint64_t half = std::uint64_t(1) << (shift - 1);
        mantissa >>= shift;
        exponent += shift;
        if (low > half || (low == half && (sticky || (mantissa & 1))))
            ++mantissa;
    }
    return std::ldexp(static_cast<double>(mantissa), exponent);
}

} // namespace

bool isScriptSpace(char16_t c)
{
    if ((c >= 0x09 && c <= 0x0D) || c == 0x20)
        return true;
    return c == 0x85 || c == 0xA0 || c == 0x1680 || (c >= 0x2000 && c <= 0x200A) || c == 0x2028 ||
           c == 0x2029 || c == 0x202F || c == 0x205F || c == 0x3000;
}

ParsedInteger parseIntegerPrefix(std::u16string_view text, int radix)
{
    ParsedInteger result;
    std::size_t i = skipSpace(text, 0);
    bool negative = false;
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+'))
        negative = text[i++] == u'-';
    i = skipSpace(text, i);
    bool hexPrefix = i + 1 < text.size() && text[i] == u'0' && (text[i + 1] == u'x' || text[i + 1] == u'X');
    if (radix == 0)
        radix = hexPrefix ? 16 : (i < text.size() && text[i] == u'0') ? 8 : 10;
    if (radix == 16 && hexPrefix)
        i += 2;
    if (radix < 2 || radix > 36)
        return result;

    const std::size_t start = i;
    std::uint64_t value = 0;
    double approx = 0;
    bool overflow = false;
    for (; i < text.size(); ++i) {
        int d = digitValue(text[i]);
        if (d >= radix)
            break;
        if (value > (std::uint64_t(std::numeric_limits<std::int64_t>::max()) - d) / radix)
            overflow = true;
        value = value * radix + d;
        approx = approx * radix + d;
    }
    if (i == start)
        return result;
    result.ok = true;
    result.end = i;
    if (!overflow) {
        auto v = static_cast<std::int64_t>(value);
        result.value = ScriptValue::ofInt(negative ? -v : v);
        return result;
    }
    std::u16string_view digits = text.substr(start, i - start);
    double d = approx;
    if (radix == 10)
        parseDoublePrefix(digits, d);
    else if (std::has_single_bit(static_cast<unsigned>(radix)))
        d = binaryDigitsToDouble(digits, radix);
    result.value = ScriptValue::ofFloat(negative ? -d : d);
    return result;
}

bool parseDoublePrefix(std::u16string_view text, double& out)
{
    std::size_t i = skipSpace(text, 0);
    std::string ascii;
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+'))
        ascii += static_cast<char>(text[i++]);
    std::size_t digits = 0;
    int pointPosition = -1; // digits before the point
    int firstNonZero = -1;  // index among the digits
    for (; i < text.size(); ++i) {
        char16_t c = text[i];
        if (c >= u'0' && c <= u'9') {
            if (c != u'0' && firstNonZero < 0)
                firstNonZero = static_cast<int>(digits);
            ++digits;
            ascii += static_cast<char>(c);
        } else if (c == u'.' && pointPosition < 0) {
            pointPosition = static_cast<int>(digits);
            ascii += '.';
        } else {
            break;
        }
    }
    if (digits == 0)
        return false;
    long exponent = 0;
    if (i < text.size() && (text[i] == u'e' || text[i] == u'E' || text[i] == u'd' || text[i] == u'D')) {
        std::size_t j = i + 1;
        bool negative = false;
        if (j < text.size() && (text[j] == u'-' || text[j] == u'+'))
            negative = text[j++] == u'-';
        if (j < text.size() && text[j] >= u'0' && text[j] <= u'9') {
            ascii += negative ? "e-" : "e";
            for (; j < text.size() && text[j] >= u'0' && text[j] <= u'9'; ++j) {
                ascii += static_cast<char>(text[j]);
                if (exponent < 100000)
                    exponent = exponent * 10 + (text[j] - u'0');
            }
            if (negative)
                exponent = -exponent;
        }
    }
    const char* first = ascii.data();
    bool negative = *first == '-';
    if (*first == '-' || *first == '+')
        ++first;
    double value = 0;
    auto [ptr, ec] = std::from_chars(first, ascii.data() + ascii.size(), value);
    if (ec == std::errc::result_out_of_range) {
        // The decimal exponent of the leading digit tells overflow from underflow.
        long integerDigits = pointPosition < 0 ? static_cast<long>(digits) : pointPosition;
        long magnitude = integerDigits - firstNonZero + exponent;
        value = magnitude > 0 ? std::numeric_limits<double>::infinity() : 0.0;
    }
    out = negative ? -value : value;
    return true;
}

ScriptValue stringToNumber(std::u16string_view text)
{
    if (text.empty())
        return ScriptValue::ofInt(0);
    ParsedInteger parsed = parseIntegerPrefix(text, 0);
    if (parsed.ok) {
        char16_t next = parsed.end < text.size() ? text[parsed.end] : u'\0';
        if (next != u'.' && next != u'e' && next != u'E' && next != u'd' && next != u'D')
            return parsed.value;
    }
    double d;
    if (!parseDoublePrefix(text, d))
        return ScriptValue::nan();
    return ScriptValue::ofFloat(d);
}

std::string widenExponents(std::string text)
{
    for (std::size_t pos = 0; pos + 2 < text.size(); ++pos) {
        if ((text[pos] != 'e' && text[pos] != 'E') || (text[pos + 1] != '+' && text[pos + 1] != '-')
            || !std::isdigit(static_cast<unsigned char>(text[pos + 2])))
            continue;
        std::size_t end = pos + 2;
        while (end < text.size() && std::isdigit(static_cast<unsigned char>(text[end])))
            ++end;
        if (end - (pos + 2) < 3)
            text.insert(pos + 2, 3 - (end - (pos + 2)), '0');
    }
    return text;
}

std::string formatFloat(double value)
{
    if (std::isinf(value))
        return value < 0 ? "-1.#INF" : "1.#INF";
    if (std::isnan(value))
        return std::signbit(value) ? "-1.#IND" : "1.#QNAN";
    char buffer[64];
    auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 6);
    return widenExponents(std::string(buffer, end));
}

std::string formatInteger(std::int64_t value)
{
    char buffer[24];
    auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, end);
}

} // namespace orvet
