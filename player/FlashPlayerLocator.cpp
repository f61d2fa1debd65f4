#include "player/FlashPlayerLocator.h"

#include "player/ProgramPaths.h"

#include "player/ShockwaveFlashClass.h"

#include "win32/ComPtr.h"
#include "win32/RegistryKey.h"
#include "win32/UniqueHandle.h"

#include "package/PackageResources.h"

#include <cstdio>
#include <vector>

namespace lumbra {

namespace {

using win32::ComPtr;

constexpr char kServerKey[] = "CLSID\\{D27CDB6E-AE6D-11CF-96B8-444553540000}\\InProcServer32";

bool fileVersion(const std::string& file, DWORD& high, DWORD& low)
{
    DWORD handle = 0;
    const DWORD size = GetFileVersionInfoSizeA(file.c_str(), &handle);
    if (size == 0)
        return false;
    std::vector<char> info(size);
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    if (!GetFileVersionInfoA(file.c_str(), 0, size, info.data()) ||
        !VerQueryValueA(info.data(), "\\", reinterpret_cast<void**>(&fixed), &length) || length < sizeof *fixed)
        return false;
    high = fixed->dwFileVersionMS;
    low = fixed->dwFileVersionLS;
    return true;
}

std::string registeredServerFile()
{
    return win32::RegistryKey::open(HKEY_CLASSES_ROOT, kServerKey).readString("").value_or("");
}

// Creates `file` holding `bytes`; a file left incomplete is deleted.
bool writeNewFile(const std::string& file, const Bytes& bytes, DWORD access, DWORD share, DWORD disposition)
{
    win32::FileHandle handle(
        CreateFileA(file.c_str(), access, share, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!handle)
        return false;
    DWORD written = 0;
    const bool complete =
        WriteFile(handle.get(), bytes.data(), DWORD(bytes.size()), &written, nullptr) && written == bytes.size();
    handle.reset();
    if (!complete)
        DeleteFileA(file.c_str());
    return complete;
}

// Writes a support library's block as a file that others may still read and write.
bool writeBlock(const ResourceSource& resources, std::string_view name, const std::string& file,
                ErrorReporter& reporter)
{
    std::optional<Bytes> bytes;
    try {
        bytes = loadPackedResource(resources, supportResourceType, name, reporter);
    } catch (const PlayerException&) {
        return false;
    }
    return bytes && writeNewFile(file, *bytes, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                 CREATE_ALWAYS);
}

bool libraryLoads(const char* name)
{
    return static_cast<bool>(win32::LibraryHandle(LoadLibraryA(name)));
}

// The automation library must be at least version 2.20; an older one may be
// replaced by the packaged copy if the user agrees.
bool automationLibraryIsUsable(const ResourceSource& resources, const std::string& workingFolder,
                               MessageReporter& reporter)
{
    char loaded[MAX_PATH] = "";
    {
        const win32::LibraryHandle module(LoadLibraryA("OLEAUT32.DLL"));
        if (!module)
            return false;
        GetModuleFileNameA(module.get(), loaded, MAX_PATH);
    }
    DWORD high = 0, low = 0;
    if (fileVersion(loaded, high, low) && (HIWORD(high) > 2 || (HIWORD(high) == 2 && LOWORD(high) >= 20)))
        return true;

    const std::string update = workingFolder + "OLEAUT32.DLL";
    if (!writeBlock(resources, "$2", update, reporter))
        return false;
    const int answer = reporter.ask(
        "The OleAut32.dll in your system is too old to run this application. Do you want to update it?\r\n\r\n"
        "If you decide to update the dll, be sure to close any other running applications.",
        MB_YESNO | MB_ICONQUESTION);
    if (answer != IDYES)
        return false;
    if (!CopyFileA(update.c_str(), loaded, FALSE)) {
        reporter.show("Failed to update the OleAut32.dll!", MB_OK);
        return false;
    }
    return true;
}

// The run-time libraries the control needs, each written only when this
// machine cannot load its own.
bool prepareSupportLibraries(const ResourceSource& resources, const std::string& workingFolder,
                             MessageReporter& reporter)
{
    if (!libraryLoads("MSVCRT.DLL") && !writeBlock(resources, "$1", workingFolder + "MSVCRT.DLL", reporter))
        return false;
    if (!automationLibraryIsUsable(resources, workingFolder, reporter))
        return false;
    char system[MAX_PATH] = "";
    GetSystemDirectoryA(system, MAX_PATH);
    const std::string systemFolder = withTrailingBackslash(system);
    for (auto [name, block] : {std::pair{"URLMON.DLL", "$3"}, std::pair{"WININET.DLL", "$4"}})
        if (!libraryLoads(name) && !writeBlock(resources, block, systemFolder + name, reporter))
            return false;
    return true;
}

// The control finds the libraries of the working folder through the path.
void addToSearchPath(const std::string& folder)
{
    const DWORD needed = GetEnvironmentVariableA("path", nullptr, 0);
    std::string path(needed, '\0');
    path.resize(GetEnvironmentVariableA("path", path.data(), needed));
    path += ';' + folder;
    SetEnvironmentVariableA("path", path.c_str());
}

} // namespace

bool installedControlIsRecent(DWORD versionHigh, DWORD versionLow)
{
    return versionHigh > 0x00070000 || (versionHigh == 0x00070000 && versionLow >= 0x00200000);
}

bool installedControlVersion(DWORD& versionHigh, DWORD& versionLow)
{
    const bool initialized = SUCCEEDED(CoInitialize(nullptr));
    win32::ComPtr<IDispatch> control;
    const bool installed =
        SUCCEEDED(CoCreateInstance(kShockwaveFlashClassId, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER | CLSCTX_REMOTE_SERVER,
                                   IID_IDispatch, reinterpret_cast<void**>(control.put())));
    control.reset();
    if (initialized)
        CoUninitialize();
    return installed && fileVersion(registeredServerFile(), versionHigh, versionLow);
}

std::string findFlashPlayer(const ResourceSource& resources, const std::string& workingFolder,
                            MessageReporter& reporter)
{
    DWORD high = 0, low = 0;
    if (installedControlVersion(high, low) && installedControlIsRecent(high, low))
        return {};

    std::optional<Bytes> control;
    try {
        control = loadPackedResourceSilently(resources, packageResourceType, "FP");
    } catch (const PlayerException&) {
    }
    if (!control || !prepareSupportLibraries(resources, workingFolder, reporter))
        return {};
    addToSearchPath(workingFolder);

    const std::string file = workingFolder + "flash.ocx";
    if (GetFileAttributesA(file.c_str()) == INVALID_FILE_ATTRIBUTES &&
        !writeNewFile(file, *control, GENERIC_WRITE, FILE_SHARE_READ, CREATE_NEW))
        return {};
    return file;
}

HRESULT createFlashControl(const std::string& path, IDispatch** control)
{
    *control = nullptr;
    if (path.empty())
        return CoCreateInstance(kShockwaveFlashClassId, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER, IID_IDispatch,
                                reinterpret_cast<void**>(control));
    win32::LibraryHandle library(LoadLibraryA(path.c_str()));
    if (!library)
        return REGDB_E_CLASSNOTREG;
    using GetClassObject = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
    auto getClassObject = reinterpret_cast<GetClassObject>(
        reinterpret_cast<void*>(GetProcAddress(library.get(), "DllGetClassObject")));
    if (!getClassObject)
        return CO_E_ERRORINDLL;
    win32::ComPtr<IClassFactory> factory;
    HRESULT result = getClassObject(kShockwaveFlashClassId, IID_IClassFactory, reinterpret_cast<void**>(factory.put()));
    if (SUCCEEDED(result))
        result = factory->CreateInstance(nullptr, IID_IDispatch, reinterpret_cast<void**>(control));
    // The library stays loaded until shutdown frees it by its path.
    library.release();
    return result;
}

} // namespace lumbra
