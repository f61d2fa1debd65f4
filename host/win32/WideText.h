// Script strings (UTF-16) and the system's wide-character calls: the same
// units, so the conversions are views.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace lumbra::host {

inline std::wstring wideText(std::u16string_view text)
{
    return {reinterpret_cast<const wchar_t*>(text.data()), text.size()};
}

inline std::u16string_view scriptText(const wchar_t* text, std::size_t length)
{
    return {reinterpret_cast<const char16_t*>(text), length};
}

} // namespace lumbra::host
