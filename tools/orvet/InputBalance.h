// Whether the text typed at the prompt so far is a complete program or still
// waits for lines that close its brackets, braces or comment.
#pragma once

#include <string_view>

namespace orvet::tool {

// True while a "(", "[" or "{" is open or a "/*" comment is unclosed, outside
// string literals and line comments. A text with more closing than opening
// brackets is complete: the compiler reports it.
bool needsMoreInput(std::string_view text);

} // namespace orvet::tool
