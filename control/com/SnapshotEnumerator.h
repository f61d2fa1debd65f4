// The enumerators of the connection interfaces (IEnumConnectionPoints,
// IEnumConnections): each holds its own references to the items as they were
// when it was made, so a container may walk it while sinks come and go.
#pragma once

#include "control/com/ServerModule.h"

#include <ocidl.h>

#include <algorithm>
#include <new>
#include <vector>

namespace lumbra::com {

// How an enumerated item holds and hands out its reference.
inline void addItemReference(IConnectionPoint* point) { point->AddRef(); }
inline void releaseItem(IConnectionPoint* point) { point->Release(); }
inline void addItemReference(const CONNECTDATA& connection) { connection.pUnk->AddRef(); }
inline void releaseItem(const CONNECTDATA& connection) { connection.pUnk->Release(); }

template <class Interface, class Item, const IID& InterfaceId>
class SnapshotEnumerator final : public Interface {
public:
    // A new enumerator over `items`, each of which it takes a reference to.
    static HRESULT create(const std::vector<Item>& items, Interface** out)
    {
        if (!out) return E_POINTER;
        *out = new (std::nothrow) SnapshotEnumerator(items, 0);
        return *out ? S_OK : E_OUTOFMEMORY;
    }

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override
    {
        if (!out) return E_POINTER;
        if (iid != IID_IUnknown && iid != InterfaceId) {
            *out = nullptr;
            return E_NOINTERFACE;
        }
        *out = static_cast<Interface*>(this);
        AddRef();
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return InterlockedIncrement(&refs_); }
    STDMETHODIMP_(ULONG) Release() override
    {
        ULONG left = InterlockedDecrement(&refs_);
        if (left == 0) delete this;
        return left;
    }

    STDMETHODIMP Next(ULONG count, Item* out, ULONG* fetched) override
    {
        if (!out || (count > 1 && !fetched)) return E_POINTER;
        ULONG given = 0;
        for (; given < count && next_ < items_.size(); ++given, ++next_) {
            out[given] = items_[next_];
            addItemReference(out[given]);
        }
        if (fetched) *fetched = given;
        return given == count ? S_OK : S_FALSE;
    }
    STDMETHODIMP Skip(ULONG count) override
    {
        std::size_t left = items_.size() - next_;
        next_ += std::min<std::size_t>(count, left);
        return count <= left ? S_OK : S_FALSE;
    }
    STDMETHODIMP Reset() override
    {
        next_ = 0;
        return S_OK;
    }
    STDMETHODIMP Clone(Interface** out) override
    {
        if (!out) return E_POINTER;
        *out = new (std::nothrow) SnapshotEnumerator(items_, next_);
        return *out ? S_OK : E_OUTOFMEMORY;
    }

private:
    SnapshotEnumerator(const std::vector<Item>& items, std::size_t next) : items_(items), next_(next)
    {
        for (const Item& item : items_) addItemReference(item);
        server::addReference();
    }
    ~SnapshotEnumerator()
    {
        for (const Item& item : items_) releaseItem(item);
        server::releaseReference();
    }

    LONG refs_ = 1;
    std::vector<Item> items_;
    std::size_t next_;
};

using ConnectionPointEnumerator =
    SnapshotEnumerator<IEnumConnectionPoints, IConnectionPoint*, IID_IEnumConnectionPoints>;
using ConnectionEnumerator = SnapshotEnumerator<IEnumConnections, CONNECTDATA, IID_IEnumConnections>;

} // namespace lumbra::com
