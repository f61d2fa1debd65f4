#include "player/CMainFrame.h"

#include "player/LayoutMessages.h"
#include "player/MaskTransform.h"
#include "player/OpenMovieDialog.h"
#include "player/WindowLayout.h"
#include "player/WindowShape.h"

namespace lumbra {

namespace {
constexpr char kClassName[] = "LumbraMainFrame";
constexpr std::uint32_t kCustomBackground = 0x1, kAutoPlay = 0x1;
} // namespace

CMainFrame::~CMainFrame()
{
    if (window_)
        DestroyWindow(window_);
}

bool CMainFrame::create(HINSTANCE instance, HWND owner, HICON icon, const std::string& controlPath,
                        const ProjectSettings& settings, const std::filesystem::path& workingFolder)
{
    settings_ = &settings;
    workingFolder_ = workingFolder;

    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = windowProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = icon;
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    windowClass.lpszClassName = kClassName; // no background: the movie covers the client area
    RegisterClassA(&windowClass);

    DWORD style = WS_OVERLAPPEDWINDOW, exStyle = WS_EX_APPWINDOW;
    applyCreationStyles(settings, style, exStyle);
    CreateWindowExA(exStyle, kClassName, "", style, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                    owner, nullptr, instance, this);
    if (!window_)
        return false;
    if (FAILED(host_.create(window_, controlPath))) {
        DestroyWindow(window_);
        return false;
    }
    return true;
}

bool CMainFrame::loadMovie(const std::string& path, bool autoPlay)
{
    if (!host_.loadMovie(path, autoPlay))
        return false;
    moviePath_ = path;
    return true;
}

void CMainFrame::applyAppearance()
{
    lumbra::applyAppearance(window_, *settings_);
}

void CMainFrame::applySizeAndPosition()
{
    lumbra::applySizeAndPosition(window_, *settings_, moviePath_);
}

void CMainFrame::applyShape()
{
    lumbra::applyShape(window_, host_.window(), *settings_, workingFolder_,
                       {host_.movieWidth(), host_.movieHeight()});
}

void CMainFrame::applyStacking(bool show)
{
    lumbra::applyStacking(window_, *settings_, show);
}

void CMainFrame::recordAspectRatio()
{
    aspectRatio_ = lumbra::recordAspectRatio(window_);
}

void CMainFrame::applyBackgroundColor()
{
    SendMessageA(window_, kSetBackgroundColorMessage, settings_->miscFlags, 0);
}

void CMainFrame::openMovie()
{
    if (!noPackagedMovie_)
        return;
    const auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(window_, GWLP_HINSTANCE));
    const std::optional<std::string> path = askForMovie(instance, window_);
    if (!path || !loadMovie(*path, settings_->behaviourFlags & kAutoPlay))
        return;
    applySizeAndPosition();
    recordAspectRatio();
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
        if (!host_.movingWindows())
            host_.resize(LOWORD(lParam), HIWORD(lParam));
        break;
    case WM_ERASEBKGND:
        return 1; // the movie covers the whole client area
    case WM_ENTERSIZEMOVE:
        GetWindowRect(window, &sizeStart_);
        break;
    case WM_EXITSIZEMOVE:
        keepAspectRatio(window, *settings_, sizeStart_, aspectRatio_);
        break;
    case kSetScaleModeMessage:
        if (const auto scale = flashScaleFor(static_cast<std::uint32_t>(lParam)))
            host_.setScaleMode(static_cast<int>(*scale));
        return 0;
    case kSetBackgroundColorMessage:
        if (wParam & kCustomBackground) // wParam: the miscFlags setting
            host_.setBackgroundColor(static_cast<COLORREF>(settings_->backgroundColor));
        return 0;
    case kApplyShapeMessage:
        applyShape();
        return 0;
    case WM_COMMAND:
        if (LOWORD(wParam) == kOpenMovieCommand) {
            openMovie();
            return 0;
        }
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
