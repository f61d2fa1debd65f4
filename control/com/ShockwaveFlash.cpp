#include "control/com/ShockwaveFlash.h"

#include "control/com/ControlMembers.h"
#include "control/com/ControlParameters.h"
#include "control/com/Guids.h"
#include "control/com/ParameterStream.h"
#include "control/com/ServerModule.h"
#include "control/com/SnapshotEnumerator.h"
#include "control/com/TypeLibrary.h"

#include <string>

namespace lumbra::com {

using win32::ComPtr;

namespace {

// The size a container gets before it sets one: a common stage of 550 x 400
// pixels, in HIMETRIC (0.01 mm) at 96 pixels per inch.
constexpr LONG himetric(LONG pixels) { return pixels * 2540 / 96; }
constexpr SIZEL kDefaultExtent = {himetric(550), himetric(400)};

} // namespace

HRESULT ShockwaveFlash::create(REFIID iid, void** out) {
    auto control = ComPtr<ShockwaveFlash>::adopt(new ShockwaveFlash);
    return control->QueryInterface(iid, out);
}

ShockwaveFlash::ShockwaveFlash()
    : control_(MovieEvents{
          [this](const std::u16string& command, const std::u16string& args) { events_.fsCommand(command, args); },
          [this](int state) { events_.readyStateChange(state); },
          [this](int percent) { events_.progress(percent); },
          [this] { pictureChanged(); },
          [this] {
              window_.restartTimer();
              pictureChanged();
          },
          [this](const std::u16string& request) { events_.flashCall(request); }}),
      events_(*this),
      window_(control_, *static_cast<IDispatch*>(this)),
      extent_(kDefaultExtent) {
    server::addReference();
}

ShockwaveFlash::~ShockwaveFlash() {
    window_.destroy();
    server::releaseReference();
}

void ShockwaveFlash::pictureChanged() {
    window_.invalidate();
    if (viewSink_ && (viewAspects_ & DVASPECT_CONTENT)) viewSink_->OnViewChange(DVASPECT_CONTENT, -1);
}

// --- IUnknown ---------------------------------------------------------------

STDMETHODIMP ShockwaveFlash::QueryInterface(REFIID iid, void** out) {
    if (!out) return E_POINTER;
    // The control interface is a dispatch interface: IDispatch answers for it.
    if (iid == IID_IUnknown || iid == IID_IDispatch || iid == kControlInterfaceId)
        *out = static_cast<IDispatch*>(this);
    else if (iid == IID_IProvideClassInfo || iid == IID_IProvideClassInfo2)
        *out = static_cast<IProvideClassInfo2*>(this);
    else if (iid == IID_IConnectionPointContainer)
        *out = static_cast<IConnectionPointContainer*>(this);
    else if (iid == IID_IOleObject)
        *out = static_cast<IOleObject*>(this);
    else if (iid == IID_IOleWindow || iid == IID_IOleInPlaceObject)
        *out = static_cast<IOleInPlaceObject*>(this);
    else if (iid == IID_IOleInPlaceActiveObject)
        *out = static_cast<IOleInPlaceActiveObject*>(this);
    else if (iid == IID_IOleControl)
        *out = static_cast<IOleControl*>(this);
    else if (iid == IID_IViewObject || iid == IID_IViewObject2)
        *out = static_cast<IViewObject2*>(this);
    else if (iid == IID_IPersist || iid == IID_IPersistStreamInit)
        *out = static_cast<IPersistStreamInit*>(this);
    else if (iid == IID_IPersistPropertyBag)
        *out = static_cast<IPersistPropertyBag*>(this);
    else {
        *out = nullptr;
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

STDMETHODIMP_(ULONG) ShockwaveFlash::AddRef() { return InterlockedIncrement(&refs_); }

STDMETHODIMP_(ULONG) ShockwaveFlash::Release() {
    ULONG left = InterlockedDecrement(&refs_);
    if (left == 0) delete this;
    return left;
}

// --- IDispatch --------------------------------------------------------------

STDMETHODIMP ShockwaveFlash::GetTypeInfoCount(UINT* count) {
    if (!count) return E_POINTER;
    *count = 1;
    return S_OK;
}

STDMETHODIMP ShockwaveFlash::GetTypeInfo(UINT index, LCID, ITypeInfo** info) {
    if (!info) return E_POINTER;
    *info = nullptr;
    if (index != 0) return DISP_E_BADINDEX;
    return loadTypeInfo(kControlInterfaceId, info);
}

STDMETHODIMP ShockwaveFlash::GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
    if (iid != IID_NULL) return DISP_E_UNKNOWNINTERFACE;
    if (!names || !ids) return E_POINTER;
    if (count == 0) return S_OK;
    // Members are found by name; their parameters are not named.
    for (UINT i = 1; i < count; ++i) ids[i] = DISPID_UNKNOWN;
    if (!names[0]) return DISP_E_UNKNOWNNAME;
    auto id = memberId(reinterpret_cast<const char16_t*>(names[0]));
    ids[0] = id.value_or(DISPID_UNKNOWN);
    return id && count == 1 ? S_OK : DISP_E_UNKNOWNNAME;
}

STDMETHODIMP ShockwaveFlash::Invoke(DISPID id, REFIID iid, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                    EXCEPINFO*, UINT* argError) {
    if (iid != IID_NULL) return DISP_E_UNKNOWNINTERFACE;
    // A member can run movie actions whose events make the container let go.
    ComPtr<IDispatch> keepAlive(this);
    HRESULT hr = invokeMember(control_, id, flags, params, result, argError);
    if (SUCCEEDED(hr) && (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF))) dirty_ = true;
    return hr;
}

// --- IConnectionPointContainer ----------------------------------------------

STDMETHODIMP ShockwaveFlash::EnumConnectionPoints(IEnumConnectionPoints** out) {
    return ConnectionPointEnumerator::create({&events_}, out);
}

STDMETHODIMP ShockwaveFlash::FindConnectionPoint(REFIID iid, IConnectionPoint** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (iid != kEventInterfaceId) return CONNECT_E_NOCONNECTION;
    events_.AddRef();
    *out = &events_;
    return S_OK;
}

// --- IProvideClassInfo, IProvideClassInfo2 -----------------------------------

STDMETHODIMP ShockwaveFlash::GetClassInfo(ITypeInfo** info) { return loadTypeInfo(kClassId, info); }

STDMETHODIMP ShockwaveFlash::GetGUID(DWORD kind, GUID* guid) {
    if (!guid) return E_POINTER;
    if (kind != GUIDKIND_DEFAULT_SOURCE_DISP_IID) {
        *guid = GUID_NULL;
        return E_INVALIDARG;
    }
    *guid = kEventInterfaceId;
    return S_OK;
}

// --- IOleObject -------------------------------------------------------------

STDMETHODIMP ShockwaveFlash::SetClientSite(IOleClientSite* site) {
    clientSite_ = ComPtr<IOleClientSite>(site);
    return S_OK;
}

STDMETHODIMP ShockwaveFlash::GetClientSite(IOleClientSite** site) {
    if (!site) return E_POINTER;
    *site = ComPtr<IOleClientSite>(clientSite_).detach();
    return S_OK;
}

STDMETHODIMP ShockwaveFlash::SetHostNames(LPCOLESTR, LPCOLESTR) { return S_OK; }

STDMETHODIMP ShockwaveFlash::Close(DWORD) {
    InPlaceDeactivate();
    if (oleAdvise_) oleAdvise_->SendOnClose();
    return S_OK;
}

STDMETHODIMP ShockwaveFlash::SetMoniker(DWORD, IMoniker*) { return E_NOTIMPL; }

STDMETHODIMP ShockwaveFlash::GetMoniker(DWORD, DWORD, IMoniker** moniker) {
    if (moniker) *moniker = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP ShockwaveFlash::InitFromData(IDataObject*, BOOL, DWORD) { return E_NOTIMPL; }

STDMETHODIMP ShockwaveFlash::GetClipboardData(DWORD, IDataObject** data) {
    if (data) *data = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP ShockwaveFlash::DoVerb(LONG verb, LPMSG, IOleClientSite* activeSite, LONG, HWND parent,
                                    LPCRECT position) {
    switch (verb) {
    case OLEIVERB_PRIMARY:
    case OLEIVERB_SHOW:
    case OLEIVERB_INPLACEACTIVATE:
    case OLEIVERB_UIACTIVATE:
        return activateInPlace(activeSite ? activeSite : clientSite_.get(), parent, position);
    case OLEIVERB_HIDE:
        if (window_.handle()) ShowWindow(window_.handle(), SW_HIDE);
        return S_OK;
    default:
        return OLEOBJ_S_INVALIDVERB;
    }
}

HRESULT ShockwaveFlash::activateInPlace(IOleClientSite* site, HWND parent, LPCRECT position) {
    if (window_.handle()) {
        ShowWindow(window_.handle(), SW_SHOW);
        return S_OK;
    }
    auto inPlace = ComPtr<IOleClientSite>(site).query<IOleInPlaceSite>();
    RECT bounds = position ? *position : RECT{};
    if (inPlace) {
        if (inPlace->CanInPlaceActivate() != S_OK) return E_FAIL;
        inPlace->OnInPlaceActivate();
        HWND siteWindow = nullptr;
        ComPtr<IOleInPlaceFrame> frame;
        ComPtr<IOleInPlaceUIWindow> document;
        RECT clip;
        OLEINPLACEFRAMEINFO frameInfo = {};
        frameInfo.cb = sizeof frameInfo;
        if (SUCCEEDED(inPlace->GetWindow(&siteWindow))) parent = siteWindow;
        if (FAILED(inPlace->GetWindowContext(frame.put(), document.put(), &bounds, &clip, &frameInfo)) &&
            position)
            bounds = *position;
    }
    if (!parent || !window_.create(parent, bounds)) {
        if (inPlace) inPlace->OnInPlaceDeactivate();
        return E_FAIL;
    }
    control_.setViewSize(bounds.right - bounds.left, bounds.bottom - bounds.top);
    inPlaceSite_ = std::move(inPlace);
    return S_OK;
}

STDMETHODIMP ShockwaveFlash::EnumVerbs(IEnumOLEVERB** verbs) {
    if (verbs) *verbs = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP ShockwaveFlash::Update() { return S_OK; }
STDMETHODIMP ShockwaveFlash::IsUpToDate() { return S_OK; }

STDMETHODIMP ShockwaveFlash::GetUserClassID(CLSID* clsid) { return GetClassID(clsid); }

STDMETHODIMP ShockwaveFlash::GetUserType(DWORD, LPOLESTR* type) {
    if (type) *type = nullptr;
    return OLE_S_USEREG;
}

STDMETHODIMP ShockwaveFlash::SetExtent(DWORD aspect, SIZEL* size) {
    if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
    if (!size) return E_POINTER;
    extent_ = *size;
    return S_OK;
}

STDMETHODIMP ShockwaveFlash::GetExtent(DWORD aspect, SIZEL* size) {
    if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
    if (!size) return E_POINTER;
    *size = extent_;
    return S_OK;
}

STDMETHODIMP ShockwaveFlash::Advise(IAdviseSink* sink, DWORD* connection) {
    if (!oleAdvise_ && FAILED(CreateOleAdviseHolder(oleAdvise_.put()))) return E_OUTOFMEMORY;
    return oleAdvise_->Advise(sink, connection);
}

STDMETHODIMP ShockwaveFlash::Unadvise(DWORD connection) {
    return oleAdvise_ ? oleAdvise_->Unadvise(connection) : OLE_E_NOCONNECTION;
}

STDMETHODIMP ShockwaveFlash::EnumAdvise(IEnumSTATDATA** advise) {
    if (!advise) return E_POINTER;
    *advise = nullptr;
    return oleAdvise_ ? oleAdvise_->EnumAdvise(advise) : S_OK;
}

STDMETHODIMP ShockwaveFlash::GetMiscStatus(DWORD, DWORD* status) {
    if (!status) return E_POINTER;
    *status = OLEMISC_RECOMPOSEONRESIZE | OLEMISC_CANTLINKINSIDE | OLEMISC_INSIDEOUT |
              OLEMISC_ACTIVATEWHENVISIBLE | OLEMISC_SETCLIENTSITEFIRST;
    return S_OK;
}

STDMETHODIMP ShockwaveFlash::SetColorScheme(LOGPALETTE*) { return E_NOTIMPL; }

// --- IOleWindow, IOleInPlaceObject, IOleInPlaceActiveObject ------------------

STDMETHODIMP ShockwaveFlash::GetWindow(HWND* hwnd) {
    if (!hwnd) return E_POINTER;
    *hwnd = window_.handle();
    return *hwnd ? S_OK : E_FAIL;
}

STDMETHODIMP ShockwaveFlash::ContextSensitiveHelp(BOOL) { return E_NOTIMPL; }

STDMETHODIMP ShockwaveFlash::InPlaceDeactivate() {
    window_.destroy();
    if (auto site = std::move(inPlaceSite_)) site->OnInPlaceDeactivate();
    return S_OK;
}

STDMETHODIMP ShockwaveFlash::UIDeactivate() { return S_OK; }

STDMETHODIMP ShockwaveFlash::SetObjectRects(LPCRECT position, LPCRECT) {
    if (!position) return E_POINTER;
    window_.setPosition(*position);
    return S_OK;
}

STDMETHODIMP ShockwaveFlash::ReactivateAndUndo() { return INPLACE_E_NOTUNDOABLE; }

STDMETHODIMP ShockwaveFlash::TranslateAccelerator(LPMSG) { return S_FALSE; }
STDMETHODIMP ShockwaveFlash::OnFrameWindowActivate(BOOL) { return S_OK; }
STDMETHODIMP ShockwaveFlash::OnDocWindowActivate(BOOL) { return S_OK; }
STDMETHODIMP ShockwaveFlash::ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, BOOL) { return S_OK; }
STDMETHODIMP ShockwaveFlash::EnableModeless(BOOL) { return S_OK; }

// --- IOleControl ------------------------------------------------------------

STDMETHODIMP ShockwaveFlash::GetControlInfo(CONTROLINFO* info) {
    if (!info) return E_POINTER;
    info->hAccel = nullptr;
    info->cAccel = 0;
    info->dwFlags = 0;
    return S_OK;
}

STDMETHODIMP ShockwaveFlash::OnMnemonic(MSG*) { return E_NOTIMPL; }
STDMETHODIMP ShockwaveFlash::OnAmbientPropertyChange(DISPID) { return S_OK; }
// Events are never held back: a container relies on seeing every fscommand.
STDMETHODIMP ShockwaveFlash::FreezeEvents(BOOL) { return S_OK; }

// --- IViewObject2 -----------------------------------------------------------

STDMETHODIMP ShockwaveFlash::Draw(DWORD aspect, LONG, void*, DVTARGETDEVICE*, HDC, HDC dc, LPCRECTL bounds,
                                  LPCRECTL, BOOL(STDMETHODCALLTYPE*)(ULONG_PTR), ULONG_PTR) {
    if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
    if (!dc) return E_INVALIDARG;
    RECT area;
    if (bounds)
        area = {bounds->left, bounds->top, bounds->right, bounds->bottom};
    else if (!window_.handle() || !GetClientRect(window_.handle(), &area))
        return E_INVALIDARG;
    control_.draw(dc, area);
    return S_OK;
}

STDMETHODIMP ShockwaveFlash::GetColorSet(DWORD, LONG, void*, DVTARGETDEVICE*, HDC, LOGPALETTE** colors) {
    if (colors) *colors = nullptr;
    return S_FALSE; // any colours may appear
}

STDMETHODIMP ShockwaveFlash::Freeze(DWORD, LONG, void*, DWORD*) { return E_NOTIMPL; }
STDMETHODIMP ShockwaveFlash::Unfreeze(DWORD) { return E_NOTIMPL; }

STDMETHODIMP ShockwaveFlash::SetAdvise(DWORD aspects, DWORD flags, IAdviseSink* sink) {
    viewSink_ = ComPtr<IAdviseSink>(sink);
    viewAspects_ = aspects;
    viewFlags_ = flags;
    return S_OK;
}

STDMETHODIMP ShockwaveFlash::GetAdvise(DWORD* aspects, DWORD* flags, IAdviseSink** sink) {
    if (aspects) *aspects = viewAspects_;
    if (flags) *flags = viewFlags_;
    if (sink) *sink = ComPtr<IAdviseSink>(viewSink_).detach();
    return S_OK;
}

STDMETHODIMP ShockwaveFlash::GetExtent(DWORD aspect, LONG, DVTARGETDEVICE*, LPSIZEL size) {
    return GetExtent(aspect, size);
}

// --- IPersist, IPersistStreamInit, IPersistPropertyBag ----------------------

STDMETHODIMP ShockwaveFlash::GetClassID(CLSID* clsid) {
    if (!clsid) return E_POINTER;
    *clsid = kClassId;
    return S_OK;
}

STDMETHODIMP ShockwaveFlash::IsDirty() { return dirty_ ? S_OK : S_FALSE; }

STDMETHODIMP ShockwaveFlash::Load(LPSTREAM stream) {
    HRESULT hr = loadParameterStream(control_, stream);
    if (SUCCEEDED(hr)) dirty_ = false;
    return hr;
}

STDMETHODIMP ShockwaveFlash::Save(LPSTREAM stream, BOOL clearDirty) {
    HRESULT hr = saveParameterStream(control_, stream);
    if (SUCCEEDED(hr) && clearDirty) dirty_ = false;
    return hr;
}

STDMETHODIMP ShockwaveFlash::GetSizeMax(ULARGE_INTEGER* size) {
    if (!size) return E_POINTER;
    size->QuadPart = parameterStreamSize(control_);
    return S_OK;
}

STDMETHODIMP ShockwaveFlash::InitNew() { return S_OK; }

STDMETHODIMP ShockwaveFlash::Load(IPropertyBag* bag, IErrorLog* log) {
    if (!bag) return E_POINTER;
    loadParameters(control_, [&](std::u16string_view name, VARIANT& value) {
        std::wstring text(name.begin(), name.end());
        return SUCCEEDED(bag->Read(text.c_str(), &value, log));
    });
    dirty_ = false;
    return S_OK;
}

STDMETHODIMP ShockwaveFlash::Save(IPropertyBag* bag, BOOL clearDirty, BOOL) {
    if (!bag) return E_POINTER;
    HRESULT hr = saveParameters(control_, [&](std::u16string_view name, const VARIANT& value) {
        std::wstring text(name.begin(), name.end());
        return bag->Write(text.c_str(), const_cast<VARIANT*>(&value));
    });
    if (SUCCEEDED(hr) && clearDirty) dirty_ = false;
    return hr;
}

} // namespace lumbra::com
