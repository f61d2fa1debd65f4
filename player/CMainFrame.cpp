#include "player/CMainFrame.h"

namespace lumbra {

namespace {
constexpr char kClassName[] = "LumbraMainFrame";
}

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

    CreateWindowExA(WS_EX_APPWINDOW, kClassName, "", WS_OVERLAPPEDWINDOW,
                    CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                    owner, nullptr, instance, this);
    if (!window_)
        return false;
    if (FAILED(host_.create(window_, controlPath))) {
        DestroyWindow(window_);
        return false;
    }
    return true;
}

bool CMainFrame::showMovie(const std::string& path, bool autoPlay)
{
    if (!host_.loadMovie(path, autoPlay))
        return false;
    if (host_.movieWidth() <= 0 || host_.movieHeight() <= 0)
        return true;
    const DWORD style = GetWindowLongA(window_, GWL_STYLE), exStyle = GetWindowLongA(window_, GWL_EXSTYLE);
    RECT frame{0, 0, host_.movieWidth(), host_.movieHeight()};
    AdjustWindowRectEx(&frame, style, FALSE, exStyle);
    const int width = frame.right - frame.left, height = frame.bottom - frame.top;
    RECT work;
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    SetWindowPos(window_, nullptr, work.left + (work.right - work.left - width) / 2,
                 work.top + (work.bottom - work.top - height) / 2, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
    return true;
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

} // namespace lumbra
