#include "player/CShockwaveFlash.h"

#include "player/FlashPlayerLocator.h"
#include "player/ShockwaveFlashClass.h"

#include "package/AnsiText.h"
#include "package/MovieInfo.h"
#include "win32/Bstr.h"
#include "win32/Variant.h"

#include <algorithm>
#include <cmath>
#include <cwchar>
#include <vector>

namespace lumbra {

namespace {

constexpr char kHostClass[] = "LumbraFlashHost";

std::u16string_view wideView(const std::wstring& text)
{
    return {reinterpret_cast<const char16_t*>(text.data()), text.size()};
}

std::wstring toWide(std::u16string_view text)
{
    return {text.begin(), text.end()};
}

// A variable's text as a number of twips: pixels as the C library reads
// them, truncated, times 20; 0 when the variable cannot be read.
LONG twipsOf(const std::wstring& text)
{
    return static_cast<LONG>(std::trunc(std::wcstod(text.c_str(), nullptr))) * 20;
}

} // namespace

CShockwaveFlash::~CShockwaveFlash()
{
    destroy();
}

HRESULT CShockwaveFlash::create(HWND parent, const std::string& controlPath)
{
    HRESULT result = createWindow(parent);
    if (SUCCEEDED(result))
        result = siteControl(controlPath);
    if (FAILED(result))
        destroy();
    return result;
}

HRESULT CShockwaveFlash::createWindow(HWND parent)
{
    const HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(parent, GWLP_HINSTANCE));
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = win32::ownedWindowProc<CShockwaveFlash>;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    windowClass.lpszClassName = kHostClass;
    RegisterClassA(&windowClass); // a second registration fails harmlessly
    RECT area;
    GetClientRect(parent, &area);
    CreateWindowExA(0, kHostClass, "", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, area.right, area.bottom,
                    parent, reinterpret_cast<HMENU>(kChildId), instance, this);
    return window_ ? S_OK : HRESULT_FROM_WIN32(GetLastError());
}

HRESULT CShockwaveFlash::siteControl(const std::string& controlPath)
{
    releaseControl();
    HRESULT result = createFlashControl(controlPath, control_.put());
    auto object = control_.query<IOleObject>();
    if (SUCCEEDED(result) && !object)
        result = E_NOINTERFACE;
    if (SUCCEEDED(result)) {
        object->SetClientSite(this);
        connectEvents();
        RECT bounds = clientRect();
        result = object->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, this, 0, window_, &bounds);
    }
    if (FAILED(result))
        releaseControl();
    else
        transparent_ = std::make_unique<TransparentWindow>(*this);
    return result;
}

void CShockwaveFlash::releaseControl()
{
    transparent_.reset();
    if (control_) {
        disconnectEvents();
        if (auto object = control_.query<IOleObject>()) {
            object->Close(OLECLOSE_NOSAVE);
            object->SetClientSite(nullptr);
        }
        control_.reset();
    }
}

void CShockwaveFlash::destroy()
{
    releaseControl();
    if (window_)
        DestroyWindow(window_);
    cursor_.reset();
    dragRegion_ = {};
}

void CShockwaveFlash::connectEvents()
{
    auto container = control_.query<IConnectionPointContainer>();
    win32::ComPtr<IConnectionPoint> point;
    if (container && SUCCEEDED(container->FindConnectionPoint(kShockwaveFlashEventsId, point.put())))
        point->Advise(static_cast<IDispatch*>(this), &eventCookie_);
}

void CShockwaveFlash::disconnectEvents()
{
    if (!eventCookie_)
        return;
    auto container = control_.query<IConnectionPointContainer>();
    win32::ComPtr<IConnectionPoint> point;
    if (container && SUCCEEDED(container->FindConnectionPoint(kShockwaveFlashEventsId, point.put())))
        point->Unadvise(eventCookie_);
    eventCookie_ = 0;
}

LRESULT CShockwaveFlash::handle(UINT message, WPARAM wParam, LPARAM lParam)
{
    const HWND window = window_;
    switch (message) {
    case WM_COMMAND:
        if (onCommand(LOWORD(wParam)))
            return 0;
        break;
    case WM_SETCURSOR:
        // The control's window asks its parent first.
        if (cursor_) {
            SetCursor(cursor_.get());
            return TRUE;
        }
        break;
    case WM_NCDESTROY:
        SetWindowLongPtrA(window, GWLP_USERDATA, 0);
        window_ = nullptr;
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

HRESULT CShockwaveFlash::invoke(const wchar_t* name, WORD flags, DISPPARAMS& params, VARIANT* result)
{
    if (!control_)
        return E_UNEXPECTED;
    DISPID id;
    LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
    const HRESULT found = control_->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
    if (FAILED(found))
        return found;
    if (result)
        VariantInit(result);
    return control_->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, result, nullptr, nullptr);
}

HRESULT CShockwaveFlash::getProperty(const wchar_t* name, VARIANT* result)
{
    DISPPARAMS none{nullptr, nullptr, 0, 0};
    win32::Variant ignored;
    return invoke(name, DISPATCH_PROPERTYGET, none, result ? result : ignored.get());
}

HRESULT CShockwaveFlash::putProperty(const wchar_t* name, const VARIANT& value)
{
    VARIANT argument = value; // Invoke does not change its arguments
    DISPID named = DISPID_PROPERTYPUT;
    DISPPARAMS params{&argument, &named, 1, 1};
    return invoke(name, DISPATCH_PROPERTYPUT, params, nullptr);
}

HRESULT CShockwaveFlash::callMethod(const wchar_t* name, const VARIANT* args, unsigned count, VARIANT* result)
{
    std::vector<VARIANT> lastFirst(args, args + count);
    std::reverse(lastFirst.begin(), lastFirst.end());
    DISPPARAMS params{lastFirst.data(), nullptr, count, 0};
    win32::Variant ignored;
    return invoke(name, DISPATCH_METHOD, params, result ? result : ignored.get());
}

bool CShockwaveFlash::getBool(const wchar_t* name)
{
    win32::Variant value;
    return SUCCEEDED(getProperty(name, value.get())) &&
           SUCCEEDED(VariantChangeType(value.get(), value.get(), 0, VT_BOOL)) && V_BOOL(value.get()) != VARIANT_FALSE;
}

int CShockwaveFlash::getInt(const wchar_t* name)
{
    win32::Variant value;
    if (FAILED(getProperty(name, value.get())) || FAILED(VariantChangeType(value.get(), value.get(), 0, VT_I4)))
        return 0;
    return V_I4(value.get());
}

std::wstring CShockwaveFlash::getText(const wchar_t* name)
{
    win32::Variant value;
    if (FAILED(getProperty(name, value.get())) || FAILED(VariantChangeType(value.get(), value.get(), 0, VT_BSTR)))
        return {};
    return toWide(win32::bstrView(V_BSTR(value.get())));
}

void CShockwaveFlash::putBool(const wchar_t* name, bool value)
{
    VARIANT v;
    V_VT(&v) = VT_BOOL;
    V_BOOL(&v) = value ? VARIANT_TRUE : VARIANT_FALSE;
    putProperty(name, v);
}

void CShockwaveFlash::putInt(const wchar_t* name, int value)
{
    VARIANT v;
    V_VT(&v) = VT_I4;
    V_I4(&v) = value;
    putProperty(name, v);
}

void CShockwaveFlash::putText(const wchar_t* name, const std::wstring& value)
{
    const win32::Bstr text(wideView(value));
    VARIANT v;
    V_VT(&v) = VT_BSTR;
    V_BSTR(&v) = text.get();
    putProperty(name, v);
}

void CShockwaveFlash::callWithInt(const wchar_t* name, int value)
{
    VARIANT v;
    V_VT(&v) = VT_I4;
    V_I4(&v) = value;
    callMethod(name, &v, 1, nullptr);
}

bool CShockwaveFlash::loadMovie(const std::string& path, bool autoPlay)
{
    putBool(L"Playing", autoPlay);
    const win32::Bstr movie(ansiToUtf16(path));
    VARIANT value;
    V_VT(&value) = VT_BSTR;
    V_BSTR(&value) = movie.get();
    if (FAILED(putProperty(L"Movie", value)))
        return false;
    const MovieInfo info = readMovieInfo(path);
    movieWidth_ = info.right - info.left;
    movieHeight_ = info.bottom - info.top;
    if (onMovieLoaded)
        onMovieLoaded(path);
    return true;
}

std::string CShockwaveFlash::currentMovie()
{
    return utf16ToAnsi(wideView(getText(L"Movie")));
}

void CShockwaveFlash::setBackgroundColor(COLORREF color)
{
    setBackgroundRgb((GetRValue(color) << 16) | (GetGValue(color) << 8) | GetBValue(color));
}

std::int32_t CShockwaveFlash::backgroundRgb()
{
    return getInt(L"BackgroundColor");
}

void CShockwaveFlash::setBackgroundRgb(std::int32_t rgb)
{
    putInt(L"BackgroundColor", rgb);
}

void CShockwaveFlash::setScaleMode(int mode)
{
    putInt(L"ScaleMode", mode);
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

bool CShockwaveFlash::onCommand(UINT id)
{
    static constexpr const wchar_t* kQualities[] = {L"Low", L"Medium", L"High"};
    switch (id) {
    case zoomIn:
        callWithInt(L"Zoom", ++zoom_);
        return true;
    case zoomOut:
        callWithInt(L"Zoom", --zoom_);
        return true;
    case fullSize:
        setScaleMode(3);
        return true;
    case showAll:
        setScaleMode(0);
        return true;
    case qualityLow:
    case qualityMedium:
    case qualityHigh: {
        const wchar_t* quality = kQualities[id - qualityLow];
        if (getText(L"Quality2") != quality)
            putText(L"Quality2", quality);
        return true;
    }
    case play:
        callMethod(getBool(L"Playing") ? L"Stop" : L"Play", nullptr, 0, nullptr);
        return true;
    case loop:
        putBool(L"Loop", !getBool(L"Loop"));
        return true;
    case rewind:
        callMethod(L"Rewind", nullptr, 0, nullptr);
        return true;
    case forward:
        callMethod(L"Forward", nullptr, 0, nullptr);
        return true;
    case back:
        callMethod(L"Back", nullptr, 0, nullptr);
        return true;
    default:
        return false;
    }
}

void CShockwaveFlash::updateMenu(HMENU menu)
{
    const auto check = [menu](UINT id, bool on) {
        CheckMenuItem(menu, id, MF_BYCOMMAND | (on ? MF_CHECKED : MF_UNCHECKED));
    };
    EnableMenuItem(menu, zoomOut, MF_BYCOMMAND | (zoom_ == 0 ? MF_GRAYED : MF_ENABLED));
    const int scaleMode = getInt(L"ScaleMode");
    check(showAll, scaleMode == 0);
    check(fullSize, scaleMode == 3);
    const std::wstring quality = getText(L"Quality2");
    check(qualityLow, quality == L"Low");
    check(qualityMedium, quality == L"Medium");
    check(qualityHigh, quality == L"High");
    check(play, getBool(L"Playing") && !getText(L"Movie").empty());
    check(loop, getBool(L"Loop"));
}

void CShockwaveFlash::setSpriteBoundsSource(std::string clipPath, std::string frameLabel)
{
    spriteClipPath_ = std::move(clipPath);
    spriteFrameLabel_ = std::move(frameLabel);
}

std::optional<RECT> CShockwaveFlash::spriteBounds()
{
    if (spriteClipPath_.empty())
        return std::nullopt;
    if (!spriteFrameLabel_.empty()) {
        const win32::Bstr target(u"_root"), label(ansiToUtf16(spriteFrameLabel_));
        VARIANT args[2];
        V_VT(&args[0]) = VT_BSTR;
        V_BSTR(&args[0]) = target.get();
        V_VT(&args[1]) = VT_BSTR;
        V_BSTR(&args[1]) = label.get();
        paintSuppressed_ = true;
        callMethod(L"TCallLabel", args, 2, nullptr);
        paintSuppressed_ = false;
    }
    const auto read = [this](const char* member) {
        const win32::Bstr name(ansiToUtf16(spriteClipPath_ + member));
        VARIANT argument;
        V_VT(&argument) = VT_BSTR;
        V_BSTR(&argument) = name.get();
        win32::Variant value;
        if (FAILED(callMethod(L"GetVariable", &argument, 1, value.get())) || V_VT(value.get()) != VT_BSTR)
            return LONG(0);
        return twipsOf(toWide(win32::bstrView(V_BSTR(value.get()))));
    };
    return RECT{read(".xMin"), read(".yMin"), read(".xMax"), read(".yMax")};
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
    else if (iid == IID_IDispatch || iid == kShockwaveFlashEventsId)
        *out = static_cast<IDispatch*>(this);
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

STDMETHODIMP CShockwaveFlash::GetTypeInfoCount(UINT* count)
{
    *count = 0;
    return S_OK;
}

STDMETHODIMP CShockwaveFlash::Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*, UINT*)
{
    // FSCommand(command, args): arguments arrive last first.
    if (id != kFSCommandEvent || !params || params->cArgs != 2 || !onFSCommand)
        return S_OK;
    win32::Variant command, argument;
    if (FAILED(VariantChangeType(command.get(), &params->rgvarg[1], 0, VT_BSTR)) ||
        FAILED(VariantChangeType(argument.get(), &params->rgvarg[0], 0, VT_BSTR)))
        return S_OK;
    const std::string commandText = utf16ToAnsi(win32::bstrView(V_BSTR(command.get())));
    const std::string argumentText = utf16ToAnsi(win32::bstrView(V_BSTR(argument.get())));
    onFSCommand(commandText.c_str(), argumentText.c_str());
    return S_OK;
}

} // namespace lumbra
