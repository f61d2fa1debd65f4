#include "tools/actionscript/TextEncoding.h"

#include "text/Utf8.h"
#include "text/Windows1252.h"

namespace lumbra::actionscript {

std::string movieText(const std::string& utf8, int version)
{
    if (version >= 6)
        return utf8;
    return text::encodeWindows1252(text::decodeUtf8(utf8));
}

} // namespace lumbra::actionscript
