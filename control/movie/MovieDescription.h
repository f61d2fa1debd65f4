// Movies from a compact text description (see tools/movie/FORMAT.md): stage,
// shapes, text fields, buttons, sprites, frames and small action scripts.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace lumbra::movie {

class DescriptionError : public std::runtime_error {
public:
    DescriptionError(int line, const std::string& message)
        : std::runtime_error("line " + std::to_string(line) + ": " + message), line_(line)
    {
    }
    int line() const { return line_; }

private:
    int line_;
};

// The movie file the description (UTF-8) gives. Throws DescriptionError.
std::vector<std::uint8_t> buildMovie(std::string_view description);

} // namespace lumbra::movie
