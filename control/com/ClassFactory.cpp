#include "control/com/ClassFactory.h"

#include "win32/ComPtr.h"
#include "control/com/Guids.h"
#include "control/com/ServerModule.h"
#include "control/com/ShockwaveFlash.h"

namespace lumbra::com {

using win32::ComPtr;

namespace {

class ClassFactory final : public IClassFactory {
public:
    ClassFactory() { server::addReference(); }
    ~ClassFactory() { server::releaseReference(); }

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_IClassFactory) {
            *out = static_cast<IClassFactory*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return InterlockedIncrement(&refs_); }
    STDMETHODIMP_(ULONG) Release() override {
        ULONG left = InterlockedDecrement(&refs_);
        if (left == 0) delete this;
        return left;
    }

    STDMETHODIMP CreateInstance(IUnknown* outer, REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (outer) return CLASS_E_NOAGGREGATION;
        return ShockwaveFlash::create(iid, out);
    }
    STDMETHODIMP LockServer(BOOL lock) override {
        if (lock)
            server::addReference();
        else
            server::releaseReference();
        return S_OK;
    }

private:
    LONG refs_ = 1;
};

} // namespace

HRESULT getClassObject(REFCLSID clsid, REFIID iid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (clsid != kClassId) return CLASS_E_CLASSNOTAVAILABLE;
    auto factory = ComPtr<ClassFactory>::adopt(new ClassFactory);
    return factory->QueryInterface(iid, out);
}

} // namespace lumbra::com
