#include "control/movie/TextCodec.h"

namespace lumbra::movie {

namespace {

char16_t foldUnit(char16_t c) { return c >= u'A' && c <= u'Z' ? char16_t(c + 32) : c; }

} // namespace

std::u16string decodeMovieString(std::string_view bytes, int version)
{
    return version >= 6 ? decodeUtf8(bytes) : decodeWindows1252(bytes);
}

std::u16string fromAscii(std::string_view text) { return {text.begin(), text.end()}; }

std::u16string foldCase(std::u16string_view text)
{
    std::u16string out(text);
    for (char16_t& c : out)
        c = foldUnit(c);
    return out;
}

bool equalsFolded(std::u16string_view a, std::u16string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (foldUnit(a[i]) != foldUnit(b[i]))
            return false;
    return true;
}

} // namespace lumbra::movie
