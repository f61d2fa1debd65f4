#include "host/win32/MciPlaybackWindow.h"

#include "host/win32/MciSystem.h"

#include "host/win32/MciDevice.h"
#include "script/engine/EngineCalls.h"
#include "script/engine/ScriptEngine.h"
#include "script/runtime/ScriptContext.h"

namespace lumbra::host {

namespace {

using orvet::ScriptValue;

constexpr wchar_t kClassName[] = L"Lumbra_Playback_Window";

MciDevice* deviceOf(HWND hwnd) { return reinterpret_cast<MciDevice*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA)); }

RECT clientRect(HWND hwnd)
{
    RECT rect{};
    GetClientRect(hwnd, &rect);
    return rect;
}

// A window the device made inside ours (some drivers draw into their own)
// fills it; otherwise the device draws into the whole client area.
void resize(HWND hwnd, const MciDevice* device)
{
    const RECT rect = clientRect(hwnd);
    if (const HWND child = GetWindow(hwnd, GW_CHILD)) {
        MoveWindow(child, 0, 0, rect.right, rect.bottom, TRUE);
    } else if (device && device->isOpen()) {
        MCI_DGV_RECT_PARMS params{};
        params.rc = rect; // left, top, width, height: the client rectangle starts at 0, 0
        device->send(MCI_PUT, MCI_DGV_PUT_DESTINATION | MCI_DGV_RECT, &params);
    }
}

void paint(HWND hwnd, const MciDevice* device)
{
    PAINTSTRUCT paint;
    const HDC dc = BeginPaint(hwnd, &paint);
    if (const HWND child = GetWindow(hwnd, GW_CHILD)) {
        InvalidateRect(child, nullptr, FALSE);
    } else {
        MCI_DGV_UPDATE_PARMS params{};
        params.hDC = dc;
        params.rc = clientRect(hwnd);
        const bool drawn = device && device->isOpen()
                           && device->send(MCI_UPDATE, MCI_DGV_UPDATE_HDC | MCI_DGV_UPDATE_PAINT | MCI_WAIT, &params) == 0;
        if (!drawn)
            FillRect(dc, &paint.rcPaint, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    }
    EndPaint(hwnd, &paint);
}

// The device's completion notice: 1 successful, 2 superseded, 4 aborted,
// 8 failure. A Windows callback: nothing may throw out of here.
void deliverNotice(const MciDevice& device, WPARAM code)
{
    if (!device.onNotify.is(orvet::ValueKind::Function))
        return;
    orvet::ScriptContext& ctx = *device.engine.context;
    // Copies: the handler may replace itself, close the device or let the
    // object go, which destroys this window's device (and this window).
    const ScriptValue self = device.self, handler = device.onNotify;
    ScriptValue args[2] = {ScriptValue::ofInt(1), ScriptValue::ofInt(static_cast<std::int64_t>(code))};
    if (!orvet::CallValue(ctx, self, handler, 2, args))
        ctx.warn(ctx.errorBuffer);
}

LRESULT CALLBACK playbackProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_NCCREATE:
        SetWindowLongPtrW(hwnd, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams));
        break;
    case WM_SIZE: resize(hwnd, deviceOf(hwnd)); return 0;
    case WM_PAINT: paint(hwnd, deviceOf(hwnd)); return 0;
    case MM_MCINOTIFY:
        if (const MciDevice* device = deviceOf(hwnd))
            deliverNotice(*device, wParam);
        return 0;
    default: break;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

} // namespace

void registerPlaybackWindowClass()
{
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = playbackProcedure;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512)); // the arrow
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = kClassName;
    // A second engine (the installer's, a test's) finds it registered already.
    RegisterClassExW(&windowClass);
}

PlaybackWindow::PlaybackWindow(MciDevice& device, HWND parent)
{
    const DWORD style = parent ? WS_CHILD | WS_CLIPSIBLINGS : 0;
    hwnd_ = CreateWindowExW(0, kClassName, L"Playback", style, 0, 0, 0, 0, parent ? parent : HWND_MESSAGE, nullptr,
                            GetModuleHandleW(nullptr), &device);
}

PlaybackWindow::~PlaybackWindow()
{
    if (hwnd_ && IsWindow(hwnd_))
        DestroyWindow(hwnd_);
}

void PlaybackWindow::detach()
{
    if (hwnd_)
        SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
}

} // namespace lumbra::host
