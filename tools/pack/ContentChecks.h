// What the packager checks of the files it packs, so that a wrong file is
// refused at packaging time instead of showing a blank window at run time.
// Each check gives the reason a file is refused, or nothing when it passes.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace lumbra::pack {

// A Flash movie: "FWS" or "CWS" with a version and a file length that fits.
std::optional<std::string> movieProblem(std::span<const std::uint8_t> file);

// A window-shape mask: a u32 byte count, then a region (RGNDATA) of that
// many bytes whose rectangles fit.
std::optional<std::string> maskProblem(std::span<const std::uint8_t> file);

// The movie control: a 32-bit x86 DLL that exports DllGetClassObject, which
// the player calls to create the control without registering it.
std::optional<std::string> controlLibraryProblem(std::span<const std::uint8_t> file);

} // namespace lumbra::pack
