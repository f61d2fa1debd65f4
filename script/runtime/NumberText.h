// Numbers from and to text, independent of the C locale.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "script/runtime/ScriptValue.h"

namespace orvet {

struct ParsedInteger {
    bool ok = false;       // at least one digit was read
    ScriptValue value;     // Integer, or Float when 64 bits overflowed; signed
    std::size_t end = 0;   // position after the last digit
};

// The integer parser shared by ToNumber and parseInt: white space, an
// optional sign, white space, a radix prefix ("0x" for 16; a leading "0"
// means 8 when no radix is given), then digits below the radix. radix 0
// chooses automatically; a radix outside 2-36 reads no digit.
ParsedInteger parseIntegerPrefix(std::u16string_view text, int radix);

// The longest decimal floating-point prefix after white space ("d" and "D"
// also mark the exponent); false when it holds no digit.
bool parseDoublePrefix(std::u16string_view text, double& out);

// ToNumber of a string: Integer, Float or NaN.
ScriptValue stringToNumber(std::u16string_view text);

// Exponents printed with at least three digits ("1e+021"), as the system's
// own C library does, whatever C library this build uses.
std::string widenExponents(std::string text);

// "%g" as the system's C library prints it: six significant digits, an
// exponent with a sign and at least three digits, "1.#INF" for infinities.
std::string formatFloat(double value);
std::string formatInteger(std::int64_t value);

bool isScriptSpace(char16_t c);

} // namespace orvet
