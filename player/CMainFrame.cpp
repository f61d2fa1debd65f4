#include "player/CMainFrame.h"

#include "player/LayoutMessages.h"
#include "player/MaskTransform.h"
#include "player/OpenMovieDialog.h"
#include "player/PlayerApp.h"
#include "player/SettingsFlags.h"
#include "player/WindowLayout.h"
#include "player/WindowShape.h"

namespace lumbra {

namespace {

constexpr char kClassName[] = "LumbraMainFrame";


bool isScriptCommand(UINT id)
{
    return id >= CMainFrame::kFirstScriptCommand && id <= CMainFrame::kLastScriptCommand;
}

bool isKeyboardMessage(UINT message)
{
    return message >= WM_KEYFIRST && message <= WM_KEYLAST;
}

} // namespace

CMainFrame::~CMainFrame()
{
    if (window_)
        DestroyWindow(window_);
}

bool CMainFrame::create(HINSTANCE instance, HWND owner, HICON icon)
{
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = win32::ownedWindowProc<CMainFrame>;
    windowClass.hInstance = instance;
    windowClass.hIcon = icon;
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    windowClass.lpszClassName = kClassName; // no background: the movie covers the client area
    RegisterClassA(&windowClass);

    DWORD style = WS_OVERLAPPEDWINDOW, exStyle = WS_EX_APPWINDOW;
    applyCreationStyles(app_.settings(), style, exStyle);
    CreateWindowExA(exStyle, kClassName, "", style, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                    owner, nullptr, instance, this);
    if (!window_)
        return false;
    host_.onFSCommand = [this](const char* command, const char* argument) {
        app_.bridge().handle(command, argument);
    };
    if (FAILED(host_.createWindow(window_))) {
        DestroyWindow(window_);
        return false;
    }
    accelerators_ = LoadAcceleratorsA(instance, MAKEINTRESOURCEA(kAccelerators));
    return true;
}

bool CMainFrame::siteControl(const std::string& controlPath)
{
    return SUCCEEDED(host_.siteControl(controlPath));
}

bool CMainFrame::loadMovie(const std::string& path, bool autoPlay)
{
    return host_.loadMovie(path, autoPlay);
}

void CMainFrame::applyAppearance()
{
    lumbra::applyAppearance(window_, app_.settings());
}

void CMainFrame::applySizeAndPosition()
{
    lumbra::applySizeAndPosition(window_, app_.settings(), host_.currentMovie());
}

void CMainFrame::applyShape()
{
    lumbra::applyShape(window_, host_.window(), app_.settings(), app_.workingFolder(),
                       {host_.movieWidth(), host_.movieHeight()});
}

void CMainFrame::applyStacking(bool show)
{
    lumbra::applyStacking(window_, app_.settings(), show);
}

void CMainFrame::recordAspectRatio()
{
    aspectRatio_ = lumbra::recordAspectRatio(window_);
}

void CMainFrame::applyBackgroundColor()
{
    SendMessageA(window_, kSetBackgroundColorMessage, app_.settings().miscFlags, 0);
}

void CMainFrame::reapplyLayout()
{
    applyAppearance();
    applySizeAndPosition();
    applyShape();
    recordAspectRatio();
}

void CMainFrame::openMovie()
{
    if (!noPackagedMovie_)
        return;
    const auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(window_, GWLP_HINSTANCE));
    const std::optional<std::string> path = askForMovie(instance, window_);
    if (!path || !loadMovie(*path, app_.settings().behaviourFlags & kAutoPlay))
        return;
    applySizeAndPosition();
    recordAspectRatio();
}

// In order: the interaction filters of the mouse and keyboard settings
// (which join here with their unit), the main window's accelerators, then
// the accelerators of script menus. The main window's one accelerator,
// Ctrl+O for opening a movie, acts only while no packaged movie is set;
// with one, the key is left to the script menus that may use it.
bool CMainFrame::preTranslate(MSG& message)
{
    if (!window_ || !isKeyboardMessage(message.message))
        return false;
    if (message.hwnd != window_ && !IsChild(window_, message.hwnd))
        return false;
    if (accelerators_ && noPackagedMovie_ && TranslateAcceleratorA(window_, accelerators_, &message))
        return true;
    ScriptCommands* scripts = app_.scriptCommands();
    return scripts && scripts->translateAccelerator(message);
}

LRESULT CMainFrame::handle(UINT message, WPARAM wParam, LPARAM lParam)
{
    const HWND window = window_;
    switch (message) {
    case WM_SIZE:
        if (!host_.movingWindows())
            host_.resize(LOWORD(lParam), HIWORD(lParam));
        break;
    case WM_ERASEBKGND:
        return 1; // the movie covers the whole client area
    case WM_ENTERSIZEMOVE:
        GetWindowRect(window, &sizeStart_);
        break;
    case WM_EXITSIZEMOVE:
        keepAspectRatio(window, app_.settings(), sizeStart_, aspectRatio_);
        break;
    case kSetScaleModeMessage:
        if (const auto scale = flashScaleFor(static_cast<std::uint32_t>(lParam)))
            host_.setScaleMode(static_cast<int>(*scale));
        return 0;
    case kSetBackgroundColorMessage:
        if (wParam & kCustomBackground) // wParam: the miscFlags setting
            host_.setBackgroundColor(static_cast<COLORREF>(app_.settings().backgroundColor));
        return 0;
    case kApplyShapeMessage:
        applyShape();
        return 0;
    case WM_CLOSE:
    case kMainWindowCloseMessage: // a script's onQueryClose let it go ahead
        onClose();
        return 0;
    case WM_COMMAND:
        if (onCommand(LOWORD(wParam)))
            return 0;
        break;
    case WM_INITMENUPOPUP:
        onInitMenu(reinterpret_cast<HMENU>(wParam));
        return 0;
    case WM_ENDSESSION:
        if (wParam) {
            app_.removeTrayIcon();
            releaseControl();
            app_.quitEngine();
            app_.traceFile().close();
            app_.setSessionEnding();
        }
        return 0;
    case WM_DESTROY:
        host_.destroy();
        break;
    case WM_NCDESTROY:
        SetWindowLongPtrA(window, GWLP_USERDATA, 0);
        window_ = nullptr;
        PostQuitMessage(0);
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

// Closing waits while a command of the movie runs: a dialog that command's
// script opened is cancelled, and the close goes ahead when the outermost
// command has returned (PlayerApp::commandsFinished).
void CMainFrame::onClose()
{
    if (app_.bridge().depth() > 0) {
        const HWND active = GetActiveWindow();
        if (active && active != window_)
            PostMessageA(active, WM_COMMAND, IDCANCEL, 0);
        app_.setClosePending(true);
        return;
    }
    app_.setClosePending(false);
    app_.quitEngine();
    app_.traceFile().close();
    app_.removeTrayIcon();
    releaseControl();
    DestroyWindow(window_);
}

void CMainFrame::releaseControl()
{
    host_.destroy();
}

bool CMainFrame::onCommand(UINT id)
{
    if (id == kOpenMovieCommand) {
        openMovie();
        return true;
    }
    if (isScriptCommand(id)) {
        if (ScriptCommands* scripts = app_.scriptCommands()) {
            const CommandBridge::Depth depth(app_.bridge());
            if (scripts->onCommand(id))
                return true;
        }
    }
    if (CShockwaveFlash::isHostCommand(id) && id != CShockwaveFlash::aboutFlash)
        return host_.onCommand(id);
    return false;
}

void CMainFrame::onInitMenu(HMENU menu)
{
    host_.updateMenu(menu);
    ScriptCommands* scripts = app_.scriptCommands();
    if (!scripts)
        return;
    const CommandBridge::Depth depth(app_.bridge());
    const int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        const UINT id = GetMenuItemID(menu, i);
        if (isScriptCommand(id))
            scripts->onUpdateState(menu, id);
    }
}

} // namespace lumbra
