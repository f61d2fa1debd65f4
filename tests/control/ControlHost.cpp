#include "tests/control/ControlHost.h"

#include "control/com/Guids.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace lumbra::com::test {

std::filesystem::path controlLibraryPath() {
    wchar_t exe[MAX_PATH];
    GetModuleFileNameW(nullptr, exe, MAX_PATH);
    // <build>/tests/control/control_tests.exe -> <build>/control/LumbraFlash.ocx
    return std::filesystem::path(exe).parent_path().parent_path().parent_path() / L"control" / L"LumbraFlash.ocx";
}

ControlLibrary::ControlLibrary() : module_(LoadLibraryW(controlLibraryPath().c_str())) {
    if (!module_) throw std::runtime_error("LumbraFlash.ocx does not load");
}

ControlLibrary::~ControlLibrary() { FreeLibrary(module_); }

ComPtr<IDispatch> ControlLibrary::create() const {
    auto getClassObject = entry<HRESULT STDAPICALLTYPE(REFCLSID, REFIID, void**)>("DllGetClassObject");
    ComPtr<IClassFactory> factory;
    ComPtr<IDispatch> control;
    if (getClassObject &&
        SUCCEEDED(getClassObject(kClassId, IID_IClassFactory, reinterpret_cast<void**>(factory.put()))))
        factory->CreateInstance(nullptr, IID_IDispatch, reinterpret_cast<void**>(control.put()));
    return control;
}

namespace {

constexpr wchar_t kHostClass[] = L"LumbraControlTestHost";

HWND createHostWindow(int width, int height) {
    WNDCLASSW wc = {};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = kHostClass;
    RegisterClassW(&wc); // fails harmlessly when already registered
    RECT r = {0, 0, width, height};
    AdjustWindowRect(&r, WS_OVERLAPPEDWINDOW, FALSE);
    HWND hwnd = CreateWindowW(kHostClass, L"control test", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0, 0,
                              r.right - r.left, r.bottom - r.top, nullptr, nullptr, wc.hInstance, nullptr);
    // Left hidden: posted mouse messages and IViewObject pictures need no
    // screen, and mapping a window in the test display costs seconds.
    return hwnd;
}

} // namespace

ControlHost::ControlHost(int width, int height)
    : window_(createHostWindow(width, height)), width_(width), height_(height) {
    control_ = library_.create();
    if (!control_) throw std::runtime_error("the control cannot be created");
    auto object = control_.query<IOleObject>();
    object->SetClientSite(this);
    auto container = control_.query<IConnectionPointContainer>();
    ComPtr<IConnectionPoint> point;
    container->FindConnectionPoint(kEventInterfaceId, point.put());
    point->Advise(static_cast<IDispatch*>(this), &cookie_);
    RECT bounds = {0, 0, width, height};
    object->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, this, 0, window_, &bounds);
}

ControlHost::~ControlHost() {
    release();
    DestroyWindow(window_);
}

void ControlHost::release() {
    if (control_) {
        auto container = control_.query<IConnectionPointContainer>();
        ComPtr<IConnectionPoint> point;
        container->FindConnectionPoint(kEventInterfaceId, point.put());
        point->Unadvise(cookie_);
        auto object = control_.query<IOleObject>();
        object->Close(OLECLOSE_NOSAVE);
        object->SetClientSite(nullptr);
        control_.reset();
    }
}

HWND ControlHost::controlWindow() const {
    HWND hwnd = nullptr;
    if (auto inPlace = control_.query<IOleInPlaceObject>()) inPlace->GetWindow(&hwnd);
    return hwnd;
}

STDMETHODIMP ControlHost::QueryInterface(REFIID iid, void** out) {
    if (iid == IID_IUnknown || iid == IID_IOleClientSite)
        *out = static_cast<IOleClientSite*>(this);
    else if (iid == IID_IOleWindow || iid == IID_IOleInPlaceSite)
        *out = static_cast<IOleInPlaceSite*>(this);
    else if (iid == IID_IDispatch || iid == kEventInterfaceId)
        *out = static_cast<IDispatch*>(this);
    else {
        *out = nullptr;
        return E_NOINTERFACE;
    }
    return S_OK;
}

STDMETHODIMP ControlHost::GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** doc, LPRECT pos,
                                           LPRECT clip, LPOLEINPLACEFRAMEINFO) {
    *frame = nullptr;
    *doc = nullptr;
    *pos = {0, 0, width_, height_};
    *clip = *pos;
    return S_OK;
}

STDMETHODIMP ControlHost::Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*, UINT*) {
    events.push_back(id);
    if (id == kEventFSCommand && params->cArgs == 2) {
        FsCommand command{std::u16string(bstrView(V_BSTR(&params->rgvarg[1]))),
                          std::u16string(bstrView(V_BSTR(&params->rgvarg[0])))};
        commands.push_back(command);
        if (onCommand) onCommand(command);
    }
    if (id == kEventFlashCall && params->cArgs == 1) {
        std::u16string request(bstrView(V_BSTR(&params->rgvarg[0])));
        flashCalls.push_back(request);
        if (onFlashCall) onFlashCall(request);
    }
    return S_OK;
}

HRESULT ControlHost::call(const wchar_t* name, std::vector<VARIANT> args, VARIANT* result) {
    DISPID id;
    LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
    HRESULT hr = control_->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
    if (FAILED(hr)) return hr;
    std::vector<VARIANT> lastFirst(args.rbegin(), args.rend());
    DISPPARAMS params = {lastFirst.data(), nullptr, UINT(lastFirst.size()), 0};
    if (result) VariantInit(result);
    return control_->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD | DISPATCH_PROPERTYGET, &params,
                            result, nullptr, nullptr);
}

HRESULT ControlHost::put(const wchar_t* name, VARIANT value) {
    DISPID id;
    LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
    HRESULT hr = control_->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
    if (FAILED(hr)) return hr;
    DISPID putId = DISPID_PROPERTYPUT;
    DISPPARAMS params = {&value, &putId, 1, 1};
    return control_->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYPUT, &params, nullptr, nullptr,
                            nullptr);
}

HRESULT ControlHost::putText(const wchar_t* name, const std::u16string& text) {
    Bstr value(text);
    return put(name, textArg(value));
}

HRESULT ControlHost::putInt(const wchar_t* name, int value) { return put(name, intArg(value)); }

HRESULT ControlHost::putBool(const wchar_t* name, bool value) {
    VARIANT v;
    V_VT(&v) = VT_BOOL;
    V_BOOL(&v) = value ? VARIANT_TRUE : VARIANT_FALSE;
    return put(name, v);
}

int ControlHost::getInt(const wchar_t* name) {
    Variant result;
    if (FAILED(call(name, {}, result.get()))) return -12345;
    Variant converted;
    if (FAILED(VariantChangeType(converted.get(), result.get(), 0, VT_I4))) return -12345;
    return V_I4(converted.get());
}

std::u16string ControlHost::getText(const wchar_t* name) {
    Variant result;
    if (FAILED(call(name, {}, result.get())) || V_VT(result.get()) != VT_BSTR) return u"<failed>";
    return std::u16string(bstrView(V_BSTR(result.get())));
}

bool ControlHost::pumpUntil(const std::function<bool()>& done) {
    DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > 10000) return false;
        pumpFor(5);
    }
    return true;
}

void ControlHost::pumpFor(DWORD milliseconds) {
    DWORD start = GetTickCount();
    do {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 1, QS_ALLINPUT);
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    } while (GetTickCount() - start < milliseconds);
}

VARIANT intArg(int value) {
    VARIANT v;
    V_VT(&v) = VT_I4;
    V_I4(&v) = value;
    return v;
}

VARIANT doubleArg(double value) {
    VARIANT v;
    V_VT(&v) = VT_R8;
    V_R8(&v) = value;
    return v;
}

VARIANT textArg(const Bstr& text) {
    VARIANT v;
    V_VT(&v) = VT_BSTR;
    V_BSTR(&v) = text.get();
    return v;
}

Picture::Picture(int width, int height) : width_(width), dc_(CreateCompatibleDC(nullptr)) {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    bits_ = static_cast<unsigned*>(bits);
    previous_ = SelectObject(dc_, bitmap_);
}

Picture::~Picture() {
    SelectObject(dc_, previous_);
    DeleteObject(bitmap_);
    DeleteDC(dc_);
}

unsigned Picture::pixel(int x, int y) const {
    GdiFlush();
    return bits_[y * width_ + x] & 0xFFFFFF;
}

TempFolder::TempFolder() {
    GUID guid;
    CoCreateGuid(&guid);
    wchar_t name[40];
    StringFromGUID2(guid, name, 40);
    path_ = std::filesystem::temp_directory_path() / (std::wstring(L"lumbra-control-") + name);
    std::filesystem::create_directories(path_);
}

TempFolder::~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

namespace {

// The control is an apartment-threaded OLE object: every test runs in an OLE apartment.
class OleApartment : public ::testing::Environment {
public:
    void SetUp() override { ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr))); }
    void TearDown() override { OleUninitialize(); }
};

const auto* const apartment = ::testing::AddGlobalTestEnvironment(new OleApartment);

} // namespace

} // namespace lumbra::com::test
