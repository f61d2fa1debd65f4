// A minimal control container for the tests: loads LumbraFlash.ocx from its
// file without registration, sites the control in a real window, activates
// it in place and listens to its events.
#pragma once

#include "win32/Bstr.h"
#include "win32/ComPtr.h"
#include "win32/Variant.h"

#include <ocidl.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace lumbra::com::test {

using win32::Bstr;
using win32::bstrView;
using win32::ComPtr;
using win32::Variant;

std::filesystem::path controlLibraryPath();

// The control DLL, loaded as a container loads a control it carries.
class ControlLibrary {
public:
    ControlLibrary();
    ~ControlLibrary();
    ControlLibrary(const ControlLibrary&) = delete;
    ControlLibrary& operator=(const ControlLibrary&) = delete;

    HMODULE module() const { return module_; }
    template <class Fn>
    Fn* entry(const char* name) const {
        return reinterpret_cast<Fn*>(reinterpret_cast<void*>(GetProcAddress(module_, name)));
    }
    // A new control through DllGetClassObject and IClassFactory.
    ComPtr<IDispatch> create() const;

private:
    HMODULE module_;
};

struct FsCommand {
    std::u16string command;
    std::u16string args;
    bool operator==(const FsCommand&) const = default;
};

// The container: top-level window, client site, in-place site and event sink
// in one object that lives as long as the test.
class ControlHost final : public IOleClientSite, public IOleInPlaceSite, public IDispatch {
public:
    // The control is embedded at (0, 0) with the given client size.
    ControlHost(int width, int height);
    ~ControlHost();

    IDispatch* control() const { return control_.get(); }
    // Unadvises, closes and lets go of the control, as a container closing it does.
    void release();
    HWND controlWindow() const;

    // IDispatch calls by name; failures come back as the status code.
    HRESULT call(const wchar_t* name, std::vector<VARIANT> args, VARIANT* result = nullptr);
    HRESULT put(const wchar_t* name, VARIANT value);
    HRESULT putText(const wchar_t* name, const std::u16string& text);
    HRESULT putInt(const wchar_t* name, int value);
    HRESULT putBool(const wchar_t* name, bool value);
    int getInt(const wchar_t* name);
    std::u16string getText(const wchar_t* name);

    // Runs the message loop until `done` or a generous limit; whether `done` became true.
    bool pumpUntil(const std::function<bool()>& done);
    // Runs the message loop for a number of frame ticks' worth of messages.
    void pumpFor(DWORD milliseconds);

    std::vector<FsCommand> commands;
    std::vector<DISPID> events;
    // Runs inside each FSCommand event, after it is recorded.
    std::function<void(const FsCommand&)> onCommand;
    // The requests of FlashCall events, and what runs inside each after it is recorded.
    std::vector<std::u16string> flashCalls;
    std::function<void(const std::u16string& request)> onFlashCall;

    // IUnknown (the host's lifetime is the test's: no counting)
    STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
    STDMETHODIMP_(ULONG) AddRef() override { return 2; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }
    // IOleClientSite
    STDMETHODIMP SaveObject() override { return E_NOTIMPL; }
    STDMETHODIMP GetMoniker(DWORD, DWORD, IMoniker** m) override { *m = nullptr; return E_NOTIMPL; }
    STDMETHODIMP GetContainer(IOleContainer** c) override { *c = nullptr; return E_NOINTERFACE; }
    STDMETHODIMP ShowObject() override { return S_OK; }
    STDMETHODIMP OnShowWindow(BOOL) override { return S_OK; }
    STDMETHODIMP RequestNewObjectLayout() override { return E_NOTIMPL; }
    // IOleWindow, IOleInPlaceSite
    STDMETHODIMP GetWindow(HWND* hwnd) override { *hwnd = window_; return S_OK; }
    STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
    STDMETHODIMP CanInPlaceActivate() override { return S_OK; }
    STDMETHODIMP OnInPlaceActivate() override { ++activations; return S_OK; }
    STDMETHODIMP OnUIActivate() override { return S_OK; }
    STDMETHODIMP GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** doc, LPRECT pos, LPRECT clip,
                                  LPOLEINPLACEFRAMEINFO) override;
    STDMETHODIMP Scroll(SIZE) override { return E_NOTIMPL; }
    STDMETHODIMP OnUIDeactivate(BOOL) override { return S_OK; }
    STDMETHODIMP OnInPlaceDeactivate() override { --activations; return S_OK; }
    STDMETHODIMP DiscardUndoState() override { return E_NOTIMPL; }
    STDMETHODIMP DeactivateAndUndo() override { return E_NOTIMPL; }
    STDMETHODIMP OnPosRectChange(LPCRECT) override { return S_OK; }
    // IDispatch: the event sink
    STDMETHODIMP GetTypeInfoCount(UINT* n) override { *n = 0; return S_OK; }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*, UINT*) override;

    int activations = 0;

private:
    HWND window_ = nullptr;
    ComPtr<IDispatch> control_;
    int width_, height_;
    ControlLibrary library_;
    DWORD cookie_ = 0;
};

VARIANT intArg(int value);
VARIANT doubleArg(double value);
// The BSTR is owned by the caller's Bstr.
VARIANT textArg(const Bstr& text);

// A 32-bit top-down bitmap the control draws into through IViewObject.
class Picture {
public:
    Picture(int width, int height);
    ~Picture();
    HDC dc() const { return dc_; }
    // 0xRRGGBB at (x, y).
    unsigned pixel(int x, int y) const;

private:
    int width_;
    HDC dc_;
    HBITMAP bitmap_;
    HGDIOBJ previous_;
    unsigned* bits_ = nullptr;
};

// A file in a fresh folder under the temporary directory, removed with it.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    std::filesystem::path path() const { return path_; }

private:
    std::filesystem::path path_;
};

} // namespace lumbra::com::test
