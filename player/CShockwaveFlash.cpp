#include "player/CShockwaveFlash.h"

#include "player/FlashPlayerLocator.h"

#include "control/com/Bstr.h"
#include "package/AnsiText.h"
#include "package/MovieInfo.h"

namespace lumbra {

namespace {

constexpr char kHostClass[] = "LumbraFlashHost";

void registerHostClass(HINSTANCE instance)
{
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = kHostClass;
    RegisterClassA(&windowClass); // a second registration fails harmlessly
}

} // namespace

CShockwaveFlash::~CShockwaveFlash()
{
    destroy();
}

HRESULT CShockwaveFlash::create(HWND parent, const std::string& controlPath)
{
    const HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(parent, GWLP_HINSTANCE));
    registerHostClass(instance);
    RECT area;
    GetClientRect(parent, &area);
    window_ = CreateWindowExA(0, kHostClass, "", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, area.right,
                              area.bottom, parent, reinterpret_cast<HMENU>(kChildId), instance, nullptr);
    if (!window_)
        return HRESULT_FROM_WIN32(GetLastError());

    HRESULT result = createFlashControl(controlPath, control_.put());
    if (FAILED(result)) {
        destroy();
        return result;
    }
    auto object = control_.query<IOleObject>();
    if (!object) {
        destroy();
        return E_NOINTERFACE;
    }
    object->SetClientSite(this);
    RECT bounds = clientRect();
    result = object->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, this, 0, window_, &bounds);
    if (FAILED(result))
        destroy();
    else
        transparent_ = std::make_unique<TransparentWindow>(*this);
    return result;
}

void CShockwaveFlash::destroy()
{
    transparent_.reset();
    if (control_) {
        if (auto object = control_.query<IOleObject>()) {
            object->Close(OLECLOSE_NOSAVE);
            object->SetClientSite(nullptr);
        }
        control_.reset();
    }
    if (window_) {
        DestroyWindow(window_);
        window_ = nullptr;
    }
}

HRESULT CShockwaveFlash::put(const wchar_t* name, VARIANT value)
{
    if (!control_)
        return E_UNEXPECTED;
    DISPID id;
    LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
    HRESULT result = control_->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
    if (FAILED(result))
        return result;
    DISPID named = DISPID_PROPERTYPUT;
    DISPPARAMS params{&value, &named, 1, 1};
    return control_->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYPUT, &params, nullptr, nullptr,
                            nullptr);
}

HRESULT CShockwaveFlash::get(const wchar_t* name, VARIANT& value)
{
    if (!control_)
        return E_UNEXPECTED;
    DISPID id;
    LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
    HRESULT result = control_->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
    if (FAILED(result))
        return result;
    DISPPARAMS none{nullptr, nullptr, 0, 0};
    return control_->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none, &value, nullptr,
                            nullptr);
}

bool CShockwaveFlash::loadMovie(const std::string& path, bool autoPlay)
{
    VARIANT playing;
    V_VT(&playing) = VT_BOOL;
    V_BOOL(&playing) = autoPlay ? VARIANT_TRUE : VARIANT_FALSE;
    put(L"Playing", playing);

    com::Bstr movie(ansiToUtf16(path));
    VARIANT value;
    V_VT(&value) = VT_BSTR;
    V_BSTR(&value) = movie.get();
    if (FAILED(put(L"Movie", value)))
        return false;
    const MovieInfo info = readMovieInfo(path);
    movieWidth_ = info.right - info.left;
    movieHeight_ = info.bottom - info.top;
    return true;
}

std::string CShockwaveFlash::currentMovie() const
{
    if (!control_)
        return {};
    DISPID id;
    LPOLESTR names[] = {const_cast<LPOLESTR>(L"Movie")};
    if (FAILED(control_->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id)))
        return {};
    DISPPARAMS none{};
    VARIANT result;
    VariantInit(&result);
    std::string path;
    if (SUCCEEDED(control_->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none, &result, nullptr,
                                   nullptr)) &&
        V_VT(&result) == VT_BSTR && V_BSTR(&result))
        path = utf16ToAnsi(std::u16string(reinterpret_cast<const char16_t*>(V_BSTR(&result)), SysStringLen(V_BSTR(&result))));
    VariantClear(&result);
    return path;
}

void CShockwaveFlash::setBackgroundColor(COLORREF color)
{
    setBackgroundRgb((GetRValue(color) << 16) | (GetGValue(color) << 8) | GetBValue(color));
}

std::int32_t CShockwaveFlash::backgroundRgb()
{
    VARIANT value;
    VariantInit(&value);
    std::int32_t rgb = -1;
    if (SUCCEEDED(get(L"BackgroundColor", value)) && SUCCEEDED(VariantChangeType(&value, &value, 0, VT_I4)))
        rgb = V_I4(&value);
    VariantClear(&value);
    return rgb;
}

void CShockwaveFlash::setBackgroundRgb(std::int32_t rgb)
{
    VARIANT value;
    V_VT(&value) = VT_I4;
    V_I4(&value) = rgb;
    put(L"BackgroundColor", value);
}

void CShockwaveFlash::setScaleMode(int mode)
{
    VARIANT value;
    V_VT(&value) = VT_I4;
    V_I4(&value) = mode;
    put(L"ScaleMode", value);
}

void CShockwaveFlash::resize(int width, int height)
{
    if (!window_)
        return;
    MoveWindow(window_, 0, 0, width, height, TRUE);
    if (auto inPlace = control_.query<IOleInPlaceObject>()) {
        RECT bounds = clientRect();
        inPlace->SetObjectRects(&bounds, &bounds);
    }
}

RECT CShockwaveFlash::clientRect() const
{
    RECT bounds;
    GetClientRect(window_, &bounds);
    return bounds;
}

STDMETHODIMP CShockwaveFlash::QueryInterface(REFIID iid, void** out)
{
    if (iid == IID_IUnknown || iid == IID_IOleClientSite)
        *out = static_cast<IOleClientSite*>(this);
    else if (iid == IID_IOleWindow || iid == IID_IOleInPlaceSite)
        *out = static_cast<IOleInPlaceSite*>(this);
    else {
        *out = nullptr;
        return E_NOINTERFACE;
    }
    return S_OK;
}

STDMETHODIMP CShockwaveFlash::GetMoniker(DWORD, DWORD, IMoniker** moniker)
{
    *moniker = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP CShockwaveFlash::GetContainer(IOleContainer** container)
{
    *container = nullptr;
    return E_NOINTERFACE;
}

STDMETHODIMP CShockwaveFlash::GetWindow(HWND* window)
{
    *window = window_;
    return S_OK;
}

STDMETHODIMP CShockwaveFlash::GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document,
                                               LPRECT position, LPRECT clip, LPOLEINPLACEFRAMEINFO info)
{
    *frame = nullptr;
    *document = nullptr;
    *position = clientRect();
    *clip = *position;
    if (info) {
        info->fMDIApp = FALSE;
        info->hwndFrame = GetParent(window_);
        info->haccel = nullptr;
        info->cAccelEntries = 0;
    }
    return S_OK;
}

} // namespace lumbra
