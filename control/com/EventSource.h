// The control's one connection point: containers advise their event sinks
// here and receive FSCommand and the other events through IDispatch::Invoke.
// It lives inside the control and shares the control's reference count.
#pragma once

#include "win32/ComPtr.h"

#include <ocidl.h>

#include <string_view>
#include <vector>

namespace lumbra::com {

using win32::ComPtr;

class EventSource final : public IConnectionPoint {
public:
    explicit EventSource(IConnectionPointContainer& owner);
    EventSource(const EventSource&) = delete;
    EventSource& operator=(const EventSource&) = delete;

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;

    STDMETHODIMP GetConnectionInterface(IID* iid) override;
    STDMETHODIMP GetConnectionPointContainer(IConnectionPointContainer** out) override;
    STDMETHODIMP Advise(IUnknown* sink, DWORD* cookie) override;
    STDMETHODIMP Unadvise(DWORD cookie) override;
    STDMETHODIMP EnumConnections(IEnumConnections** out) override;

    // Calls every sink, synchronously and in the order they were advised.
    void fsCommand(std::u16string_view command, std::u16string_view args);
    void readyStateChange(int state);
    void progress(int percent);
    // ExternalInterface.call: the request XML; sinks answer through SetReturnValue.
    void flashCall(std::u16string_view request);
    // Drops every sink (the control is closing).
    void disconnectAll();

private:
    void fire(DISPID id, VARIANTARG* argsLastFirst, UINT count);

    struct Connection {
        DWORD cookie;
        ComPtr<IDispatch> sink;
    };
    IConnectionPointContainer& owner_;
    std::vector<Connection> connections_;
    DWORD nextCookie_ = 1;
};

} // namespace lumbra::com
