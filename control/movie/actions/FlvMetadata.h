// The parts of an FLV video file that a player without a video decoder
// still reads: the header (signature "FLV", version 1, audio and video
// flags) and the script data tags near the start, whose AMF0 values carry
// the onMetaData call (duration, width, height, framerate ...).
#pragma once

#include "control/movie/actions/Machine.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace lumbra::movie {

struct FlvScriptCall {
    std::u16string name; // "onMetaData", "onCuePoint" ...
    std::vector<Value> args;
};

struct FlvFile {
    bool hasAudio = false;
    bool hasVideo = false;
    std::vector<FlvScriptCall> calls; // of the script tags read, in file order
};

// Nothing when the bytes are not an FLV file. Tags are read until the
// first that is cut short or malformed; only the first few count.
std::optional<FlvFile> readFlv(Machine& m, std::span<const std::uint8_t> bytes);

} // namespace lumbra::movie
