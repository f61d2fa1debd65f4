#include "package/PackagePaths.h"

#include "package/AnsiText.h"

#include <algorithm>

namespace lumbra {

std::filesystem::path pathFromAnsi(std::string_view ansi)
{
    std::u16string text = ansiToUtf16(ansi);
    std::ranges::replace(text, u'\\', u'/');
    return std::filesystem::path(text).make_preferred();
}

std::string ansiFromPath(const std::filesystem::path& path)
{
    return utf16ToAnsi(path.u16string());
}

bool isSafeRelativeName(std::string_view name)
{
    if (name.empty() || name.front() == '\\' || name.front() == '/' || name.find(':') != std::string_view::npos)
        return false;
    std::size_t start = 0;
    while (start <= name.size()) {
        std::size_t end = name.find_first_of("\\/", start);
        if (end == std::string_view::npos)
            end = name.size();
        if (name.substr(start, end - start) == "..")
            return false;
        start = end + 1;
    }
    return true;
}

std::optional<std::filesystem::path> pathInside(const std::filesystem::path& folder, std::string_view name)
{
    if (!isSafeRelativeName(name))
        return std::nullopt;
    return (folder / pathFromAnsi(name)).lexically_normal();
}

} // namespace lumbra
