// Media files the MCI tests write themselves: a PCM wave file of silence of
// a given length and an uncompressed video of a few plain frames, laid out
// as the RIFF formats describe them, so that the system's own drivers read
// them back (their lengths and frame sizes are the tests' known answers).
#pragma once

#include <filesystem>

namespace lumbra::test {

// 8-bit mono PCM at 8000 samples a second: `milliseconds` long, 8 bytes a
// millisecond.
void writeWave(const std::filesystem::path& file, int milliseconds);

// A 24-bit uncompressed AVI of `frames` frames of width x height at 10
// frames a second, with its index.
void writeVideo(const std::filesystem::path& file, int width, int height, int frames);

} // namespace lumbra::test
