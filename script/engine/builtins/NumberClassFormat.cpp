#include "script/engine/builtins/NumberClassFormat.h"

#include "script/runtime/NumberText.h"

#include <cctype>
#include <cstdio>
#include <variant>

namespace orvet {

namespace {

constexpr std::string_view kFlags = "-+ 0#";
constexpr std::string_view kLengthModifiers = "hlLqjzt";
constexpr std::string_view kIntegerConversions = "diouxXc";
constexpr std::string_view kFloatConversions = "eEfFgGaA";
constexpr std::size_t kMaxDigits = 4;

// A format text split around its only conversion.
struct ParsedFormat {
    std::string prefix;     // literal text before it, "%%" already made "%"
    std::string directive;  // "%" flags width precision, without length or letter
    char conversion = 0;    // 0: no conversion at all
    std::string suffix;
};

bool skipDigits(std::string_view format, std::size_t& pos)
{
    const std::size_t start = pos;
    while (pos < format.size() && std::isdigit(static_cast<unsigned char>(format[pos])))
        ++pos;
    return pos - start <= kMaxDigits;
}

std::optional<ParsedFormat> parseFormat(std::string_view format)
{
    ParsedFormat parsed;
    std::string* literal = &parsed.prefix;
    for (std::size_t pos = 0; pos < format.size();) {
        if (format[pos] != '%') {
            *literal += format[pos++];
            continue;
        }
        if (pos + 1 < format.size() && format[pos + 1] == '%') {
            *literal += '%';
            pos += 2;
            continue;
        }
        if (parsed.conversion != 0)
            return std::nullopt;
        const std::size_t start = pos++;
        while (pos < format.size() && kFlags.find(format[pos]) != std::string_view::npos)
            ++pos;
        if (!skipDigits(format, pos))
            return std::nullopt;
        if (pos < format.size() && format[pos] == '.') {
            ++pos;
            if (!skipDigits(format, pos))
                return std::nullopt;
        }
        parsed.directive = std::string(format.substr(start, pos - start));
        if (format.substr(pos, 3) == "I64")
            pos += 3;
        while (pos < format.size() && kLengthModifiers.find(format[pos]) != std::string_view::npos)
            ++pos;
        if (pos >= format.size())
            return std::nullopt;
        const char conversion = format[pos++];
        if (kIntegerConversions.find(conversion) == std::string_view::npos
            && kFloatConversions.find(conversion) == std::string_view::npos)
            return std::nullopt;
        parsed.conversion = conversion;
        literal = &parsed.suffix;
    }
    return parsed;
}

template <typename... Args>
std::string printfToString(const std::string& format, Args... args)
{
    const int size = std::snprintf(nullptr, 0, format.c_str(), args...);
    if (size <= 0)
        return {};
    std::string out(static_cast<std::size_t>(size) + 1, '\0');
    std::snprintf(out.data(), out.size(), format.c_str(), args...);
    out.resize(static_cast<std::size_t>(size));
    return out;
}

// The text of the conversion alone, the value turned into the kind it wants.
std::string convert(const ParsedFormat& parsed, std::variant<std::int64_t, double> value)
{
    const auto asInteger = [&] {
        if (const auto* d = std::get_if<double>(&value))
            return (*d > -9.2e18 && *d < 9.2e18) ? static_cast<long long>(*d) : 0LL;
        return static_cast<long long>(std::get<std::int64_t>(value));
    };
    if (parsed.conversion == 'c')
        return printfToString(parsed.directive + 'c', static_cast<int>(static_cast<unsigned char>(asInteger())));
    if (kIntegerConversions.find(parsed.conversion) != std::string_view::npos)
        return printfToString(parsed.directive + "ll" + parsed.conversion, asInteger());
    const double number = std::holds_alternative<double>(value)
        ? std::get<double>(value) : static_cast<double>(std::get<std::int64_t>(value));
    return widenExponents(printfToString(parsed.directive + parsed.conversion, number));
}

std::optional<std::string> format(std::string_view text, std::variant<std::int64_t, double> value)
{
    const auto parsed = parseFormat(text);
    if (!parsed)
        return std::nullopt;
    std::string out = parsed->prefix;
    if (parsed->conversion != 0)
        out += convert(*parsed, value);
    return out + parsed->suffix;
}

} // namespace

std::string integerToText(std::int64_t value, int radix)
{
    if (radix < 2 || radix > 36)
        radix = 10;
    // Work on the magnitude as unsigned, so the smallest integer has one too.
    std::uint64_t magnitude = value < 0 ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
    std::string digits;
    do {
        digits.insert(digits.begin(), "0123456789abcdefghijklmnopqrstuvwxyz"[magnitude % radix]);
        magnitude /= radix;
    } while (magnitude != 0);
    if (value < 0)
        digits.insert(digits.begin(), '-');
    return digits;
}

std::optional<std::string> formatNumber(std::string_view text, std::int64_t value)
{
    return format(text, value);
}

std::optional<std::string> formatNumber(std::string_view text, double value)
{
    return format(text, value);
}

} // namespace orvet
