// The prompt's input: on a terminal, lines are edited and kept in a history
// (the line-editing library natively, the console's own editing on
// Windows); from a pipe or a file, lines are read as they come, without a
// prompt.
#pragma once

#include <optional>
#include <string>

namespace orvet::tool {

class LineReader {
public:
    LineReader();
    ~LineReader();
    LineReader(const LineReader&) = delete;
    LineReader& operator=(const LineReader&) = delete;

    // The next line without its end, or nothing at the end of the input.
    // The prompt is shown only on a terminal.
    std::optional<std::string> read(const char* prompt);
    // Adds an entered program to the history (on a terminal).
    void remember(const std::string& text);
    bool interactive() const { return terminal_; }

private:
    bool terminal_;
};

} // namespace orvet::tool
