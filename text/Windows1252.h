// The Windows-1252 code page: the "ANSI" text of a Western European system,
// which the native build uses in place of the system code page, and the
// encoding of strings in movie files before version 6.
#pragma once

#include <string>
#include <string_view>

namespace lumbra::text {

// Every byte has a character; the five bytes that Windows-1252 leaves
// undefined map to the C1 control of the same value, as MultiByteToWideChar
// does.
std::u16string decodeWindows1252(std::string_view bytes);
// Unit by unit, as the system's conversion does: a character without a byte
// (a surrogate too, so a pair gives "??") becomes '?'.
std::string encodeWindows1252(std::u16string_view text);

} // namespace lumbra::text
