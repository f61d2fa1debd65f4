// Strings in a movie file: UTF-8 from version 6, Windows-1252 before. Source
// text is UTF-8.
#pragma once

#include <string>

namespace lumbra::actionscript {

std::string movieText(const std::string& utf8, int version);

} // namespace lumbra::actionscript
