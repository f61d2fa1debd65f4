#include "control/com/Registration.h"

#include "control/com/Guids.h"
#include "win32/ComPtr.h"

#include <olectl.h>
#include <oleauto.h>

#include <string>

namespace lumbra::com {

namespace {

class RegKey {
public:
    RegKey() = default;
    RegKey(const RegKey&) = delete;
    RegKey& operator=(const RegKey&) = delete;
    ~RegKey() {
        if (key_) RegCloseKey(key_);
    }
    HKEY* put() { return &key_; }
    HKEY get() const { return key_; }

private:
    HKEY key_ = nullptr;
};

std::wstring classKeyPath() {
    wchar_t clsid[40];
    StringFromGUID2(kClassId, clsid, 40);
    return std::wstring(L"CLSID\\") + clsid;
}

std::wstring modulePath(HMODULE module) {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        DWORD n = GetModuleFileNameW(module, path.data(), static_cast<DWORD>(path.size()));
        if (n == 0) return {};
        if (n < path.size()) {
            path.resize(n);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

// Creates HKCR\<path> and sets one string value (empty name = default value).
LSTATUS setString(const std::wstring& path, const wchar_t* name, const std::wstring& value) {
    RegKey key;
    LSTATUS status = RegCreateKeyExW(HKEY_CLASSES_ROOT, path.c_str(), 0, nullptr, 0,
                                     KEY_SET_VALUE, nullptr, key.put(), nullptr);
    if (status != ERROR_SUCCESS) return status;
    return RegSetValueExW(key.get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                          static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

std::wstring readDefault(const std::wstring& path) {
    wchar_t value[MAX_PATH * 2];
    DWORD size = sizeof value;
    if (RegGetValueW(HKEY_CLASSES_ROOT, path.c_str(), nullptr, RRF_RT_REG_SZ, nullptr, value,
                     &size) != ERROR_SUCCESS)
        return {};
    return value;
}

LSTATUS deleteTree(const std::wstring& path) {
    LSTATUS status = RegDeleteTreeW(HKEY_CLASSES_ROOT, path.c_str());
    return status == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : status;
}

// The type library the DLL carries, registered so that design tools find it
// through the class's TypeLib key.
HRESULT registerTypeLibrary(std::wstring path) {
    win32::ComPtr<ITypeLib> library;
    HRESULT hr = LoadTypeLibEx(path.c_str(), REGKIND_NONE, library.put());
    if (FAILED(hr)) return hr;
    return RegisterTypeLib(library.get(), path.data(), nullptr);
}

std::wstring guidText(const GUID& guid) {
    wchar_t text[40];
    StringFromGUID2(guid, text, 40);
    return text;
}

} // namespace

HRESULT registerServer(HMODULE module) {
    std::wstring path = modulePath(module);
    if (path.empty()) return HRESULT_FROM_WIN32(GetLastError());
    std::wstring classKey = classKeyPath();
    std::wstring clsid = classKey.substr(6);
    std::wstring server = classKey + L"\\InProcServer32";
    const struct {
        std::wstring key;
        const wchar_t* name;
        std::wstring value;
    } entries[] = {
        {classKey, nullptr, kClassName},
        {server, nullptr, path},
        {server, L"ThreadingModel", L"Apartment"},
        {classKey + L"\\ProgID", nullptr, kProgId},
        {classKey + L"\\Control", nullptr, L""},
        {classKey + L"\\TypeLib", nullptr, guidText(kTypeLibraryId)},
        {classKey + L"\\Version", nullptr, L"1.0"},
        {kProgId, nullptr, kClassName},
        {std::wstring(kProgId) + L"\\CLSID", nullptr, clsid},
    };
    for (const auto& entry : entries) {
        LSTATUS status = setString(entry.key, entry.name, entry.value);
        if (status != ERROR_SUCCESS) {
            unregisterServer(module);
            return SELFREG_E_CLASS;
        }
    }
    if (FAILED(registerTypeLibrary(path))) {
        unregisterServer(module);
        return SELFREG_E_TYPELIB;
    }
    return S_OK;
}

HRESULT unregisterServer(HMODULE module) {
    std::wstring classKey = classKeyPath();
    // The class id is shared with the control we stand in for: a registration
    // that names another file is that product's, not ours to remove.
    std::wstring registered = readDefault(classKey + L"\\InProcServer32");
    if (!registered.empty() && lstrcmpiW(registered.c_str(), modulePath(module).c_str()) != 0)
        return S_FALSE;
    if (readDefault(std::wstring(kProgId) + L"\\CLSID") == classKey.substr(6)) deleteTree(kProgId);
    // Gone already when registration stopped before it: nothing to report.
    UnRegisterTypeLib(kTypeLibraryId, 1, 0, LOCALE_NEUTRAL, SYS_WIN32);
    return deleteTree(classKey) == ERROR_SUCCESS ? S_OK : SELFREG_E_CLASS;
}

} // namespace lumbra::com
