#include "player/MenuHook.h"

#include "win32/UniqueHandle.h"

namespace lumbra {

namespace {

// One thread runs the user interface, so one hook and one count serve it.
struct MenuHookState {
    win32::HookHandle hook;
    int users = 0;
};

MenuHookState& state()
{
    static MenuHookState instance;
    return instance;
}

LRESULT CALLBACK callWindowProcedure(int code, WPARAM wParam, LPARAM lParam)
{
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

} // namespace

void acquireMenuHook()
{
    MenuHookState& hook = state();
    if (hook.users++ == 0)
        hook.hook.reset(SetWindowsHookExA(WH_CALLWNDPROC, callWindowProcedure, nullptr, GetCurrentThreadId()));
}

void releaseMenuHook()
{
    MenuHookState& hook = state();
    if (hook.users > 0 && --hook.users == 0)
        hook.hook.reset();
}

} // namespace lumbra
