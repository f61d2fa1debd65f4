#include "package/AnsiText.h"

#include <windows.h>

#include <climits>

namespace lumbra {

std::u16string ansiToUtf16(std::string_view ansi)
{
    if (ansi.empty() || ansi.size() > INT_MAX)
        return {};
    int length = MultiByteToWideChar(CP_ACP, 0, ansi.data(), int(ansi.size()), nullptr, 0);
    std::u16string text(std::size_t(length), u'\0');
    MultiByteToWideChar(CP_ACP, 0, ansi.data(), int(ansi.size()), reinterpret_cast<LPWSTR>(text.data()), length);
    return text;
}

std::string utf16ToAnsi(std::u16string_view text)
{
    if (text.empty() || text.size() > INT_MAX)
        return {};
    auto units = reinterpret_cast<LPCWSTR>(text.data());
    int length = WideCharToMultiByte(CP_ACP, 0, units, int(text.size()), nullptr, 0, nullptr, nullptr);
    std::string ansi(std::size_t(length), '\0');
    WideCharToMultiByte(CP_ACP, 0, units, int(text.size()), ansi.data(), length, nullptr, nullptr);
    return ansi;
}

} // namespace lumbra
