// A compile error: what is wrong and the source line (counted from 1).
#pragma once

#include <stdexcept>
#include <string>

namespace lumbra::actionscript {

class SourceError : public std::runtime_error {
public:
    SourceError(int line, const std::string& message)
        : std::runtime_error("line " + std::to_string(line) + ": " + message), line_(line)
    {
    }

    int line() const { return line_; }

private:
    int line_;
};

} // namespace lumbra::actionscript
