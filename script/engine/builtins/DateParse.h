// Reading a date from text in the loose forms that mail headers and people
// write: "Dec 25, 1995 13:30:00 GMT+0100", "12/25/1995", "Mon, 25 Dec 1995".
#pragma once

#include <optional>
#include <string_view>

namespace orvet {

// text is 8-bit (ANSI) text. A date without a zone is local time, converted
// with localTZA (ms, UTC minus local). Gives the time value, or nothing when
// the text is not a date. The value may lie outside the valid range.
std::optional<double> parseDateText(std::string_view text, double localTZA);

}  // namespace orvet
