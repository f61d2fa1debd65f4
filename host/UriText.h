// Percent-encoded UTF-8 text of script strings, by the encoding and decoding
// algorithms of the URI functions ("encodeURI" and friends). Both stop at the
// first fault and give nothing: a lone surrogate when encoding; a broken
// escape, a stray continuation byte, an incomplete or overlong sequence or a
// code point past U+10FFFF when decoding.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace lumbra {

enum class UriScope {
    Whole,     // encodeURI/decodeURI: the reserved characters ";/?:@&=+$,#" stay
    Component, // encodeURIComponent/decodeURIComponent: only the unescaped set stays
};

std::optional<std::u16string> encodeUri(std::u16string_view text, UriScope scope);
std::optional<std::u16string> decodeUri(std::u16string_view text, UriScope scope);

} // namespace lumbra
