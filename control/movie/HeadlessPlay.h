// Plays a movie without a window, as `lumbra-movie play` does: the load is the
// first frame, each further frame one advance() of the player the control
// uses, and the scripts' time (getTimer, intervals) moves one frame period per
// frame; trace texts go to `write` as UTF-8 lines (carriage returns inside a
// text become line feeds); fscommand("quit") ends the run after its frame.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace lumbra::movie {

// Where the movie's scripts find files: data files (XML, LoadVars,
// loadVariables) and the movies they load in `movie` or below it, none when empty; SharedObject data
// in `sharedObjects`, kept for the run only when empty.
struct HeadlessFolders {
    std::filesystem::path movie;
    std::filesystem::path sharedObjects;
};

// frames < 0: the movie's own frame count. The error when the movie cannot load.
std::optional<std::string> playHeadless(std::span<const std::uint8_t> bytes, long frames,
                                        const std::function<void(std::string_view line)>& write,
                                        const HeadlessFolders& folders = {});

} // namespace lumbra::movie
