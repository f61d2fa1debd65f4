// The running player as the host classes see it: the one door through which
// a script-visible class reaches the main window, the movie control, the
// settings, the tray icon, the menus and the command bridge. The player
// implements it; host tests hand a class the fake of tests/host.
//
// A host class never includes player/ headers, and keeps no handle it can
// ask for here: the main window and the control come and go with the run.
//
// Host-object units add the members they need here, in the group they
// belong to, as plain pure virtuals with a comment saying what they answer.
#pragma once

#include "package/MaskList.h"
#include "package/MovieList.h"
#include "package/ProjectSettings.h"

#include <windows.h>
#include <oaidl.h>
#include <shellapi.h>

#include <string>
#include <string_view>

namespace orvet {
struct ScriptEngine;
}

namespace lumbra {

// What a settings change asks the main window to do again; bits, applied in
// the order of their values (appearance before size before shape ...).
enum class Reapply : unsigned {
    appearance = 0x1,      // styles, border, caption, icons, scale mode
    sizeAndPosition = 0x2, // for the current movie
    shape = 0x4,           // rectangle, mask or transparent rendering
    stacking = 0x8,        // always on top
    restrictions = 0x10,   // system restrictions of the interaction settings
    systemMenu = 0x20,     // the extended system menu
    trayIcon = 0x40,       // shown or removed after the behaviour flags
    background = 0x80,     // the control's background colour
};
constexpr Reapply operator|(Reapply a, Reapply b) { return Reapply(unsigned(a) | unsigned(b)); }
constexpr bool has(Reapply set, Reapply bit) { return (unsigned(set) & unsigned(bit)) != 0; }

// The main window's private close request: a script's "Window" object sends
// it once the window's "onQueryClose" let a close go ahead; the main window
// then starts its close sequence as for WM_CLOSE.
inline constexpr UINT kMainWindowCloseMessage = WM_APP + 100;

// Sent by the player to the movie's host window when the right button goes
// down over the movie: a script's right-button handler of that window (the
// Flash player's "onContextMenu") runs and answers 1, and the player's own
// right-button handling (its context menu) is skipped; 0 without a handler.
inline constexpr UINT kScriptRightButtonMessage = WM_APP + 659;

// Commands and accelerators of script menus (ids 47000 to 56999), served by
// the Menu class while an engine exists. The player asks it after its own
// accelerators and before its own command handling.
class ScriptCommands {
public:
    virtual ~ScriptCommands() = default;
    // True when the command belonged to a script menu (and was handled).
    virtual bool onCommand(UINT id) = 0;
    // Enables and checks item `id` of `menu` before the menu shows; true when
    // the id belonged to a script menu.
    virtual bool onUpdateState(HMENU menu, UINT id) = 0;
    // True when a script accelerator turned the keyboard message into a command.
    virtual bool translateAccelerator(const MSG& message) = 0;
};

class PlayerServices {
public:
    virtual ~PlayerServices() = default;

    // --- Windows --------------------------------------------------------
    // The main window; null before it is created and after it closed.
    virtual HWND mainWindow() const = 0;
    // The window hosting the movie control (a child of the main window); null likewise.
    virtual HWND flashWindow() const = 0;

    // --- The movie control (through IDispatch, by member name) ----------
    // The control's dispatch interface, not add-ref'd; null without a control.
    virtual IDispatch* flashControl() const = 0;
    // Property get/put and method call by name. Failures are the control's
    // HRESULT (DISP_E_UNKNOWNNAME when it has no such member, E_UNEXPECTED
    // without a control). `result` may be null.
    virtual HRESULT getFlashProperty(const wchar_t* name, VARIANT* result) = 0;
    virtual HRESULT putFlashProperty(const wchar_t* name, const VARIANT& value) = 0;
    // Arguments in call order (the player reverses them for Invoke).
    virtual HRESULT callFlashMethod(const wchar_t* name, const VARIANT* args, unsigned count, VARIANT* result) = 0;
    // Loads a movie as the player does at start-up (auto play, size
    // information, "onMovieLoaded"); false when the control refused it.
    virtual bool loadMovie(const std::string& path) = 0;
    // The control's current movie path (ANSI), "" when none.
    virtual std::string currentMovie() = 0;
    // The movie's frame size in pixels, from the last successful load.
    virtual SIZE movieSize() const = 0;

    // --- Settings ---------------------------------------------------------
    // The live settings record; after changing fields, ask for a re-apply.
    virtual ProjectSettings& settings() = 0;
    virtual void reapply(Reapply what) = 0;

    // --- Package, folders, program ---------------------------------------
    virtual const MovieList& movieList() const = 0;
    virtual const MaskList& masks() const = 0;
    // The per-run folder, ending in a backslash; removed at exit.
    virtual const std::string& workingFolder() const = 0;
    // The full path of the program file.
    virtual std::string programFile() const = 0;
    // The process command line, as the system gives it.
    virtual std::string commandLine() const = 0;
    // Registry key and profile name of the application's profile.
    virtual std::string registryKey() const = 0;
    virtual std::string profileName() const = 0;

    // --- The command bridge ----------------------------------------------
    // The engine that serves the movie's commands, created when none exists
    // (null only when creating it failed).
    virtual orvet::ScriptEngine* sharedEngine() = 0;
    // Runs the packaged compiled script `name` (resource type ORVET) in the
    // shared engine, caching it as "Orvet_Run" does; false when there is none.
    virtual bool runPackagedScript(std::string_view name) = 0;
    // Nesting count of movie commands and script menu commands being handled.
    virtual int bridgeDepth() const = 0;
    // A close request waiting for the running command to return.
    virtual bool closePending() const = 0;
    virtual void setClosePending(bool pending) = 0;

    // --- Trace file --------------------------------------------------------
    // Closes the trace file; with a path, opens that file (truncated) as the
    // trace output of every engine the player runs. False when it cannot open.
    virtual bool openTraceFile(const std::string& path) = 0;
    virtual void closeTraceFile() = 0;

    // --- Input and pointer -------------------------------------------------
    // The cursor the movie's window shows (owned by the player from now on;
    // null: the control's own cursor).
    virtual void setCustomCursor(HCURSOR cursor) = 0;
    // The area of the movie's window in which a left-button drag moves the
    // main window (owned by the player from now on; null: the whole window).
    virtual void setDragRegion(HRGN region) = 0;

    // --- Menus and the tray icon ------------------------------------------
    // Where script menu commands go; null when the Menu class is gone.
    virtual void setScriptCommands(ScriptCommands* commands) = 0;
    // Shell_NotifyIconA for the player's one tray icon: the player fills in
    // the window, the icon id and its callback message.
    virtual bool notifyTrayIcon(DWORD message, NOTIFYICONDATAA& data) = 0;

    // --- Messages -----------------------------------------------------------
    // An error box owned by the main window (or the test log).
    virtual void reportError(std::string_view message) = 0;
    // The player's own look at a message before it is translated and
    // dispatched, as its message loop does it: the input filters, then the
    // accelerators of the player and of script menus. True when consumed.
    virtual bool preTranslateMessage(MSG& message) = 0;
};

} // namespace lumbra
