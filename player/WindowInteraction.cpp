#include "player/WindowInteraction.h"

#include "player/AboutBox.h"
#include "player/COptDialog.h"
#include "player/MenuLog.h"
#include "player/PlayerMenus.h"
#include "player/PlayerResourceIds.h"

#include "package/win32/RegistryProfile.h"

#include <commctrl.h>

namespace lumbra {

namespace {

constexpr UINT_PTR kSubclassId = 14;
constexpr std::uint32_t kUseApplicationIcon = 0x2, kTrayIcon = 0x1000;
constexpr std::uint32_t kUseHelpFile = 0x1000;

std::string windowTitle(HWND window)
{
    char title[256] = "";
    GetWindowTextA(window, title, sizeof title);
    return title;
}

} // namespace

WindowInteraction::WindowInteraction(InteractionServices services, HWND mainWindow, HWND hostWindow)
    : services_(std::move(services)), settings_(*services_.settings), mainWindow_(mainWindow),
      hostWindow_(hostWindow), menuCount_(GetMenuItemCount(GetSystemMenu(mainWindow, FALSE))),
      input_(settings_, mainWindow, hostWindow, [this](POINT point) { showContextMenu(point); },
             services_.dragRegion),
      tray_(mainWindow)
{
    SetWindowSubclass(mainWindow_, subclassProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this));
}

WindowInteraction::~WindowInteraction()
{
    if (IsWindow(mainWindow_))
        RemoveWindowSubclass(mainWindow_, subclassProc, kSubclassId);
}

void WindowInteraction::applyAtStartup()
{
    applySystemMenu();
    applyRestrictions();
}

void WindowInteraction::applySystemMenu()
{
    extendSystemMenu(services_.instance, mainWindow_, menuCount_, settings_.contextMenuFlags);
    logMenu("system menu", GetSystemMenu(mainWindow_, FALSE));
}

void WindowInteraction::applyRestrictions()
{
    services_.restrictions->apply(settings_.interactionFlags);
}

void WindowInteraction::showTrayIcon()
{
    if (settings_.behaviourFlags & kTrayIcon) {
        loadTrayIcon();
        tray_.add();
    }
}

LRESULT CALLBACK WindowInteraction::subclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                                 DWORD_PTR self)
{
    if (message == WM_NCDESTROY)
        RemoveWindowSubclass(window, subclassProc, kSubclassId);
    else if (const auto result = reinterpret_cast<WindowInteraction*>(self)->handle(message, wParam, lParam))
        return *result;
    return DefSubclassProc(window, message, wParam, lParam);
}

std::optional<LRESULT> WindowInteraction::handle(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_SYSCOMMAND:
        if (systemCommand(wParam))
            return 0;
        break;
    case WM_HELP:
        showHelp();
        return TRUE;
    case TrayIcon::kCallbackMessage:
        trayCallback(wParam, lParam);
        return 0;
    case WM_ENDSESSION:
        // The session may end the process without any further message.
        if (wParam) {
            tray_.remove();
            services_.restrictions->undo();
        }
        break;
    case WM_DESTROY:
        tray_.remove();
        break;
    }
    return std::nullopt;
}

// True when the command was carried out (or refused) here.
bool WindowInteraction::systemCommand(WPARAM command)
{
    if (refusesSystemCommand(settings_.interactionFlags, command))
        return true;
    const UINT id = static_cast<UINT>(command);
    if (isHostCommand(id)) {
        SendMessageA(hostWindow_, WM_COMMAND, id, 0);
        return true;
    }
    switch (id) {
    case ID_PLAYER_CONFIG:
        showOptions();
        return true;
    case ID_PLAYER_HELP:
        showHelp();
        return true;
    case ID_PLAYER_ABOUT:
        showAbout();
        return true;
    }
    return false;
}

void WindowInteraction::showContextMenu(POINT hostPoint)
{
    HMENU menu = GetSystemMenu(mainWindow_, FALSE);
    if (!menu)
        return;
    ClientToScreen(hostWindow_, &hostPoint);
    // Tracking tells the owner, the main window, of every popup about to
    // show (WM_INITMENUPOPUP); it has the host window set its check marks.
    setSystemMenuState(menu, mainWindow_, settings_);
    logMenu("context menu", menu);
    const UINT id = TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_LEFTALIGN, hostPoint.x, hostPoint.y,
                                   0, mainWindow_, nullptr);
    if (id == 0)
        return;
    if (isHostCommand(id))
        SendMessageA(hostWindow_, WM_COMMAND, id, 0);
    else
        SendMessageA(mainWindow_, WM_SYSCOMMAND, id, 0);
}

void WindowInteraction::showOptions()
{
    RegistryProfile profile(services_.profile);
    if (!COptDialog(settings_, *services_.masks, profile).run(services_.instance, mainWindow_))
        return;
    reapplySettings();
}

// Everything the settings decide, in the order the steps depend on each other.
void WindowInteraction::reapplySettings()
{
    if (services_.reapplyLayout)
        services_.reapplyLayout();
    applyRestrictions();
    if (services_.applyStacking)
        services_.applyStacking(true);
    applySystemMenu();
    if (services_.reapplyMachine)
        services_.reapplyMachine();
    applyTray();
}

// Image and tip are reloaded from the settings and the title; an icon
// already shown keeps what it shows until it is next modified.
void WindowInteraction::applyTray()
{
    if (settings_.behaviourFlags & kTrayIcon)
        showTrayIcon();
    else
        tray_.remove();
}

void WindowInteraction::loadTrayIcon()
{
    const int id = (settings_.behaviourFlags & kUseApplicationIcon) ? IDI_PROGRAM : IDI_TRAY;
    tray_.setImage(static_cast<HICON>(LoadImageA(services_.instance, MAKEINTRESOURCEA(id), IMAGE_ICON, 16, 16, 0)));
    tray_.setTip(windowTitle(mainWindow_));
}

void WindowInteraction::showHelp()
{
    if (settings_.miscFlags & kUseHelpFile)
        help_.show(mainWindow_, settings_.helpFile.str());
}

void WindowInteraction::showAbout()
{
    const AboutContent content{settings_, services_.aboutPicture ? services_.aboutPicture() : std::string(),
                               services_.currentMovie ? services_.currentMovie() : std::string(),
                               services_.controlPath ? services_.controlPath() : std::string()};
    showAboutBox(services_.instance, mainWindow_, content);
}

void WindowInteraction::trayCallback(WPARAM id, LPARAM mouseMessage)
{
    if (id != TrayIcon::kId)
        return;
    const UINT message = static_cast<UINT>(mouseMessage);
    if (trayHandler_ && trayHandler_(message))
        return;
    if (message == WM_LBUTTONDBLCLK)
        toggleWindow();
    else if (message == WM_RBUTTONUP)
        showTrayMenu();
}

// Hidden: shown (and restored, as it was minimized when hidden); visible:
// minimized and hidden; minimized: restored.
void WindowInteraction::toggleWindow()
{
    if (!IsWindowVisible(mainWindow_)) {
        ShowWindow(mainWindow_, SW_SHOW);
        if (IsIconic(mainWindow_))
            ShowWindow(mainWindow_, SW_RESTORE);
    } else if (IsIconic(mainWindow_)) {
        ShowWindow(mainWindow_, SW_RESTORE);
    } else {
        ShowWindow(mainWindow_, SW_MINIMIZE);
        ShowWindow(mainWindow_, SW_HIDE);
    }
}

void WindowInteraction::showTrayMenu()
{
    const UniqueMenu menu = buildTrayMenu(services_.instance, mainWindow_, settings_.contextMenuFlags);
    if (!menu)
        return;
    logMenu("tray menu", menu.get());
    // The menu closes when the user clicks elsewhere only if its owner is
    // the foreground window, and only after the owner's next message.
    SetForegroundWindow(mainWindow_);
    POINT cursor;
    GetCursorPos(&cursor);
    const UINT id = TrackPopupMenu(menu.get(), TPM_RETURNCMD | TPM_RIGHTBUTTON, cursor.x, cursor.y, 0, mainWindow_,
                                   nullptr);
    PostMessageA(mainWindow_, WM_NULL, 0, 0);
    if (id == 0)
        return;
    if (id == ID_TRAY_CLOSE)
        SendMessageA(mainWindow_, WM_CLOSE, 0, 0);
    else if (isHostCommand(id))
        SendMessageA(hostWindow_, WM_COMMAND, id, 0);
    else if (id == ID_TRAY_TOGGLE)
        toggleWindow();
    else
        SendMessageA(mainWindow_, WM_SYSCOMMAND, id, 0);
}

} // namespace lumbra
