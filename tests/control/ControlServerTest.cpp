// The DLL as a COM server: its entry points, registration and version.
#include "tests/control/ControlHost.h"

#include "control/com/Guids.h"

#include <gtest/gtest.h>

#include <olectl.h>

#include <vector>

namespace lumbra::com::test {
namespace {

using GetClassObjectFn = HRESULT STDAPICALLTYPE(REFCLSID, REFIID, void**);
using ServerFn = HRESULT STDAPICALLTYPE();

std::wstring readDefault(const std::wstring& key, const wchar_t* name = nullptr) {
    wchar_t value[1024];
    DWORD size = sizeof value;
    if (RegGetValueW(HKEY_CLASSES_ROOT, key.c_str(), name, RRF_RT_REG_SZ, nullptr, value, &size) != ERROR_SUCCESS)
        return L"<missing>";
    return value;
}

bool keyExists(const std::wstring& key) {
    HKEY h;
    if (RegOpenKeyExW(HKEY_CLASSES_ROOT, key.c_str(), 0, KEY_READ, &h) != ERROR_SUCCESS) return false;
    RegCloseKey(h);
    return true;
}

const std::wstring kClassKey = L"CLSID\\{D27CDB6E-AE6D-11CF-96B8-444553540000}";

TEST(ControlServer, GivesOutOnlyItsOwnClass) {
    ControlLibrary library;
    auto getClassObject = library.entry<GetClassObjectFn>("DllGetClassObject");
    ASSERT_TRUE(getClassObject);
    ComPtr<IClassFactory> factory;
    EXPECT_EQ(getClassObject(IID_IDispatch, IID_IClassFactory, reinterpret_cast<void**>(factory.put())),
              CLASS_E_CLASSNOTAVAILABLE);
    EXPECT_FALSE(factory);
    ASSERT_EQ(getClassObject(kClassId, IID_IClassFactory, reinterpret_cast<void**>(factory.put())), S_OK);
    ComPtr<IUnknown> aggregated;
    ComPtr<IUnknown> outer = ComPtr<IClassFactory>(factory).query<IUnknown>();
    EXPECT_EQ(factory->CreateInstance(outer.get(), IID_IUnknown, reinterpret_cast<void**>(aggregated.put())),
              CLASS_E_NOAGGREGATION);
}

TEST(ControlServer, StaysLoadedWhileAnythingOfItLives) {
    ControlLibrary library;
    auto canUnload = library.entry<ServerFn>("DllCanUnloadNow");
    ASSERT_TRUE(canUnload);
    EXPECT_EQ(canUnload(), S_OK);
    {
        auto control = library.create();
        ASSERT_TRUE(control);
        EXPECT_EQ(canUnload(), S_FALSE);
        // Every interface a container asks for is there.
        EXPECT_TRUE(control.query<IOleObject>());
        EXPECT_TRUE(control.query<IOleInPlaceObject>());
        EXPECT_TRUE(control.query<IOleInPlaceActiveObject>());
        EXPECT_TRUE(control.query<IOleControl>());
        EXPECT_TRUE(control.query<IViewObject2>());
        EXPECT_TRUE(control.query<IConnectionPointContainer>());
        EXPECT_TRUE(control.query<IPersistStreamInit>());
        EXPECT_TRUE(control.query<IPersistPropertyBag>());
        ComPtr<IUnknown> viaDispatch = control.query<IUnknown>();
        ComPtr<IUnknown> viaView = control.query<IViewObject>().query<IUnknown>();
        EXPECT_EQ(viaDispatch.get(), viaView.get()) << "one identity";
    }
    EXPECT_EQ(canUnload(), S_OK);
}

TEST(ControlServer, FileVersionPassesTheInstalledControlRule) {
    auto path = controlLibraryPath().string();
    DWORD ignored = 0;
    DWORD size = GetFileVersionInfoSizeA(path.c_str(), &ignored);
    ASSERT_GT(size, 0u);
    std::vector<char> data(size);
    ASSERT_TRUE(GetFileVersionInfoA(path.c_str(), 0, size, data.data()));
    VS_FIXEDFILEINFO* info = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(data.data(), "\\", reinterpret_cast<void**>(&info), &length));
    bool recentEnough = info->dwFileVersionMS > 0x00070000 ||
                        (info->dwFileVersionMS == 0x00070000 && info->dwFileVersionLS >= 0x00200000);
    EXPECT_TRUE(recentEnough) << std::hex << info->dwFileVersionMS << "." << info->dwFileVersionLS;
}

TEST(ControlServer, RegistersAndUnregistersItself) {
    ControlLibrary library;
    auto registerServer = library.entry<ServerFn>("DllRegisterServer");
    auto unregisterServer = library.entry<ServerFn>("DllUnregisterServer");
    ASSERT_TRUE(registerServer && unregisterServer);

    ASSERT_EQ(registerServer(), S_OK);
    wchar_t path[MAX_PATH];
    GetModuleFileNameW(library.module(), path, MAX_PATH);
    EXPECT_EQ(lstrcmpiW(readDefault(kClassKey + L"\\InProcServer32").c_str(), path), 0);
    EXPECT_EQ(readDefault(kClassKey + L"\\InProcServer32", L"ThreadingModel"), L"Apartment");
    EXPECT_EQ(readDefault(kClassKey + L"\\ProgID"), L"ShockwaveFlash.ShockwaveFlash");
    EXPECT_EQ(readDefault(L"ShockwaveFlash.ShockwaveFlash\\CLSID"), L"{D27CDB6E-AE6D-11CF-96B8-444553540000}");
    // The type library too, found from the class as design tools look for it.
    const std::wstring libraryId = L"{D27CDB6B-AE6D-11CF-96B8-444553540000}";
    EXPECT_EQ(readDefault(kClassKey + L"\\TypeLib"), libraryId);
    EXPECT_EQ(lstrcmpiW(readDefault(L"TypeLib\\" + libraryId + L"\\1.0\\0\\win32").c_str(), path), 0);
    ComPtr<ITypeLib> registeredLibrary;
    EXPECT_EQ(LoadRegTypeLib(kTypeLibraryId, 1, 0, LOCALE_NEUTRAL, registeredLibrary.put()), S_OK);
    registeredLibrary.reset();

    // Registered, the control is found by COM as any installed control is.
    ComPtr<IDispatch> created;
    EXPECT_EQ(CoCreateInstance(kClassId, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch,
                               reinterpret_cast<void**>(created.put())),
              S_OK);
    created.reset();
    CoFreeUnusedLibraries();

    EXPECT_EQ(unregisterServer(), S_OK);
    EXPECT_FALSE(keyExists(kClassKey));
    EXPECT_FALSE(keyExists(L"ShockwaveFlash.ShockwaveFlash"));
    EXPECT_FALSE(keyExists(L"TypeLib\\" + libraryId + L"\\1.0"));
    EXPECT_EQ(unregisterServer(), S_OK) << "nothing left to remove is no error";
}

TEST(ControlServer, LeavesAnotherFilesRegistrationAlone) {
    ControlLibrary library;
    auto unregisterServer = library.entry<ServerFn>("DllUnregisterServer");
    HKEY key;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CLASSES_ROOT, (kClassKey + L"\\InProcServer32").c_str(), 0, nullptr, 0,
                              KEY_SET_VALUE, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    const wchar_t other[] = L"C:\\Windows\\system32\\Macromed\\Flash\\other.ocx";
    RegSetValueExW(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(other), sizeof other);
    RegCloseKey(key);

    EXPECT_EQ(unregisterServer(), S_FALSE);
    EXPECT_EQ(readDefault(kClassKey + L"\\InProcServer32"), other);
    RegDeleteTreeW(HKEY_CLASSES_ROOT, kClassKey.c_str());
}

} // namespace
} // namespace lumbra::com::test
