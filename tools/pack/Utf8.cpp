#include "tools/pack/Utf8.h"

#include "package/AnsiText.h"
#include "text/Utf8.h"

namespace lumbra::pack {

std::u16string utf8ToUtf16(std::string_view text)
{
    return lumbra::text::decodeUtf8(text);
}

std::string utf16ToUtf8(std::u16string_view text)
{
    return lumbra::text::encodeUtf8(text);
}

std::string utf8ToAnsi(std::string_view text)
{
    return utf16ToAnsi(utf8ToUtf16(text));
}

std::string ansiToUtf8(std::string_view text)
{
    return utf16ToUtf8(ansiToUtf16(text));
}

} // namespace lumbra::pack
