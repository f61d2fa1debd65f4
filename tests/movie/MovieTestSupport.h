// Shared pieces of the movie tests: movies from descriptions, a player that
// records what the movie tells its host, and a canvas that records drawing.
#pragma once

#include "control/movie/Canvas.h"
#include "control/movie/MoviePlayer.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace lumbra::movie::test {

std::vector<std::uint8_t> movieFrom(std::string_view description);
std::string narrow(std::u16string_view text); // ASCII tests only

// A player with recording handlers, loaded from a description.
struct TestPlayer {
    explicit TestPlayer(std::string_view description, bool autoPlay = true);
    std::string var(std::u16string_view path) const; // "<none>" when unset

    MoviePlayer player;
    std::vector<std::string> commands; // "command|args"
    std::vector<std::string> traces;
};

struct RecordingCanvas : Canvas {
    struct FillCall {
        Path path;
        Fill fill;
    };
    void clear(Argb background) override { cleared = background; }
    void fillPath(const Path& path, const Fill& fill) override { fills.push_back({path, fill}); }
    void strokePath(const Path& path, const Stroke& stroke) override { strokes.emplace_back(path, stroke); }
    void drawText(const TextRun& run) override { texts.push_back(run); }

    Argb cleared = 0;
    std::vector<FillCall> fills;
    std::vector<std::pair<Path, Stroke>> strokes;
    std::vector<TextRun> texts;
};

Rect boundsOf(const Path& path);

} // namespace lumbra::movie::test
