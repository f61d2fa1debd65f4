// What the player needs from a movie file's header: frame rectangle in
// pixels, frame rate, frame count, background colour, version and length.
#pragma once

#include <cstdint>
#include <filesystem>

namespace lumbra {

struct MovieInfo {
    std::int32_t left = 0, top = 0, right = 0, bottom = 0; // pixels
    std::int32_t frameRate = 0;                           // integer part
    std::uint16_t frameCount = 0;
    std::int32_t backgroundColor = -1; // 0xRRGGBB, -1 when the movie sets none
    std::uint8_t version = 0;
    std::uint32_t fileLength = 0;

    std::int32_t width() const { return right - left; }
    std::int32_t height() const { return bottom - top; }
    friend bool operator==(const MovieInfo&, const MovieInfo&) = default;
};

// Reads a plain ("FWS") or compressed ("CWS") movie, or a projector program
// with a movie appended (the movie's length in its last four bytes). A file
// that cannot be read gives the all-zero info with colour -1.
MovieInfo readMovieInfo(const std::filesystem::path& file);

} // namespace lumbra
