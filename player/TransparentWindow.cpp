#include "player/TransparentWindow.h"

#include "player/CShockwaveFlash.h"
#include "player/LayoutMessages.h"

#include <commctrl.h>

namespace lumbra {

namespace {

constexpr UINT_PTR kSubclassId = 1;

} // namespace

TransparentWindow::TransparentWindow(CShockwaveFlash& host) : host_(host), window_(host.window())
{
    SetWindowSubclass(window_, subclassProcedure, kSubclassId, reinterpret_cast<DWORD_PTR>(this));
}

TransparentWindow::~TransparentWindow()
{
    advise(false);
    renderer_.reset();
    RemoveWindowSubclass(window_, subclassProcedure, kSubclassId);
}

LRESULT CALLBACK TransparentWindow::subclassProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                                      UINT_PTR, DWORD_PTR self)
{
    auto& transparent = *reinterpret_cast<TransparentWindow*>(self);
    switch (message) {
    case kTransparentModeMessage:
        transparent.setOn(wParam == 1);
        return 0;
    case WM_PAINT:
        if (!transparent.on_)
            break;
        transparent.paint();
        return 0;
    case WM_SIZE:
        if (transparent.renderer_ && !transparent.movingWindows_)
            transparent.renderer_->prepare();
        break;
    }
    return DefSubclassProc(window, message, wParam, lParam);
}

void TransparentWindow::setOn(bool on)
{
    if (on == on_)
        return;
    if (on) {
        on_ = true;
        advise(true);
        InvalidateRect(window_, nullptr, FALSE); // the renderer starts at the next paint
    } else {
        switchOff();
    }
}

void TransparentWindow::switchOff()
{
    on_ = false;
    advise(false);
    if (renderer_) {
        const HWND frame = GetParent(window_);
        RECT now;
        GetWindowRect(frame, &now);
        const RECT& saved = renderer_->savedRect();
        if (!EqualRect(&now, &saved)) {
            movingWindows_ = true;
            MoveWindow(frame, saved.left, saved.top, saved.right - saved.left, saved.bottom - saved.top, TRUE);
            RECT client;
            GetClientRect(frame, &client);
            MoveWindow(window_, 0, 0, client.right, client.bottom, TRUE);
            movingWindows_ = false;
        }
        renderer_.reset();
    }
    RedrawWindow(GetParent(window_), nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
}

void TransparentWindow::paint()
{
    PAINTSTRUCT ps;
    BeginPaint(window_, &ps);
    EndPaint(window_, &ps);
    if (host_.paintSuppressed())
        return; // the movie is being asked for its sprite's bounds
    if (!renderer_)
        renderer_ = std::make_unique<LayeredRenderer>(GetParent(window_), true);
    rendering_ = true; // the renderer's colour changes are no new pictures
    renderer_->render(host_);
    rendering_ = false;
    // In a layered window only the rendered picture may show: the control's
    // own painting of the same picture is dropped.
    if (renderer_->mode() == LayeredRenderer::Mode::layered)
        if (HWND control = GetWindow(window_, GW_CHILD))
            ValidateRect(control, nullptr);
}

void TransparentWindow::advise(bool on)
{
    if (win32::ComPtr<IViewObject> view = host_.viewObject())
        view->SetAdvise(DVASPECT_CONTENT, 0, on ? this : nullptr);
}

STDMETHODIMP TransparentWindow::QueryInterface(REFIID iid, void** out)
{
    if (iid == IID_IUnknown || iid == IID_IAdviseSink) {
        *out = static_cast<IAdviseSink*>(this);
        return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
}

STDMETHODIMP_(void) TransparentWindow::OnViewChange(DWORD aspect, LONG)
{
    if (on_ && !rendering_ && (aspect & DVASPECT_CONTENT))
        InvalidateRect(window_, nullptr, FALSE);
}

} // namespace lumbra
