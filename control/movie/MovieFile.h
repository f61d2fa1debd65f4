// The container of a movie: signature, header and the stream of tags, decompressed
// when the file is compressed.
#pragma once

#include "control/movie/BitReader.h"
#include "control/movie/MoviePlayer.h"

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace lumbra::movie {

struct MovieFile {
    MovieInfo info;
    std::vector<std::uint8_t> tags; // everything after the header
};

// Throws FormatError when the bytes are not a movie.
MovieFile openMovieFile(std::span<const std::uint8_t> bytes);

struct Tag {
    unsigned code = 0;
    std::span<const std::uint8_t> body;
};

// Walks a tag stream. A tag whose length runs past the data ends the stream.
class TagReader {
public:
    explicit TagReader(std::span<const std::uint8_t> data) : in_(data) {}
    std::optional<Tag> next();

private:
    BitReader in_;
};

} // namespace lumbra::movie
