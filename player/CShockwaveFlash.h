// The host of the movie control: a child window of the main window in which
// the control is sited and activated in place, the calls the player makes on
// it (by name, through IDispatch, as on any control with the same members),
// the control's commands from the player's menus and the movie's commands
// (the FSCommand event), handed to the main window.
#pragma once

#include "win32/OwnedWindowProc.h"

#include "player/TransparentWindow.h"

#include "win32/ComPtr.h"
#include "win32/GdiHandles.h"
#include "win32/UniqueHandle.h"

#include <ocidl.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace lumbra {

class CShockwaveFlash final : public IOleClientSite, public IOleInPlaceSite, public IDispatch {
public:
    static constexpr int kChildId = 1113;

    // The host window commands of the player's Flash menu.
    enum Command : UINT {
        rewind = 20025,
        zoomOut = 20030,
        showAll = 20034,
        qualityLow = 20035,
        qualityMedium = 20036,
        qualityHigh = 20037,
        play = 20039,
        forward = 20040,
        back = 20041,
        zoomIn = 20042,
        loop = 20043,
        aboutFlash = 20044,
        fullSize = 20046,
    };
    static bool isHostCommand(UINT id) { return id >= 20025 && id <= 20046; }

    CShockwaveFlash() = default;
    CShockwaveFlash(const CShockwaveFlash&) = delete;
    CShockwaveFlash& operator=(const CShockwaveFlash&) = delete;
    ~CShockwaveFlash();

    // Creates the host window over `parent`'s client area and the control in
    // it: from `controlPath`, or the installed control for "".
    HRESULT create(HWND parent, const std::string& controlPath);
    // The two steps of `create`: the host window alone, then its control.
    HRESULT createWindow(HWND parent);
    // Puts the control of `controlPath` ("" the installed one) into the host
    // window in place of the current one. On failure the window stays,
    // without a control.
    HRESULT siteControl(const std::string& controlPath);
    // Releases the control and destroys the host window, with the custom
    // cursor and the drag region.
    void destroy();

    // The movie's commands: command and argument as ANSI texts.
    std::function<void(const char* command, const char* argument)> onFSCommand;
    // Called after a movie loaded, with its path (the script's "onMovieLoaded").
    std::function<void(const std::string& path)> onMovieLoaded;

    // Sets auto play, then the movie. Only a successful load keeps the
    // movie's pixel size and tells onMovieLoaded.
    bool loadMovie(const std::string& path, bool autoPlay);
    // The Movie property as ANSI text; "" when none.
    std::string currentMovie();
    int movieWidth() const { return movieWidth_; }
    int movieHeight() const { return movieHeight_; }

    void setBackgroundColor(COLORREF color);
    // The control's background colour as 0xRRGGBB; -1 is the movie's own.
    std::int32_t backgroundRgb();
    void setBackgroundRgb(std::int32_t rgb);
    void setScaleMode(int mode);
    // The control's drawing, for pictures of the movie outside its window.
    win32::ComPtr<IViewObject> viewObject() const { return control_.query<IViewObject>(); }
    // True while the transparent mode moves the windows itself.
    bool movingWindows() const { return transparent_ && transparent_->movingWindows(); }
    void resize(int width, int height);
    HWND window() const { return window_; }
    IDispatch* control() const { return control_.get(); }

    // Members of the control by name. `result` may be null; method
    // arguments in call order.
    HRESULT getProperty(const wchar_t* name, VARIANT* result);
    HRESULT putProperty(const wchar_t* name, const VARIANT& value);
    HRESULT callMethod(const wchar_t* name, const VARIANT* args, unsigned count, VARIANT* result);

    // The player's Flash menu: a command, and the menu's item states.
    // False for a command that is not the host's.
    bool onCommand(UINT id);
    void updateMenu(HMENU menu);
    int zoomCounter() const { return zoom_; }

    // The cursor shown over the movie (owned from now on; null: the control's own).
    void setCustomCursor(HCURSOR cursor) { cursor_.reset(cursor); }
    // Where a left-button drag may start (owned from now on; null: anywhere).
    void setDragRegion(HRGN region) { dragRegion_ = win32::GdiObject<HRGN>(region); }
    HRGN dragRegion() const { return dragRegion_.get(); }

    // The movie's sprite to fit the transparent window to: the path of its
    // bounds variables and a frame label to call first ("" for none).
    void setSpriteBoundsSource(std::string clipPath, std::string frameLabel);
    // The sprite's bounds in twips; none without a clip path.
    std::optional<RECT> spriteBounds();
    bool paintSuppressed() const { return paintSuppressed_; }

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
    // IDispatch: the control's events
    STDMETHODIMP GetTypeInfoCount(UINT* count) override;
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*, UINT*) override;

private:
    template <class Owner>
    friend LRESULT CALLBACK win32::ownedWindowProc(HWND, UINT, WPARAM, LPARAM);
    void attachWindow(HWND window) { window_ = window; }
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
    HRESULT invoke(const wchar_t* name, WORD flags, DISPPARAMS& params, VARIANT* result);
    bool getBool(const wchar_t* name);
    int getInt(const wchar_t* name);
    std::wstring getText(const wchar_t* name);
    void putBool(const wchar_t* name, bool value);
    void putInt(const wchar_t* name, int value);
    void putText(const wchar_t* name, const std::wstring& value);
    void callWithInt(const wchar_t* name, int value);
    void releaseControl();
    void connectEvents();
    void disconnectEvents();
    RECT clientRect() const;

    HWND window_ = nullptr;
    win32::ComPtr<IDispatch> control_;
    DWORD eventCookie_ = 0;
    int movieWidth_ = 0;
    int movieHeight_ = 0;
    int zoom_ = 0;
    win32::CursorHandle cursor_;
    win32::GdiObject<HRGN> dragRegion_;
    std::string spriteClipPath_, spriteFrameLabel_;
    bool paintSuppressed_ = false;
    std::unique_ptr<TransparentWindow> transparent_; // watches window_ while the control lives
};

} // namespace lumbra
