// How a source file lays its scripts out on a movie's timeline. Directive
// lines, each alone on its line:
//   #frame          the next frame's script starts
//   #label NAME     the frame's label
//   #initclip ... #endinitclip
//                   init actions of the frame (run before its frame actions)
//   #clip NAME ... #endclip
//                   a movie clip placed on the frame with the instance name
//                   NAME; the script between is its first frame's actions
//   #export NAME    an empty movie clip symbol exported as NAME from the
//                   frame on, for attachMovie and Object.registerClass
// Each script knows the source line it starts on; a frame's actions have
// empty lines where the frame's other scripts and directives stand.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace lumbra::actionscript {

struct Script {
    std::string source;
    int firstLine = 1;
};

struct ClipScript {
    std::string name;
    Script script;
};

struct FrameLayout {
    std::vector<std::string> labels;
    Script actions;
    std::vector<Script> initActions;
    std::vector<ClipScript> clips;
    std::vector<std::string> exports;
};

// Throws SourceError for a misplaced or unknown directive.
std::vector<FrameLayout> layoutOf(std::string_view source);

} // namespace lumbra::actionscript
