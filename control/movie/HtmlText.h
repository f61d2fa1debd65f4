// The plain text of an HTML text field: tags dropped, paragraph and line
// breaks kept as '\r', the common entities decoded.
#pragma once

#include <string>
#include <string_view>

namespace lumbra::movie {

std::u16string plainTextFromHtml(std::u16string_view html);

} // namespace lumbra::movie
