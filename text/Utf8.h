// UTF-8 to and from UTF-16: movie strings from version 6 on, the packager's
// text files and console output.
#pragma once

#include <string>
#include <string_view>

namespace lumbra::text {

// A malformed sequence (a bad lead or continuation byte, a cut-off end, a
// surrogate or a value above U+10FFFF) becomes one U+FFFD for its lead byte.
std::u16string decodeUtf8(std::string_view bytes);
// An unpaired surrogate becomes U+FFFD.
std::string encodeUtf8(std::u16string_view text);

} // namespace lumbra::text
