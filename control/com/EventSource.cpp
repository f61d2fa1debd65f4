#include "control/com/EventSource.h"

#include "win32/Bstr.h"
#include "control/com/Guids.h"
#include "control/com/SnapshotEnumerator.h"

#include <olectl.h>

namespace lumbra::com {

using win32::Bstr;
using win32::ComPtr;

EventSource::EventSource(IConnectionPointContainer& owner) : owner_(owner) {}

STDMETHODIMP EventSource::QueryInterface(REFIID iid, void** out) {
    if (!out) return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IConnectionPoint) {
        *out = static_cast<IConnectionPoint*>(this);
        AddRef();
        return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) EventSource::AddRef() { return owner_.AddRef(); }
STDMETHODIMP_(ULONG) EventSource::Release() { return owner_.Release(); }

STDMETHODIMP EventSource::GetConnectionInterface(IID* iid) {
    if (!iid) return E_POINTER;
    *iid = kEventInterfaceId;
    return S_OK;
}

STDMETHODIMP EventSource::GetConnectionPointContainer(IConnectionPointContainer** out) {
    if (!out) return E_POINTER;
    owner_.AddRef();
    *out = &owner_;
    return S_OK;
}

STDMETHODIMP EventSource::Advise(IUnknown* sink, DWORD* cookie) {
    if (!sink || !cookie) return E_POINTER;
    *cookie = 0;
    // Sinks written for the event interface answer to its id; plain
    // dispatch sinks are as good, since events arrive through Invoke anyway.
    ComPtr<IDispatch> dispatch;
    if (FAILED(sink->QueryInterface(kEventInterfaceId, reinterpret_cast<void**>(dispatch.put()))) &&
        FAILED(sink->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(dispatch.put()))))
        return CONNECT_E_CANNOTCONNECT;
    *cookie = nextCookie_++;
    connections_.push_back({*cookie, std::move(dispatch)});
    return S_OK;
}

STDMETHODIMP EventSource::Unadvise(DWORD cookie) {
    for (auto it = connections_.begin(); it != connections_.end(); ++it)
        if (it->cookie == cookie) {
            // Released after leaving the list: a sink's Release may re-enter us.
            ComPtr<IDispatch> sink = std::move(it->sink);
            connections_.erase(it);
            return S_OK;
        }
    return CONNECT_E_NOCONNECTION;
}

STDMETHODIMP EventSource::EnumConnections(IEnumConnections** out) {
    std::vector<CONNECTDATA> items;
    for (const auto& connection : connections_) items.push_back({connection.sink.get(), connection.cookie});
    return ConnectionEnumerator::create(items, out);
}

void EventSource::fire(DISPID id, VARIANTARG* argsLastFirst, UINT count) {
    // A sink may advise or unadvise while it handles the event: work on a copy.
    std::vector<Connection> sinks = connections_;
    ComPtr<IConnectionPointContainer> keepAlive(&owner_);
    for (const auto& connection : sinks) {
        DISPPARAMS params = {argsLastFirst, nullptr, count, 0};
        connection.sink->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, nullptr, nullptr,
                                nullptr);
    }
}

void EventSource::fsCommand(std::u16string_view command, std::u16string_view args) {
    Bstr commandText(command), argsText(args);
    VARIANTARG params[2];
    V_VT(&params[0]) = VT_BSTR;
    V_BSTR(&params[0]) = argsText.get();
    V_VT(&params[1]) = VT_BSTR;
    V_BSTR(&params[1]) = commandText.get();
    fire(kEventFSCommand, params, 2);
}

void EventSource::readyStateChange(int state) {
    VARIANTARG param;
    V_VT(&param) = VT_I4;
    V_I4(&param) = state;
    fire(kEventReadyStateChange, &param, 1);
}

void EventSource::progress(int percent) {
    VARIANTARG param;
    V_VT(&param) = VT_I4;
    V_I4(&param) = percent;
    fire(kEventProgress, &param, 1);
}

void EventSource::flashCall(std::u16string_view request) {
    Bstr requestText(request);
    VARIANTARG param;
    V_VT(&param) = VT_BSTR;
    V_BSTR(&param) = requestText.get();
    fire(kEventFlashCall, &param, 1);
}

void EventSource::disconnectAll() {
    std::vector<Connection> dropped;
    dropped.swap(connections_);
}

} // namespace lumbra::com
