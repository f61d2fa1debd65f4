#include "host/win32/ServicesHostPlayer.h"

#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <cstring>
#include <filesystem>

#include "host/PlayerServices.h"
#include "host/win32/SystemTimers.h"
#include "host/win32/WindowClass.h"
#include "host/win32/WindowClassState.h"
#include "package/AttachedArchive.h"
#include "package/win32/RegistryProfile.h"
#include "win32/RegistryKey.h"

namespace lumbra::host {

namespace {

constexpr UINT kAboutCommand = 32780; // the context menu's "About..."
constexpr WORD kApplicationIcon = 128;

class Win32Icon final : public PlayerIcon {
public:
    explicit Win32Icon(HICON icon) : icon(icon) {}
    ~Win32Icon() override { DestroyIcon(icon); }
    const HICON icon;
};

std::unique_ptr<PlayerIcon> ownIcon(HANDLE icon)
{
    return icon ? std::make_unique<Win32Icon>(static_cast<HICON>(icon)) : nullptr;
}

HWND windowOf(std::intptr_t handle)
{
    return reinterpret_cast<HWND>(handle);
}

// Package errors go where the player shows its own.
class ServicesReporter final : public ErrorReporter {
public:
    explicit ServicesReporter(PlayerServices& services) : services_(services) {}
    void report(std::string_view message) override { services_.reportError(message); }

private:
    PlayerServices& services_;
};

template <std::size_t N>
void copyText(char (&field)[N], std::string_view text)
{
    const std::size_t n = std::min(text.size(), N - 1);
    std::memcpy(field, text.data(), n);
    field[n] = '\0';
}

// The icon that a script last gave the main window's class: replaced icons
// are destroyed, but only those that were loaded here.
HICON& scriptWindowIcon()
{
    static HICON icon = nullptr;
    return icon;
}

} // namespace

// --- The program, its package and profile ------------------------------------

std::string ServicesHostPlayer::exePath()
{
    return services_.programFile();
}

std::string ServicesHostPlayer::commandLine()
{
    return services_.commandLine();
}

std::vector<std::string> ServicesHostPlayer::moviePaths()
{
    std::vector<std::string> paths;
    for (const MovieEntry& entry : services_.movieList().entries)
        if (entry.kind == MovieEntry::movie)
            paths.push_back(entry.path.str());
    return paths;
}

std::string ServicesHostPlayer::additionalFile(std::string_view name)
{
    ServicesReporter reporter(services_);
    return extractAdditionalFile(services_.programFile(), name, services_.workingFolder(), reporter).string();
}

std::optional<std::string> ServicesHostPlayer::attachmentsFolder()
{
    try {
        if (!readArchiveTree(services_.programFile()))
            return std::nullopt;
    } catch (const std::exception&) {
        return std::nullopt;
    }
    const std::filesystem::path folder = std::filesystem::path(services_.workingFolder()) / "_extra";
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (!std::filesystem::is_directory(folder, error))
        return std::nullopt;
    return folder.string() + "\\";
}

std::string ServicesHostPlayer::workingFolder()
{
    return services_.workingFolder();
}

ProjectSettings& ServicesHostPlayer::settings()
{
    return services_.settings();
}

std::optional<std::string> ServicesHostPlayer::readProfile(std::string_view section, std::string_view entry)
{
    return RegistryProfile({services_.registryKey(), services_.profileName()}).readString(section, entry);
}

bool ServicesHostPlayer::writeProfile(std::string_view section, std::string_view entry, std::string_view value)
{
    return RegistryProfile({services_.registryKey(), services_.profileName()}).writeString(section, entry, value);
}

std::optional<std::string> ServicesHostPlayer::readClassesRootDefault(std::string_view key)
{
    return win32::RegistryKey::open(HKEY_CLASSES_ROOT, std::string(key)).readString("");
}

bool ServicesHostPlayer::writeClassesRootDefault(std::string_view key, std::string_view value)
{
    return win32::RegistryKey::create(HKEY_CLASSES_ROOT, std::string(key)).writeString("", std::string(value));
}

// --- Running scripts and messages ---------------------------------------------

bool ServicesHostPlayer::processMessages()
{
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            // The message loop must still see it to end the application.
            PostQuitMessage(static_cast<int>(message.wParam));
            return false;
        }
        if (!services_.preTranslateMessage(message)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        // The close stays pending: it is carried out when the running
        // command returns; the script only learns that it should stop.
        if (services_.closePending())
            return false;
    }
    return true;
}

void ServicesHostPlayer::invokeScript(std::string_view name)
{
    services_.runPackagedScript(name);
}

unsigned ServicesHostPlayer::startTimer(unsigned milliseconds, std::function<void(unsigned)> tick)
{
    return startSystemTimer(milliseconds, std::move(tick));
}

void ServicesHostPlayer::stopTimer(unsigned id)
{
    stopSystemTimer(id);
}

bool ServicesHostPlayer::openTraceFile(const std::string& path)
{
    return services_.openTraceFile(path);
}

void ServicesHostPlayer::closeTraceFile()
{
    services_.closeTraceFile();
}

// --- The main window ------------------------------------------------------------

void ServicesHostPlayer::reapply(Reapply what)
{
    switch (what) {
    case Reapply::Shape:
        services_.reapply(lumbra::Reapply::shape);
        break;
    case Reapply::Frame:
    case Reapply::Caption:
        services_.reapply(lumbra::Reapply::appearance);
        break;
    case Reapply::Layout:
        services_.reapply(lumbra::Reapply::sizeAndPosition | lumbra::Reapply::shape);
        break;
    case Reapply::Restrictions:
        services_.reapply(lumbra::Reapply::restrictions);
        break;
    case Reapply::Menus:
        services_.reapply(lumbra::Reapply::systemMenu);
        break;
    case Reapply::WindowState:
        services_.reapply(lumbra::Reapply::stacking);
        if (services_.settings().behaviourFlags & 0x10)
            if (HWND main = services_.mainWindow())
                ShowWindow(main, SW_MINIMIZE);
        break;
    }
}

void ServicesHostPlayer::requestScaleMode(int flashScaleMode)
{
    VARIANT mode;
    V_VT(&mode) = VT_I4;
    V_I4(&mode) = flashScaleMode;
    services_.putFlashProperty(L"ScaleMode", mode);
}

bool ServicesHostPlayer::setWindowIcon(std::string_view path)
{
    HWND main = services_.mainWindow();
    if (!main)
        return false;
    HANDLE icon = LoadImageA(nullptr, std::string(path).c_str(), IMAGE_ICON, 16, 16, LR_LOADFROMFILE);
    if (!icon)
        return false;
    const auto previous = reinterpret_cast<HICON>(SetClassLongPtrA(main, GCLP_HICON, reinterpret_cast<LONG_PTR>(icon)));
    SetClassLongPtrA(main, GCLP_HICONSM, reinterpret_cast<LONG_PTR>(icon));
    if (previous && previous == scriptWindowIcon())
        DestroyIcon(previous);
    scriptWindowIcon() = static_cast<HICON>(icon);
    return true;
}

void ServicesHostPlayer::showAbout()
{
    if (HWND main = services_.mainWindow())
        PostMessageA(main, WM_SYSCOMMAND, kAboutCommand, 0);
}

std::intptr_t ServicesHostPlayer::mainWindow()
{
    return reinterpret_cast<std::intptr_t>(services_.mainWindow());
}

std::intptr_t ServicesHostPlayer::flashWindow()
{
    return reinterpret_cast<std::intptr_t>(services_.flashWindow());
}

std::string ServicesHostPlayer::mainWindowTitle()
{
    HWND main = services_.mainWindow();
    if (!main)
        return {};
    std::string title(static_cast<std::size_t>(GetWindowTextLengthA(main)) + 1, '\0');
    title.resize(static_cast<std::size_t>(GetWindowTextA(main, title.data(), static_cast<int>(title.size()))));
    return title;
}

std::intptr_t ServicesHostPlayer::sendMessage(std::intptr_t window, unsigned message, std::intptr_t wParam,
                                              std::intptr_t lParam)
{
    return SendMessageA(windowOf(window), message, static_cast<WPARAM>(wParam), static_cast<LPARAM>(lParam));
}

FlashControl* ServicesHostPlayer::flashControl()
{
    return services_.flashControl() ? &control_ : nullptr;
}

PixelSize ServicesHostPlayer::movieSize()
{
    const SIZE size = services_.movieSize();
    return {static_cast<int>(size.cx), static_cast<int>(size.cy)};
}

PixelSize ServicesHostPlayer::clientSize()
{
    RECT client{};
    if (HWND main = services_.mainWindow())
        GetClientRect(main, &client);
    return {static_cast<int>(client.right - client.left), static_cast<int>(client.bottom - client.top)};
}

// --- Input --------------------------------------------------------------------------

void ServicesHostPlayer::setDragRegion(const DragRegion& region)
{
    HRGN handle = nullptr;
    if (auto* rect = std::get_if<PixelRect>(&region)) {
        handle = CreateRectRgn(rect->left, rect->top, rect->right, rect->bottom);
    } else if (auto* data = std::get_if<std::vector<std::uint8_t>>(&region)) {
        // The mask's whole RGNDATA block; the system checks its header.
        handle = ExtCreateRegion(nullptr, static_cast<DWORD>(data->size()), reinterpret_cast<const RGNDATA*>(data->data()));
    }
    services_.setDragRegion(handle);
}

bool ServicesHostPlayer::setCustomCursor(std::string_view path)
{
    HCURSOR cursor = LoadCursorFromFileA(std::string(path).c_str());
    if (!cursor)
        return false;
    services_.setCustomCursor(cursor);
    return true;
}

void ServicesHostPlayer::clearCustomCursor()
{
    services_.setCustomCursor(nullptr);
}

void ServicesHostPlayer::showCursor(bool show)
{
    // The system keeps a display count: step it to just visible or hidden.
    if (show)
        while (ShowCursor(TRUE) < 0) {
        }
    else
        while (ShowCursor(FALSE) >= 0) {
        }
}

bool ServicesHostPlayer::hasMouseCapture()
{
    HWND flash = services_.flashWindow();
    HWND capture = GetCapture();
    return flash && capture && (capture == flash || IsChild(flash, capture));
}

void ServicesHostPlayer::setMouseCapture(bool capture)
{
    HWND flash = services_.flashWindow();
    if (!flash)
        return;
    if (capture)
        SetCapture(flash);
    else if (hasMouseCapture())
        ReleaseCapture();
}

bool ServicesHostPlayer::hasFocus()
{
    HWND flash = services_.flashWindow();
    HWND focus = GetFocus();
    return flash && focus && (focus == flash || IsChild(flash, focus));
}

void ServicesHostPlayer::takeFocus()
{
    if (HWND flash = services_.flashWindow())
        SetFocus(flash);
}

std::string ServicesHostPlayer::keyName(std::uint16_t code, bool extended)
{
    const LONG scan = static_cast<LONG>(MapVirtualKeyA(code, MAPVK_VK_TO_VSC)) << 16 | (extended ? 1L << 24 : 0);
    char name[64] = {};
    const int length = GetKeyNameTextA(scan, name, sizeof name);
    return std::string(name, static_cast<std::size_t>(std::max(length, 0)));
}

// --- The tray icon --------------------------------------------------------------------

std::unique_ptr<PlayerIcon> ServicesHostPlayer::loadIcon(std::string_view path)
{
    return ownIcon(LoadImageA(nullptr, std::string(path).c_str(), IMAGE_ICON, 16, 16, LR_LOADFROMFILE));
}

std::unique_ptr<PlayerIcon> ServicesHostPlayer::applicationIcon()
{
    return ownIcon(LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(kApplicationIcon), IMAGE_ICON, 16, 16, 0));
}

bool ServicesHostPlayer::notifyTray(unsigned long message, const TrayIcon& icon)
{
    NOTIFYICONDATAA data{};
    data.uFlags = NIF_ICON | NIF_TIP;
    data.hIcon = static_cast<const Win32Icon*>(icon.icon)->icon;
    copyText(data.szTip, icon.tip);
    return services_.notifyTrayIcon(message, data);
}

bool ServicesHostPlayer::addTrayIcon(const TrayIcon& icon)
{
    return notifyTray(NIM_ADD, icon);
}

bool ServicesHostPlayer::modifyTrayIcon(const TrayIcon& icon)
{
    return notifyTray(NIM_MODIFY, icon);
}

bool ServicesHostPlayer::removeTrayIcon()
{
    NOTIFYICONDATAA data{};
    return services_.notifyTrayIcon(NIM_DELETE, data);
}

bool ServicesHostPlayer::showBalloon(const Balloon& balloon)
{
    NOTIFYICONDATAA data{};
    data.uFlags = NIF_INFO;
    copyText(data.szInfo, balloon.text);
    copyText(data.szInfoTitle, balloon.title);
    data.uTimeout = balloon.timeout;
    data.dwInfoFlags = static_cast<DWORD>(balloon.icon);
    return services_.notifyTrayIcon(NIM_MODIFY, data);
}

// --- Script objects of windows ----------------------------------------------

orvet::ScriptValue ServicesHostPlayer::windowObject(orvet::ScriptContext& ctx, std::intptr_t window)
{
    return MakeWindowObject(ctx, windowOf(window));
}

std::optional<std::intptr_t> ServicesHostPlayer::windowOfObject(const orvet::ScriptValue& object)
{
    const WindowCell* cell = windowCellOf(object);
    if (!cell)
        return std::nullopt;
    return static_cast<std::intptr_t>(cell->handle);
}

bool ServicesHostPlayer::setRightButtonHandler(const orvet::ScriptValue& object, const orvet::ScriptValue& handler)
{
    WindowRecord* record = windowRecordOf(object);
    if (!record)
        return false;
    record->handler(WindowEvent::RightButton) =
        handler.is(orvet::ValueKind::Function) ? handler : orvet::ScriptValue();
    return true;
}

} // namespace lumbra::host
