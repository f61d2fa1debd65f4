// ActionScript source for the interpreter tests: compiled with the project's
// source compiler into a movie and played headless, as `lumbra-movie play`
// plays it. Compile errors throw actionscript::SourceError ("line N: ...").
#pragma once

#include <string>
#include <string_view>

namespace lumbra::movie::test {

// What the movie of `source` prints over `frames` frames (the first frame is
// the load). A line "#frame" in the source starts the next frame's script.
std::string runSource(std::string_view source, int version = 8, long frames = 1);

// The message a version 8 compile of `source` fails with, or "compiled".
std::string compileError(std::string_view source);

} // namespace lumbra::movie::test
