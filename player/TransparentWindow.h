// The transparent mode of the movie host window: while it is on, every new
// picture of the movie is rendered by a LayeredRenderer, so that the main
// window shows only the movie's shapes. The mode is switched by the host's
// private message (kTransparentModeMessage); the renderer is made at the
// next paint and made again after every size change.
#pragma once

#include "player/LayeredRenderer.h"

#include <ocidl.h>
#include <windows.h>

#include <memory>

namespace lumbra {

class CShockwaveFlash;

class TransparentWindow final : public IAdviseSink {
public:
    // Watches the messages of `host`'s window from now on.
    explicit TransparentWindow(CShockwaveFlash& host);
    ~TransparentWindow();
    TransparentWindow(const TransparentWindow&) = delete;
    TransparentWindow& operator=(const TransparentWindow&) = delete;

    bool on() const { return on_; }
    // Set while the renderer moves the main window and the host: the main
    // window then leaves the host where it is.
    bool movingWindows() const { return movingWindows_; }
    LayeredRenderer::Mode mode() const { return renderer_ ? renderer_->mode() : LayeredRenderer::Mode::unusable; }

    // IUnknown: lives as long as the host, which ends the advise first.
    STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
    STDMETHODIMP_(ULONG) AddRef() override { return 2; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }
    // IAdviseSink: a new picture of the movie.
    STDMETHODIMP_(void) OnViewChange(DWORD aspect, LONG index) override;
    STDMETHODIMP_(void) OnDataChange(FORMATETC*, STGMEDIUM*) override {}
    STDMETHODIMP_(void) OnRename(IMoniker*) override {}
    STDMETHODIMP_(void) OnSave() override {}
    STDMETHODIMP_(void) OnClose() override {}

private:
    static LRESULT CALLBACK subclassProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                              UINT_PTR id, DWORD_PTR self);
    void setOn(bool on);
    void paint();
    void switchOff();
    void advise(bool on);

    CShockwaveFlash& host_;
    HWND window_;
    bool on_ = false;
    bool rendering_ = false;
    bool movingWindows_ = false;
    std::unique_ptr<LayeredRenderer> renderer_;
};

} // namespace lumbra
