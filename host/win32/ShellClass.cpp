#include "host/win32/ShellClass.h"

#include <windows.h>
#include <shellapi.h>

#include <optional>
#include <string>

#include "host/PlayerServices.h"
#include "host/SpecialFolders.h"
#include "host/win32/SpecialFolderPath.h"
#include "host/win32/WideText.h"
#include "host/win32/WindowClass.h"
#include "script/engine/ClassRegistration.h"
#include "script/engine/ScriptEngine.h"
#include "script/runtime/NativeClass.h"
#include "script/runtime/RuntimeError.h"
#include "script/runtime/ScriptString.h"

namespace lumbra::host {

namespace {

using orvet::ScriptValue;
using orvet::ValueKind;

enum class ShellMember { ToString, Run, Open, Explore, Print, GetSpecialFolder };

std::optional<std::wstring> textArgument(const ScriptValue* args, int n)
{
    if (!orvet::hasArgument(args, n) || !args[n].is(ValueKind::String))
        return std::nullopt;
    return wideText(args[n].string->view());
}

std::optional<DWORD> integerArgument(const ScriptValue* args, int n)
{
    if (!orvet::hasArgument(args, n) || !args[n].is(ValueKind::Integer))
        return std::nullopt;
    return static_cast<DWORD>(args[n].integer);
}

// Closes a process's or thread's handle when it goes.
struct OwnedHandle {
    HANDLE handle;
    ~OwnedHandle() { CloseHandle(handle); }
};

// The system's text for an error code, in the user's default language,
// without the line end.
std::string systemMessage(DWORD error)
{
    char* text = nullptr;
    const DWORD length = FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error,
        MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), reinterpret_cast<char*>(&text), 0, nullptr);
    std::string message = length ? std::string(text, length) : "error " + std::to_string(error);
    LocalFree(text);
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r' || message.back() == ' '))
        message.pop_back();
    return message;
}

BOOL CALLBACK takeMainWindow(HWND hwnd, LPARAM found)
{
    if (!IsWindow(hwnd) || GetParent(hwnd) || (GetWindowLongW(hwnd, GWL_STYLE) & WS_POPUP))
        return TRUE;
    *reinterpret_cast<HWND*>(found) = hwnd;
    return FALSE;
}

// Starts the program and gives a "Window" for its main window once it waits
// for input (at most ten seconds), or Null.
ScriptValue run(orvet::ScriptContext& ctx, const ScriptValue* args)
{
    std::optional<std::wstring> commandLine = textArgument(args, 1);
    if (!commandLine)
        return ScriptValue::null();
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    if (const auto show = integerArgument(args, 2)) {
        startup.dwFlags |= STARTF_USESHOWWINDOW;
        startup.wShowWindow = static_cast<WORD>(*show);
    }
    const auto x = integerArgument(args, 3), y = integerArgument(args, 4);
    if (x && y) {
        startup.dwFlags |= STARTF_USEPOSITION;
        startup.dwX = *x;
        startup.dwY = *y;
    }
    const auto width = integerArgument(args, 5), height = integerArgument(args, 6);
    if (width && height) {
        startup.dwFlags |= STARTF_USESIZE;
        startup.dwXSize = *width;
        startup.dwYSize = *height;
    }
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, commandLine->data(), nullptr, nullptr, FALSE, NORMAL_PRIORITY_CLASS, nullptr,
                        nullptr, &startup, &process)) {
        orvet::setErrorText(ctx, systemMessage(GetLastError()));
        return ScriptValue::null();
    }
    const OwnedHandle processHandle{process.hProcess}, threadHandle{process.hThread};
    WaitForInputIdle(process.hProcess, 10000);
    HWND main = nullptr;
    EnumThreadWindows(process.dwThreadId, takeMainWindow, reinterpret_cast<LPARAM>(&main));
    return main ? MakeWindowObject(ctx, main) : ScriptValue::null();
}

void perform(const wchar_t* verb, HWND owner, const ScriptValue* args)
{
    const std::optional<std::wstring> file = textArgument(args, 1);
    if (!file)
        return;
    const std::optional<std::wstring> directory = textArgument(args, 2);
    const std::optional<std::wstring> parameters = textArgument(args, 3);
    ShellExecuteW(owner, verb, file->c_str(), parameters ? parameters->c_str() : nullptr,
                  directory ? directory->c_str() : nullptr, SW_SHOWNORMAL);
}

ScriptValue specialFolder(orvet::ScriptContext& ctx, const ScriptValue* args)
{
    if (!orvet::hasArgument(args, 1) || !args[1].is(ValueKind::String))
        return ScriptValue::null();
    const std::optional<SpecialFolder> folder = findSpecialFolder(orvet::toAnsi(*args[1].string));
    if (!folder)
        return ScriptValue::null();
    const std::optional<std::wstring> path = specialFolderPath(*folder);
    return path ? orvet::stringValue(ctx, scriptText(path->data(), path->size())) : ScriptValue::null();
}

int shellMethod(orvet::ScriptContext& ctx, orvet::NativeClass& cls, void*, orvet::Atom name, ScriptValue* result,
                ScriptValue* args)
{
    const orvet::MemberAtoms& members = orvet::MemberAtoms::of(cls);
    const int index = members.find(name);
    if (index < 0 || index > static_cast<int>(ShellMember::GetSpecialFolder))
        return 0;
    const HWND owner = static_cast<PlayerServices*>(members.host)->mainWindow();
    *result = ScriptValue();
    switch (static_cast<ShellMember>(index)) {
    case ShellMember::ToString: *result = orvet::staticStringValue(ctx, u"[object Shell]"); break;
    case ShellMember::Run: *result = run(ctx, args); break;
    case ShellMember::Open: perform(L"open", owner, args); break;
    case ShellMember::Explore: perform(L"explore", owner, args); break;
    case ShellMember::Print: perform(L"print", owner, args); break;
    case ShellMember::GetSpecialFolder: *result = specialFolder(ctx, args); break;
    }
    return 1;
}

// Every property of "Shell" reads as Undefined and ignores writes.
int shellProperty(orvet::ScriptContext&, orvet::NativeClass&, void*, orvet::Atom, int set, ScriptValue* value)
{
    if (!set)
        *value = ScriptValue();
    return 1;
}

} // namespace

void registerShellClass(orvet::ScriptEngine& engine, void* host)
{
    orvet::ScriptContext& ctx = *engine.context;
    orvet::NativeClass* cls = orvet::newClass(ctx);
    orvet::MemberAtoms::attach(engine, host, *cls, {
        "toString", "run", "open", "explore", "print", "getSpecialFolder",
        "appdata", "cookies", "desktop", "desktop all", "favorites", "fonts", "history", "internet cache",
        "my documents", "nethood", "printers", "programs", "programs all", "recent", "sendto", "startmenu",
        "startmenu all", "startup", "startup all", "templates", "windows", "system", "temp", "program files",
        "recycle bin",
    });
    cls->callMethod = shellMethod;
    cls->accessProperty = shellProperty;
    orvet::registerGlobalClass(ctx, "Shell", cls);
}

} // namespace lumbra::host
