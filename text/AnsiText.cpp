#include "text/AnsiText.h"

#ifdef _WIN32
#include <windows.h>

#include <climits>
#else
#include "text/Windows1252.h"
#endif

namespace lumbra::text {

#ifdef _WIN32

std::u16string ansiToUtf16(std::string_view ansi)
{
    if (ansi.empty() || ansi.size() > INT_MAX)
        return {};
    const int length = MultiByteToWideChar(CP_ACP, 0, ansi.data(), int(ansi.size()), nullptr, 0);
    std::u16string text(std::size_t(length), u'\0');
    MultiByteToWideChar(CP_ACP, 0, ansi.data(), int(ansi.size()), reinterpret_cast<LPWSTR>(text.data()), length);
    return text;
}

std::string utf16ToAnsi(std::u16string_view text)
{
    if (text.empty() || text.size() > INT_MAX)
        return {};
    const auto units = reinterpret_cast<LPCWSTR>(text.data());
    const int length = WideCharToMultiByte(CP_ACP, 0, units, int(text.size()), nullptr, 0, nullptr, nullptr);
    std::string ansi(std::size_t(length), '\0');
    WideCharToMultiByte(CP_ACP, 0, units, int(text.size()), ansi.data(), length, nullptr, nullptr);
    return ansi;
}

#else

std::u16string ansiToUtf16(std::string_view ansi)
{
    return decodeWindows1252(ansi);
}

std::string utf16ToAnsi(std::u16string_view text)
{
    return encodeWindows1252(text);
}

#endif

} // namespace lumbra::text
