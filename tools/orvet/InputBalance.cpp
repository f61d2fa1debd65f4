#include "tools/orvet/InputBalance.h"

namespace orvet::tool {

bool needsMoreInput(std::string_view text)
{
    int depth = 0;
    std::size_t i = 0;
    while (i < text.size()) {
        char c = text[i];
        char next = i + 1 < text.size() ? text[i + 1] : '\0';
        if (c == '/' && next == '/') {
            i = text.find('\n', i);
            if (i == std::string_view::npos)
                break;
        } else if (c == '/' && next == '*') {
            std::size_t end = text.find("*/", i + 2);
            if (end == std::string_view::npos)
                return true;
            i = end + 1;
        } else if (c == '"' || c == '\'') {
            // A literal ends at its quote or, unterminated, at the line's end.
            for (++i; i < text.size() && text[i] != c && text[i] != '\n'; ++i)
                if (text[i] == '\\')
                    ++i;
        } else if (c == '(' || c == '[' || c == '{') {
            ++depth;
        } else if (c == ')' || c == ']' || c == '}') {
            --depth;
        }
        ++i;
    }
    return depth > 0;
}

} // namespace orvet::tool
