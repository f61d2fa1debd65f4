// "ANSI" text: the system code page (CP_ACP) on Windows, Windows-1252 in the
// native build, so that texts convert there exactly as on a Western European
// system. The one place that knows which code page a build uses.
#pragma once

#include <string>
#include <string_view>

namespace lumbra::text {

// Characters without an ANSI form become '?'.
std::u16string ansiToUtf16(std::string_view ansi);
std::string utf16ToAnsi(std::u16string_view text);

} // namespace lumbra::text
