#include "control/movie/Value.h"

#include "control/movie/DisplayObject.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

namespace lumbra::movie {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

bool isBlank(char16_t c) { return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n'; }

} // namespace

Value::Value(const std::shared_ptr<DisplayObject>& clip)
{
    if (clip)
        data_ = std::shared_ptr<const ClipHandle>(clip->handle());
}

Value::Value(ActionObject* object)
{
    if (object)
        data_ = object;
}

bool Value::sameAs(const Value& other) const
{
    if (type() != other.type())
        return false;
    switch (type()) {
    case Type::Clip: return toClip() == other.toClip();
    case Type::Object: return toObject() == other.toObject();
    case Type::Number: return std::get<double>(data_) == std::get<double>(other.data_);
    case Type::Boolean: return std::get<bool>(data_) == std::get<bool>(other.data_);
    case Type::String: return std::get<std::u16string>(data_) == std::get<std::u16string>(other.data_);
    default: return true;
    }
}

Value::Type Value::type() const
{
    switch (data_.index()) {
    case 1: return Type::Null;
    case 2: return Type::Boolean;
    case 3: return Type::Number;
    case 4: return Type::String;
    case 5: return toClip() ? Type::Clip : Type::Undefined;
    case 6: return Type::Object;
    default: return Type::Undefined;
    }
}

double Value::toNumber(int version) const
{
    switch (type()) {
    case Type::Boolean: return std::get<bool>(data_) ? 1 : 0;
    case Type::Number: return std::get<double>(data_);
    case Type::String: {
        const auto& s = std::get<std::u16string>(data_);
        if (s.empty() && version < 7)
            return 0;
        double n = parseNumber(s, version);
        return std::isnan(n) && version < 5 ? 0 : n;
    }
    case Type::Null:
    case Type::Undefined: return version < 7 ? 0 : kNaN;
    case Type::Clip:
    case Type::Object: return kNaN;
    }
    return kNaN;
}

bool Value::toBoolean(int version) const
{
    switch (type()) {
    case Type::Boolean: return std::get<bool>(data_);
    case Type::Number: {
        double n = std::get<double>(data_);
        return n != 0 && !std::isnan(n);
    }
    case Type::String: {
        // Older players read text as a number; from version 7 any text but "" is true.
        const auto& s = std::get<std::u16string>(data_);
        if (version >= 7)
            return !s.empty();
        double n = toNumber(version);
        return n != 0 && !std::isnan(n);
    }
    case Type::Clip:
    case Type::Object: return true;
    default: return false;
    }
}

std::u16string Value::toString() const
{
    switch (type()) {
    case Type::Null: return u"null";
    case Type::Boolean: return std::get<bool>(data_) ? u"true" : u"false";
    case Type::Number: return numberToString(std::get<double>(data_));
    case Type::String: return std::get<std::u16string>(data_);
    case Type::Clip: return toClip()->targetPath();
    case Type::Object: return u"[object Object]";
    default: return u"undefined";
    }
}

std::shared_ptr<DisplayObject> Value::toClip() const
{
    const ClipHandle* handle = clipHandle();
    return handle ? handle->resolve() : nullptr;
}

const ClipHandle* Value::clipHandle() const
{
    auto handle = std::get_if<std::shared_ptr<const ClipHandle>>(&data_);
    return handle ? handle->get() : nullptr;
}

// Fifteen significant digits, trailing zeros dropped. Plain notation from
// 1e-5 up to 1e15; beyond that "d.ddde+X" with the exponent unpadded.
std::u16string numberToString(double n)
{
    if (std::isnan(n))
        return u"NaN";
    if (std::isinf(n))
        return n > 0 ? u"Infinity" : u"-Infinity";
    if (n == 0)
        return u"0"; // also for -0
    char digits[32];
    std::snprintf(digits, sizeof digits, "%.14e", n); // "-d.dddddddddddddde+XX"
    std::string text = digits;
    std::size_t e = text.find('e');
    int exponent = std::atoi(text.c_str() + e + 1);
    std::string mantissa = text.substr(0, e);
    std::string sign;
    if (mantissa[0] == '-') {
        sign = "-";
        mantissa.erase(0, 1);
    }
    mantissa.erase(1, 1); // the point: 15 digits remain
    while (mantissa.size() > 1 && mantissa.back() == '0')
        mantissa.pop_back();
    std::string out = sign;
    if (exponent >= 15 || exponent < -5) {
        out += mantissa.substr(0, 1);
        if (mantissa.size() > 1)
            out += "." + mantissa.substr(1);
        out += exponent > 0 ? "e+" : "e-";
        out += std::to_string(exponent < 0 ? -exponent : exponent);
    } else if (exponent < 0) {
        out += "0." + std::string(std::size_t(-exponent - 1), '0') + mantissa;
    } else if (mantissa.size() <= std::size_t(exponent) + 1) {
        out += mantissa + std::string(std::size_t(exponent) + 1 - mantissa.size(), '0');
    } else {
        out += mantissa.substr(0, std::size_t(exponent) + 1) + "." + mantissa.substr(std::size_t(exponent) + 1);
    }
    return {out.begin(), out.end()};
}

double parseNumber(std::u16string_view text, int version)
{
    std::size_t begin = 0, end = text.size();
    while (begin < end && isBlank(text[begin]))
        ++begin;
    while (end > begin && isBlank(text[end - 1]))
        --end;
    if (begin == end)
        return kNaN;
    std::string ascii;
    for (std::size_t i = begin; i < end; ++i) {
        if (text[i] > 0x7F)
            return kNaN;
        ascii += char(text[i]);
    }
    bool negative = ascii[0] == '-';
    std::size_t first = (ascii[0] == '-' || ascii[0] == '+') ? 1 : 0;
    std::string_view body = std::string_view(ascii).substr(first);
    if (version >= 6 && body.size() > 1 && body[0] == '0') {
        // From version 6 "0x1F" is hexadecimal and "017" octal, as in source text.
        bool hex = body[1] == 'x' || body[1] == 'X';
        std::string_view digits = body.substr(hex ? 2 : 1);
        auto isDigit = [hex](char c) {
            return hex ? std::isxdigit(static_cast<unsigned char>(c)) != 0 : c >= '0' && c <= '7';
        };
        if (hex || std::ranges::all_of(digits, isDigit)) {
            if (digits.empty() || !std::ranges::all_of(digits, isDigit))
                return kNaN;
            double value = 0;
            for (char c : digits)
                value = value * (hex ? 16 : 8) + (std::isdigit(static_cast<unsigned char>(c)) ? c - '0' : (c | 0x20) - 'a' + 10);
            return negative ? -value : value;
        }
    }
    // Only plain decimal forms: strtod would also take "inf", "nan" and hex floats.
    for (char c : body)
        if (!(std::isdigit(static_cast<unsigned char>(c)) || c == '.' || c == 'e' || c == 'E' || c == '+' || c == '-'))
            return kNaN;
    const char* start = ascii.c_str();
    char* stop = nullptr;
    double value = std::strtod(start, &stop);
    return stop && *stop == '\0' && stop != start ? value : kNaN;
}

} // namespace lumbra::movie
