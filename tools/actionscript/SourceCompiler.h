// An ActionScript 1.0 compiler: source text (UTF-8) to the action records a
// DoAction tag holds, written as the authoring tools of SWF 6-8 write them.
// Errors throw SourceError with the line they stand on. movieClasses, where
// given: the dotted names of the classes the movie's other scripts declare,
// which `import a.b.*` brings in as well as the script's own.
#pragma once

#include <cstdint>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "tools/actionscript/SourceError.h"

namespace lumbra::actionscript {

// The supported movie versions.
inline constexpr int kMinVersion = 5;
inline constexpr int kMaxVersion = 10;

// The action records of `source` for a movie of `version`, closed by an End
// record. firstLine: the number of the source's first line in messages.
std::vector<std::uint8_t> compileActions(std::string_view source, int version, int firstLine = 1,
                                         const std::set<std::string>& movieClasses = {});

// A frame's script: its class and interface declarations, which a movie
// holds as init actions run before the frame's actions (empty when there are
// none), and the rest, each closed by an End record.
struct FrameCode {
    std::vector<std::uint8_t> classes;
    std::vector<std::uint8_t> actions;
};
FrameCode compileFrame(std::string_view source, int version, int firstLine = 1,
                       const std::set<std::string>& movieClasses = {});

// A movie clip's script: its first frame's actions, and the handlers its
// top level holds (onClipEvent (load) { ... }, on (press, release) { ... })
// as clip actions, each with its event flags.
struct ClipEventCode {
    std::uint32_t events = 0;
    std::vector<std::uint8_t> actions; // closed by an End record
};
struct ClipCode {
    std::vector<std::uint8_t> actions;
    std::vector<ClipEventCode> events;
};
ClipCode compileClip(std::string_view source, int version, int firstLine = 1,
                     const std::set<std::string>& movieClasses = {});

// A movie of `frames` frames (at least one per script) whose frames hold the
// scripts of `source` in DoAction tags, laid out by its directive lines
// (SourceLayout.h): "#frame" starts the next frame's script, "#label NAME"
// names the frame, "#initclip" and "#clip NAME" blocks add init actions and
// placed clips. Class declarations of a frame's script go to init actions
// of that frame.
std::vector<std::uint8_t> compileMovie(std::string_view source, int version, int frames = 1);

} // namespace lumbra::actionscript
