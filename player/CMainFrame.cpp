#include "player/CMainFrame.h"

#include "player/PlayerApp.h"

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

bool CMainFrame::create(HINSTANCE instance, HWND owner, HICON icon, const std::string& controlPath)
{
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = windowProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = icon;
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = kClassName;
    RegisterClassA(&windowClass);

    CreateWindowExA(WS_EX_APPWINDOW, kClassName, "", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                    CW_USEDEFAULT, CW_USEDEFAULT, owner, nullptr, instance, this);
    if (!window_)
        return false;
    host_.onFSCommand = [this](const char* command, const char* argument) {
        app_.bridge().handle(command, argument);
    };
    if (FAILED(host_.create(window_, controlPath))) {
        DestroyWindow(window_);
        return false;
    }
    accelerators_ = LoadAcceleratorsA(instance, MAKEINTRESOURCEA(kAccelerators));
    return true;
}

bool CMainFrame::showMovie(const std::string& path, bool autoPlay)
{
    if (!host_.loadMovie(path, autoPlay))
        return false;
    if (host_.movieWidth() > 0 && host_.movieHeight() > 0)
        centreOnWorkArea(host_.movieWidth(), host_.movieHeight());
    return true;
}

void CMainFrame::reapplyLayout()
{
    if (host_.movieWidth() > 0 && host_.movieHeight() > 0)
        centreOnWorkArea(host_.movieWidth(), host_.movieHeight());
}

void CMainFrame::centreOnWorkArea(int clientWidth, int clientHeight)
{
    const DWORD style = GetWindowLongA(window_, GWL_STYLE), exStyle = GetWindowLongA(window_, GWL_EXSTYLE);
    RECT frame{0, 0, clientWidth, clientHeight};
    AdjustWindowRectEx(&frame, style, FALSE, exStyle);
    const int width = frame.right - frame.left, height = frame.bottom - frame.top;
    RECT work;
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    SetWindowPos(window_, nullptr, work.left + (work.right - work.left - width) / 2,
                 work.top + (work.bottom - work.top - height) / 2, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

// In order: the interaction filters of the mouse and keyboard settings
// (which join here with their unit), the main window's accelerators, then
// the accelerators of script menus.
bool CMainFrame::preTranslate(MSG& message)
{
    if (!window_ || !isKeyboardMessage(message.message))
        return false;
    if (message.hwnd != window_ && !IsChild(window_, message.hwnd))
        return false;
    if (accelerators_ && TranslateAcceleratorA(window_, accelerators_, &message))
        return true;
    ScriptCommands* scripts = app_.scriptCommands();
    return scripts && scripts->translateAccelerator(message);
}

LRESULT CALLBACK CMainFrame::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        auto* frame = static_cast<CMainFrame*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        frame->window_ = window;
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(frame));
    }
    auto* frame = reinterpret_cast<CMainFrame*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    return frame ? frame->handle(message, wParam, lParam) : DefWindowProcA(window, message, wParam, lParam);
}

LRESULT CMainFrame::handle(UINT message, WPARAM wParam, LPARAM lParam)
{
    const HWND window = window_;
    switch (message) {
    case WM_SIZE:
        host_.resize(LOWORD(lParam), HIWORD(lParam));
        break;
    case WM_CLOSE:
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
