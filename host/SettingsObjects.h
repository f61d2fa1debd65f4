// The settings objects behind "Application.Appearance", ".SizeAndPos",
// ".Interaction", ".Behaviour" and ".SysTray". The first four are live views
// on the player's ProjectSettings: a read gives the current field, a write
// changes it and asks the main window to re-apply what is on screen at once.
// None copies a setting and nothing is written back to the profile.
#pragma once

#include <initializer_list>
#include <memory>
#include <string_view>
#include <utility>

#include "host/HostClassData.h"
#include "script/engine/ClassRegistration.h"
#include "script/runtime/NativeClass.h"

namespace orvet {
struct ScriptEngine;
}

namespace lumbra::host {

struct TrayState;

// Registers the five globals "_Appearance_" ... "_Tray_" (with their "$"
// constants); `host` is the HostPlayer.
void registerSettingsObjects(orvet::ScriptEngine& engine, void* host);

// One settings class: its global, what "toString" answers, its members and
// callbacks. Every settings class answers call and `new` with a new value of
// the class that behaves like the global.
struct SettingsClass {
    std::string_view global;
    std::u16string_view toStringText;
    std::initializer_list<std::string_view> members; // "toString" first
    orvet::NativePropertyFn property = nullptr;
    orvet::NativeMethodFn methods = nullptr; // beyond "toString"
    std::initializer_list<std::pair<std::string_view, std::int64_t>> constants = {};
    std::shared_ptr<TrayState> tray = nullptr;  // for the tray and behaviour objects
    orvet::NativeMarkFn mark = nullptr;         // values the class keeps
};
// The class data of a settings class.
struct SettingsData : HostClassData {
    std::u16string_view toStringText; // a literal of the program
    orvet::NativeMethodFn methods = nullptr;
    std::shared_ptr<TrayState> tray; // for the tray and behaviour objects
};
SettingsData& registerSettingsClass(orvet::ScriptEngine& engine, void* host, const SettingsClass& description);

void registerAppearance(orvet::ScriptEngine& engine, void* host);
void registerSizeAndPos(orvet::ScriptEngine& engine, void* host);
void registerInteraction(orvet::ScriptEngine& engine, void* host);
void registerBehaviour(orvet::ScriptEngine& engine, void* host, std::shared_ptr<TrayState> tray);
void registerTray(orvet::ScriptEngine& engine, void* host, std::shared_ptr<TrayState> tray);

} // namespace lumbra::host
