// A parsed movie: header, characters and main timeline. Immutable once read;
// the stage plays it.
#pragma once

#include "control/movie/Character.h"
#include "control/movie/MoviePlayer.h"
#include "control/movie/TextCodec.h"
#include "control/movie/TextMetrics.h"
#include "control/movie/Timeline.h"

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <unordered_map>

namespace lumbra::movie {

struct Movie {
    MovieInfo info;
    Dictionary characters;
    Timeline root;
    // ExportAssets: symbols by the name scripts attach them with (folded).
    std::map<std::u16string, std::uint16_t> exports;

    std::optional<std::uint16_t> exported(std::u16string_view name) const
    {
        auto it = exports.find(foldCase(name));
        return it == exports.end() ? std::nullopt : std::optional<std::uint16_t>(it->second);
    }
    // ImportAssets: ids this movie uses for symbols another movie exports,
    // with that movie's URL (relative to this one's) and the export name.
    struct Import {
        std::u16string url;
        std::u16string name;
    };
    std::map<std::uint16_t, Import> imports;
    FieldFonts fieldFonts; // embedded fonts text fields can draw with, by name
    // The pictures (DefineBits*) by character id, for scripts that load them.
    std::unordered_map<std::uint16_t, std::shared_ptr<const PixelBuffer>> pictures;

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
