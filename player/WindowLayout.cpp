#include "player/WindowLayout.h"

#include "player/LayoutMessages.h"
#include "player/WindowPlacement.h"
#include "player/WindowStyles.h"

#include "package/MovieInfo.h"

namespace lumbra {

namespace {

constexpr std::uint32_t kStartMinimized = 0x10, kAlwaysOnTop = 0x100;

SIZE clientSize(HWND window)
{
    RECT client{};
    GetClientRect(window, &client);
    return {client.right, client.bottom};
}

} // namespace

SIZE screenSize()
{
    HDC screen = GetDC(nullptr);
    const SIZE size{GetDeviceCaps(screen, HORZRES), GetDeviceCaps(screen, VERTRES)};
    ReleaseDC(nullptr, screen);
    return size;
}

void applyCreationStyles(const ProjectSettings& settings, DWORD& style, DWORD& exStyle)
{
    const WindowStyles styles = computeStyles(settings);
    style = styles.style(style);
    exStyle = styles.exStyle(exStyle);
}

void applyAppearance(HWND frame, const ProjectSettings& settings)
{
    ShowWindow(frame, SW_HIDE);
    const WindowStyles styles = computeStyles(settings);
    SetWindowLongA(frame, GWL_STYLE, static_cast<LONG>(styles.style(GetWindowLongA(frame, GWL_STYLE))));
    SetWindowLongA(frame, GWL_EXSTYLE, static_cast<LONG>(styles.exStyle(GetWindowLongA(frame, GWL_EXSTYLE))));
    // The frame changed: let the window recompute its non-client area now,
    // so that the size step sees the new border.
    SetWindowPos(frame, nullptr, 0, 0, 0, 0,
                 SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    SetWindowTextA(frame, settings.caption.c_str());
    SendMessageA(frame, kSetScaleModeMessage, 0, static_cast<LPARAM>(settings.scaleMode));
}

void applySizeAndPosition(HWND frame, const ProjectSettings& settings, const std::filesystem::path& moviePath)
{
    PlacementInput input;
    input.screen = screenSize();
    GetWindowRect(frame, &input.window);
    const SIZE client = clientSize(frame);
    input.frame = {input.window.right - input.window.left - client.cx,
                   input.window.bottom - input.window.top - client.cy};
    if (settings.windowSize == 0 || settings.windowSize == 2) {
        const MovieInfo movie = readMovieInfo(moviePath);
        input.movie = {movie.width(), movie.height()};
    }
    const Placement placement = computePlacement(settings, input);
    if (placement.move) {
        const RECT& r = placement.rect;
        MoveWindow(frame, r.left, r.top, r.right - r.left, r.bottom - r.top, placement.repaint);
    }
    ShowWindow(frame, placement.show == Placement::Show::maximized ? SW_SHOWMAXIMIZED : SW_SHOWNORMAL);
}

void applyStacking(HWND frame, const ProjectSettings& settings, bool show)
{
    if (settings.behaviourFlags & kStartMinimized)
        ShowWindow(frame, SW_MINIMIZE);
    const HWND band = (settings.behaviourFlags & kAlwaysOnTop) ? HWND_TOPMOST : HWND_NOTOPMOST;
    UINT flags = SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE;
    flags |= show ? SWP_SHOWWINDOW : SWP_NOREDRAW;
    SetWindowPos(frame, band, 0, 0, 0, 0, flags);
    if (band == HWND_NOTOPMOST) // the top of the normal band
        SetWindowPos(frame, HWND_TOP, 0, 0, 0, 0, flags);
}

float recordAspectRatio(HWND frame)
{
    const SIZE client = clientSize(frame);
    return client.cy > 0 ? static_cast<float>(client.cx) / static_cast<float>(client.cy) : 0.0f;
}

void keepAspectRatio(HWND frame, const ProjectSettings& settings, const RECT& start, float ratio)
{
    if (!settings.bKeepRatio || ratio == 0.0f)
        return;
    RECT window;
    GetWindowRect(frame, &window);
    const RECT kept = keepAspectRatio(start, window, clientSize(frame), ratio);
    if (!EqualRect(&kept, &window))
        MoveWindow(frame, kept.left, kept.top, kept.right - kept.left, kept.bottom - kept.top, TRUE);
}

} // namespace lumbra
