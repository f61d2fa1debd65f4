#include "control/movie/LocalFiles.h"

#include "control/movie/TextCodec.h"

#include <fstream>
#include <system_error>

namespace lumbra::movie {

namespace {

// Two or more letters before ':' (one letter is a drive).
std::size_t schemeLength(std::u16string_view url)
{
    std::size_t i = 0;
    while (i < url.size() && ((url[i] >= u'a' && url[i] <= u'z') || (url[i] >= u'A' && url[i] <= u'Z')))
        ++i;
    return i >= 2 && i < url.size() && url[i] == u':' ? i : 0;
}

// Whether `inner` is `folder` itself or below it; both are lexically normal,
// so no ".." is left inside either to climb back out.
bool isWithin(const std::filesystem::path& folder, const std::filesystem::path& inner)
{
    auto i = inner.begin();
    for (auto f = folder.begin(); f != folder.end(); ++f, ++i) {
        if (f->empty() && std::next(f) == folder.end())
            break; // a trailing separator
        if (i == inner.end() || *i != *f)
            return false;
    }
    return true;
}

} // namespace

bool isNetworkUrl(std::u16string_view url)
{
    std::size_t scheme = schemeLength(url);
    return scheme != 0 && !equalsFolded(url.substr(0, scheme), u"file");
}

std::optional<std::filesystem::path> fileInFolder(const std::filesystem::path& folder, std::u16string_view url)
{
    if (folder.empty() || isNetworkUrl(url))
        return std::nullopt;
    url = url.substr(0, url.find_first_of(u"?#"));
    std::u16string text;
    if (schemeLength(url) != 0) {
        std::u16string_view rest = url.substr(5); // after "file:"
        if (rest.starts_with(u"///"))
            rest.remove_prefix(2); // file:///C:/a or file:///home/a
        else if (rest.starts_with(u"//"))
            rest.remove_prefix(2); // file://C:/a
        text = decodePercentEscapes(rest, true, false);
        // "/C:/a" is the drive path C:/a.
        if (text.size() >= 3 && text[0] == u'/' && text[2] == u':')
            text.erase(0, 1);
    } else {
        text = decodePercentEscapes(url, true, false);
    }
    if (text.empty() || text.find(u'\0') != std::u16string::npos)
        return std::nullopt;
    for (char16_t& c : text)
        if (c == u'\\')
            c = u'/';
    std::filesystem::path base = folder.lexically_normal();
    std::filesystem::path named(text);
    std::filesystem::path full = (named.is_absolute() || named.has_root_name() || named.has_root_directory()
                                      ? named
                                      : base / named)
                                     .lexically_normal();
    if (!isWithin(base, full) || full == base || !full.has_filename())
        return std::nullopt;
    return full;
}

std::optional<std::vector<std::uint8_t>> readDataFile(const std::filesystem::path& file)
{
    std::error_code error;
    if (!std::filesystem::is_regular_file(file, error))
        return std::nullopt;
    std::uintmax_t size = std::filesystem::file_size(file, error);
    if (error || size > kMaxDataFileSize)
        return std::nullopt;
    std::ifstream in(file, std::ios::binary);
    if (!in)
        return std::nullopt;
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
    in.read(reinterpret_cast<char*>(bytes.data()), std::streamsize(bytes.size()));
    if (std::size_t(in.gcount()) != bytes.size())
        return std::nullopt;
    return bytes;
}

} // namespace lumbra::movie
