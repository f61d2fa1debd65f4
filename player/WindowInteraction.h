// How the person running the player interacts with its main window beyond
// the movie: the input filters, the player's items in the system menu and
// the context menu, the system commands (options, help, About), the tray
// icon, and the restrictions and stacking the settings ask for.
//
// It attaches itself to the main window as a subclass, so it sees the
// window's messages before the window does; the message loop hands it every
// message first (`filterInput`).
#pragma once

#include "player/HelpViewer.h"
#include "player/InputFilter.h"
#include "player/SystemRestrictions.h"
#include "player/TrayIcon.h"

#include "package/MaskList.h"
#include "package/PackageIdentity.h"
#include "package/ProjectSettings.h"

#include <windows.h>

#include <functional>
#include <optional>
#include <string>

namespace lumbra {

// What the interaction needs of the rest of the player.
struct InteractionServices {
    HINSTANCE instance = nullptr;
    ProjectSettings* settings = nullptr;
    const MaskList* masks = nullptr;
    ProfileLocation profile;
    AppliedRestrictions* restrictions = nullptr;
    std::function<std::string()> currentMovie;
    std::function<std::string()> controlPath;    // the movie control to load ("" the installed one)
    std::function<std::string()> aboutPicture;   // the packaged default About picture's file
    std::function<HRGN()> dragRegion;            // where a drag may start (null: everywhere)
    // After the options dialog, in this order around the steps done here:
    // appearance, size and position for the current movie, and shape ...
    std::function<void()> reapplyLayout;
    // ... then start minimized and always on top (`show` after the dialog) ...
    std::function<void(bool show)> applyStacking;
    // ... then help file, background colour, speaker mute and aspect ratio.
    std::function<void()> reapplyMachine;
};

class WindowInteraction {
public:
    // Called for a tray mouse message; true when the script's handlers took
    // it (the default handling is then skipped).
    using TrayHandler = std::function<bool(UINT mouseMessage)>;

    WindowInteraction(InteractionServices services, HWND mainWindow, HWND hostWindow);
    WindowInteraction(const WindowInteraction&) = delete;
    WindowInteraction& operator=(const WindowInteraction&) = delete;
    ~WindowInteraction();

    // Start-up: the system menu and the restrictions.
    void applyAtStartup();
    // Start-up: the tray icon, when the settings ask for it.
    void showTrayIcon();
    // After a script changed the settings.
    void applyRestrictions();
    void applySystemMenu();
    void applyTray();

    // For the message loop: true when the message is consumed.
    bool filterInput(const MSG& message) { return input_.consumes(message); }

    void showContextMenu(POINT hostPoint);
    void showOptions();
    void showHelp();
    void showAbout();

    InputFilter& input() { return input_; }
    TrayIcon& tray() { return tray_; }
    void setTrayHandler(TrayHandler handler) { trayHandler_ = std::move(handler); }

private:
    static LRESULT CALLBACK subclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                         DWORD_PTR self);
    std::optional<LRESULT> handle(UINT message, WPARAM wParam, LPARAM lParam);
    bool systemCommand(WPARAM command);
    void trayCallback(WPARAM id, LPARAM mouseMessage);
    void showTrayMenu();
    void toggleWindow();
    void loadTrayIcon();
    void reapplySettings();

    InteractionServices services_;
    ProjectSettings& settings_;
    HWND mainWindow_;
    HWND hostWindow_;
    int menuCount_; // system menu items before the player's
    InputFilter input_;
    TrayIcon tray_;
    HelpViewer help_;
    TrayHandler trayHandler_;
};

} // namespace lumbra
