// The host of the movie control: a child window of the main window in which
// the control is sited and activated in place, and the calls the player
// makes on it (by name, through IDispatch, as on any control with the same
// members).
#pragma once

#include "player/TransparentWindow.h"

#include "control/com/ComPtr.h"

#include <ocidl.h>

#include <cstdint>
#include <memory>
#include <string>

namespace lumbra {

class CShockwaveFlash final : public IOleClientSite, public IOleInPlaceSite {
public:
    static constexpr int kChildId = 1113;

    CShockwaveFlash() = default;
    CShockwaveFlash(const CShockwaveFlash&) = delete;
    CShockwaveFlash& operator=(const CShockwaveFlash&) = delete;
    ~CShockwaveFlash();

    // Creates the host window over `parent`'s client area and the control in
    // it: from `controlPath`, or the installed control for "".
    HRESULT create(HWND parent, const std::string& controlPath);
    // Releases the control and destroys the host window.
    void destroy();

    // Sets auto play, then the movie. Only a successful load keeps the
    // movie's pixel size.
    bool loadMovie(const std::string& path, bool autoPlay);
    // The Movie property: the current movie's path, "" when none.
    std::string currentMovie() const;
    int movieWidth() const { return movieWidth_; }
    int movieHeight() const { return movieHeight_; }

    void setBackgroundColor(COLORREF color);
    // The control's background colour as 0xRRGGBB; -1 is the movie's own.
    std::int32_t backgroundRgb();
    void setBackgroundRgb(std::int32_t rgb);
    // The control's scale mode: 0 show all, 1 no border, 2 exact fit, 3 no scale.
    void setScaleMode(int mode);
    // The control's drawing, for pictures of the movie outside its window.
    com::ComPtr<IViewObject> viewObject() const { return control_.query<IViewObject>(); }
    void resize(int width, int height);
    HWND window() const { return window_; }
    // True while the transparent mode moves the windows itself.
    bool movingWindows() const { return transparent_ && transparent_->movingWindows(); }

    // IUnknown: the host lives as long as the main window, which releases
    // the control before it goes; references need no counting.
    STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
    STDMETHODIMP_(ULONG) AddRef() override { return 2; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }
    // IOleClientSite
    STDMETHODIMP SaveObject() override { return E_NOTIMPL; }
    STDMETHODIMP GetMoniker(DWORD, DWORD, IMoniker** moniker) override;
    STDMETHODIMP GetContainer(IOleContainer** container) override;
    STDMETHODIMP ShowObject() override { return S_OK; }
    STDMETHODIMP OnShowWindow(BOOL) override { return S_OK; }
    STDMETHODIMP RequestNewObjectLayout() override { return E_NOTIMPL; }
    // IOleWindow, IOleInPlaceSite
    STDMETHODIMP GetWindow(HWND* window) override;
    STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
    STDMETHODIMP CanInPlaceActivate() override { return S_OK; }
    STDMETHODIMP OnInPlaceActivate() override { return S_OK; }
    STDMETHODIMP OnUIActivate() override { return S_OK; }
    STDMETHODIMP GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document, LPRECT position,
                                  LPRECT clip, LPOLEINPLACEFRAMEINFO info) override;
    STDMETHODIMP Scroll(SIZE) override { return E_NOTIMPL; }
    STDMETHODIMP OnUIDeactivate(BOOL) override { return S_OK; }
    STDMETHODIMP OnInPlaceDeactivate() override { return S_OK; }
    STDMETHODIMP DiscardUndoState() override { return E_NOTIMPL; }
    STDMETHODIMP DeactivateAndUndo() override { return E_NOTIMPL; }
    STDMETHODIMP OnPosRectChange(LPCRECT) override { return S_OK; }

private:
    HRESULT put(const wchar_t* name, VARIANT value);
    HRESULT get(const wchar_t* name, VARIANT& value);
    RECT clientRect() const;

    HWND window_ = nullptr;
    com::ComPtr<IDispatch> control_;
    std::unique_ptr<TransparentWindow> transparent_; // watches window_ while the control lives
    int movieWidth_ = 0;
    int movieHeight_ = 0;
};

} // namespace lumbra
