// A parsed movie: header, characters and main timeline. Immutable once read;
// the stage plays it.
#pragma once

#include "control/movie/Character.h"
#include "control/movie/MoviePlayer.h"
#include "control/movie/TextMetrics.h"
#include "control/movie/Timeline.h"

#include <cstdint>
#include <span>

namespace lumbra::movie {

struct Movie {
    MovieInfo info;
    Dictionary characters;
    Timeline root;
    FieldFonts fieldFonts; // embedded fonts text fields can draw with, by name

    const Character* find(std::uint16_t id) const
    {
        auto it = characters.find(id);
        return it == characters.end() ? nullptr : it->second.get();
    }
};

// Throws FormatError when the bytes are not a playable movie. A malformed tag
// inside a playable movie is skipped.
Movie parseMovie(std::span<const std::uint8_t> bytes);

} // namespace lumbra::movie
