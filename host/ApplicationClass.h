// "Application": the running player as scripts see it, its five settings
// objects ("_Appearance_", "_SizeAndPos_", "_Interaction_", "_Behaviour_",
// "_Tray_"), the script timers and the hooks through which a script chooses
// the movie and the control that the player loads.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace orvet {
struct ScriptEngine;
}

namespace lumbra::host {

// Registers "Application" and its settings objects; `host` is the HostPlayer.
void registerApplication(orvet::ScriptEngine& engine, void* host);

// The hooks, for the player. Choosing the first movie asks "onGetMovie",
// choosing the control "onGetFlashPlayer": the text a hook puts into the
// "value" of the object it is handed, or none to go on with the player's own
// choice. "onMovieLoaded" hears the path of each movie that loaded.
enum class ChoiceHook { Movie, FlashPlayer };
std::optional<std::string> askChoiceHook(orvet::ScriptEngine& engine, ChoiceHook hook);
void notifyMovieLoaded(orvet::ScriptEngine& engine, std::string_view path);

} // namespace lumbra::host
