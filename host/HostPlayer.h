// What the Application, settings, FlashPlayer and MovieClip classes need of
// the running player, in portable terms: its settings and package, the main
// window and the movie control in it, input, the tray icon, timers and the
// trace file. On Windows an adapter over the player's PlayerServices
// implements it (host/win32); the native tests use a fake, so that every rule
// of these classes is tested without a window. Handles of windows travel as
// integers, because scripts see them as Integer values.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "script/runtime/ScriptValue.h"

namespace orvet {
struct ScriptContext;
}

namespace lumbra {

struct ProjectSettings;

// A value crossing the movie control's dispatch interface: nothing (a method
// without result), a boolean, an integer, a double or a text.
using ControlValue = std::variant<std::monostate, bool, std::int32_t, double, std::u16string>;

// The movie control, called by member name as on any control with the same
// members. None (std::nullopt) means the control reported a failure.
class FlashControl {
public:
    virtual ~FlashControl() = default;
    virtual std::optional<ControlValue> get(std::u16string_view property) = 0;
    virtual bool put(std::u16string_view property, const ControlValue& value) = 0;
    virtual std::optional<ControlValue> call(std::u16string_view method, std::span<const ControlValue> arguments) = 0;
};

// An icon the player loaded; destroyed with the object.
class PlayerIcon {
public:
    virtual ~PlayerIcon() = default;
};

struct PixelSize {
    int width = 0, height = 0;
};

struct PixelRect {
    int left = 0, top = 0, right = 0, bottom = 0;
};

class HostPlayer {
public:
    virtual ~HostPlayer() = default;

    // --- The program, its package and profile -------------------------------
    // Full path of the executable; "" when it cannot be read.
    virtual std::string exePath() = 0;
    virtual std::string commandLine() = 0;
    // Paths of the movie list's movies (kind 1), in list order.
    virtual std::vector<std::string> moviePaths() = 0;
    // A file or folder of the archive appended to the executable, extracted;
    // without an archive the path beside the executable if it exists; "" for none.
    virtual std::string additionalFile(std::string_view name) = 0;
    // The appended archive's extraction folder, created when missing; none
    // without an archive or when it cannot be created.
    virtual std::optional<std::string> attachmentsFolder() = 0;
    // The per-run working folder, ending in "\".
    virtual std::string workingFolder() = 0;
    // The live settings record: the settings objects read and write it.
    virtual ProjectSettings& settings() = 0;
    // The application's registry profile (string values).
    virtual std::optional<std::string> readProfile(std::string_view section, std::string_view entry) = 0;
    virtual bool writeProfile(std::string_view section, std::string_view entry, std::string_view value) = 0;
    // Default values of keys under HKEY_CLASSES_ROOT (file-type association).
    virtual std::optional<std::string> readClassesRootDefault(std::string_view key) = 0;
    virtual bool writeClassesRootDefault(std::string_view key, std::string_view value) = 0;

    // --- Running scripts and messages ----------------------------------------
    // Dispatches waiting messages: false when the application is ending or a
    // close of the main window became pending.
    virtual bool processMessages() = 0;
    // Runs a packaged compiled script as the command "Orvet_Run" does.
    virtual void invokeScript(std::string_view name) = 0;
    // A repeating timer without a window, whose ticks get its identifier;
    // 0 when the system refuses one.
    virtual unsigned startTimer(unsigned milliseconds, std::function<void(unsigned id)> tick) = 0;
    virtual void stopTimer(unsigned id) = 0;
    // Closes the trace file that "trace" and warnings write to; with a path,
    // opens that file (truncated). False when it cannot be opened.
    virtual bool openTraceFile(const std::string& path) = 0;
    virtual void closeTraceFile() = 0;

    // --- The main window ----------------------------------------------------
    enum class Reapply {
        Shape,        // window shape from windowShape / shapeMaskFile
        Frame,        // styles from borderStyle and borderIcons, caption, scale mode
        Caption,      // the title from caption
        Layout,       // size and position for the current movie, then the shape
        Restrictions, // lift the system restrictions, apply those of interactionFlags
        Menus,        // the system and context menu additions
        WindowState,  // minimized and topmost after behaviourFlags
    };
    virtual void reapply(Reapply what) = 0;
    // The control's scale mode (0 show all, 1 no border, 2 exact fit, 3 no scale).
    virtual void requestScaleMode(int flashScaleMode) = 0;
    // A 16x16 icon from a file for the main window's class; false when it does not load.
    virtual bool setWindowIcon(std::string_view path) = 0;
    // The "About" system command, posted.
    virtual void showAbout() = 0;
    virtual std::intptr_t mainWindow() = 0;  // 0 without one
    virtual std::intptr_t flashWindow() = 0; // the movie control's host window; 0 without one
    virtual std::string mainWindowTitle() = 0;
    virtual std::intptr_t sendMessage(std::intptr_t window, unsigned message, std::intptr_t wParam,
                                      std::intptr_t lParam) = 0;
    // The movie control; null when there is none.
    virtual FlashControl* flashControl() = 0;
    // Pixel size of the movie last loaded (0 x 0 before any) and of the main
    // window's client area.
    virtual PixelSize movieSize() = 0;
    virtual PixelSize clientSize() = 0;

    // --- Input ----------------------------------------------------------------
    // The area of the movie window where a left-button drag moves the window:
    // none (the whole window), a rectangle, or a region from RGNDATA bytes.
    using DragRegion = std::variant<std::monostate, PixelRect, std::vector<std::uint8_t>>;
    virtual void setDragRegion(const DragRegion& region) = 0;
    // A cursor file that replaces the custom cursor; false when it does not load.
    virtual bool setCustomCursor(std::string_view path) = 0;
    virtual void clearCustomCursor() = 0;
    virtual void showCursor(bool show) = 0;
    virtual bool hasMouseCapture() = 0;
    virtual void setMouseCapture(bool capture) = 0;
    virtual bool hasFocus() = 0;
    virtual void takeFocus() = 0;
    // The system's name of a key (virtual-key code, extended key or not).
    virtual std::string keyName(std::uint16_t code, bool extended) = 0;

    // --- The tray icon ---------------------------------------------------------
    // A 16x16 icon from a file, or the application's own icon; null when none loads.
    virtual std::unique_ptr<PlayerIcon> loadIcon(std::string_view path) = 0;
    virtual std::unique_ptr<PlayerIcon> applicationIcon() = 0;
    struct TrayIcon {
        const PlayerIcon* icon;
        std::string_view tip; // at most 127 characters reach the system
    };
    struct Balloon {
        std::string_view text, title; // at most 255 and 63 characters
        unsigned timeout;             // milliseconds
        int icon;                     // 0 none, 1 info, 2 warning, 3 error
    };
    virtual bool addTrayIcon(const TrayIcon& icon) = 0;
    virtual bool modifyTrayIcon(const TrayIcon& icon) = 0;
    virtual bool removeTrayIcon() = 0;
    virtual bool showBalloon(const Balloon& balloon) = 0;

    // --- Script objects of windows ----------------------------------------------
    // The "Window" class belongs to the build that has windows; these answer
    // for it. A new "Window" object for the window (sharing its routing
    // record with the window's other objects); Undefined where the build has
    // no Window class.
    virtual orvet::ScriptValue windowObject(orvet::ScriptContext& ctx, std::intptr_t window) = 0;
    // The window a "Window" object was made for; none for any other value.
    virtual std::optional<std::intptr_t> windowOfObject(const orvet::ScriptValue& object) = 0;
    // Makes `handler` (a Function) the right-button handler of the window
    // behind a "Window" object; any other handler removes it. False when the
    // object is not one of a living window.
    virtual bool setRightButtonHandler(const orvet::ScriptValue& object, const orvet::ScriptValue& handler) = 0;
};

} // namespace lumbra
