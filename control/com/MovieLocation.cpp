#include "control/com/MovieLocation.h"

#include "control/com/AsciiText.h"

#include <windows.h>

namespace lumbra::com {

namespace {

// Percent escapes stand for UTF-8 bytes; a malformed escape stays as it is.
std::u16string percentDecoded(std::u16string_view text) {
    std::string bytes;
    std::u16string out;
    auto flush = [&] {
        if (bytes.empty()) return;
        int n = MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
        std::u16string decoded(static_cast<std::size_t>(n), u'\0');
        MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()),
                            reinterpret_cast<wchar_t*>(decoded.data()), n);
        out += decoded;
        bytes.clear();
    };
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == u'%' && i + 2 < text.size() && hexDigit(text[i + 1]) >= 0 &&
            hexDigit(text[i + 2]) >= 0) {
            bytes.push_back(static_cast<char>(hexDigit(text[i + 1]) * 16 + hexDigit(text[i + 2])));
            i += 2;
            continue;
        }
        flush();
        out.push_back(text[i]);
    }
    flush();
    return out;
}

bool hasScheme(std::u16string_view text) {
    // A scheme is two or more letters before ':' (one letter is a drive).
    std::size_t i = 0;
    while (i < text.size() && ((text[i] >= u'a' && text[i] <= u'z') || (text[i] >= u'A' && text[i] <= u'Z')))
        ++i;
    return i >= 2 && i < text.size() && text[i] == u':';
}

// A path or file: URL as a Windows path; nothing for other schemes.
std::optional<std::u16string> localPath(std::u16string_view location) {
    std::u16string path;
    if (startsWithNoCase(location, u"file:")) {
        std::u16string_view rest = location.substr(5);
        // file://server/share keeps its two slashes: a UNC path.
        if (rest.starts_with(u"///"))
            rest.remove_prefix(3);
        else if (rest.starts_with(u"//") && rest.size() > 3 && rest[3] == u':')
            rest.remove_prefix(2); // file://C:/...
        if (rest.find_first_not_of(u'/') == std::u16string_view::npos) return std::nullopt;
        path = percentDecoded(rest);
    } else if (hasScheme(location)) {
        return std::nullopt;
    } else {
        path = location;
    }
    for (char16_t& c : path)
        if (c == u'/') c = u'\\';
    return path;
}

bool isAbsolute(std::u16string_view path) {
    return (path.size() >= 2 && path[1] == u':') || path.starts_with(u"\\");
}

} // namespace

std::optional<std::u16string> resolveMovieLocation(std::u16string_view location,
                                                   std::u16string_view base) {
    auto path = localPath(location);
    if (!path || path->empty()) return std::nullopt;
    if (isAbsolute(*path) || base.empty()) return path;
    auto folder = localPath(base);
    if (!folder) return std::nullopt;
    if (!folder->empty() && folder->back() != u'\\') folder->push_back(u'\\');
    return *folder + *path;
}

bool isNetworkLocation(std::u16string_view location, std::u16string_view base) {
    auto remote = [](std::u16string_view text) { return hasScheme(text) && !startsWithNoCase(text, u"file:"); };
    if (remote(location)) return true;
    bool relative = !hasScheme(location) && !isAbsolute(location);
    return relative && remote(base);
}

std::optional<std::vector<std::uint8_t>> readMovieFile(const std::u16string& path) {
    HANDLE file = CreateFileW(reinterpret_cast<const wchar_t*>(path.c_str()), GENERIC_READ,
                              FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return std::nullopt;
    std::optional<std::vector<std::uint8_t>> result;
    LARGE_INTEGER size;
    if (GetFileSizeEx(file, &size) && static_cast<std::uint64_t>(size.QuadPart) <= kMaxMovieFileSize) {
        std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size.QuadPart));
        DWORD read = 0;
        if (bytes.empty() ||
            (ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) &&
             read == bytes.size()))
            result = std::move(bytes);
    }
    CloseHandle(file);
    return result;
}

} // namespace lumbra::com
