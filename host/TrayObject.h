// "_Tray_" ("Application.SysTray"): the tray icon, its tip and balloon, and
// the script handlers of its mouse messages. "Application.Behaviour"'s
// "bShowInSystemTray" shows and removes the same icon.
#pragma once

#include <memory>
#include <string>

#include "host/HostPlayer.h"
#include "script/runtime/ScriptValue.h"

namespace orvet {
struct ScriptEngine;
}

namespace lumbra::host {

enum class TrayMouse { Move, LeftUp, RightUp, LeftDoubleClick, RightDoubleClick };
inline constexpr int kTrayHandlerCount = 5;

struct TrayState {
    bool shown = false;
    std::unique_ptr<PlayerIcon> icon;
    std::string tip, balloonTip, balloonTitle;
    unsigned balloonTimeout = 3000;
    int balloonIcon = 0;
    bool useDefaultHandler = true;
    orvet::ScriptValue handlers[kTrayHandlerCount] = {orvet::ScriptValue::null(), orvet::ScriptValue::null(),
                                                      orvet::ScriptValue::null(), orvet::ScriptValue::null(),
                                                      orvet::ScriptValue::null()};

    // Shows the icon unless it is shown or there is none.
    bool add(HostPlayer& player);
    bool remove(HostPlayer& player);
    // Hands a changed icon or tip to a shown icon.
    void update(HostPlayer& player);
};

// A mouse message of the tray icon, from the main window. False when the
// player's own tray behaviour should run (useDefaultHandler is true); else
// the matching script handler, if any, is called and the answer is true.
bool trayMouseMessage(orvet::ScriptEngine& engine, TrayMouse message);

} // namespace lumbra::host
