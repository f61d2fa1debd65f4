// The window procedure of a class whose every window belongs to one C++
// object: the object arrives as CreateWindowEx's parameter, is kept in
// GWLP_USERDATA, learns its handle in WM_NCCREATE and then answers every
// message through its handle(message, wParam, lParam).
#pragma once

#include <windows.h>

namespace lumbra::win32 {

template <class Owner>
LRESULT CALLBACK ownedWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        auto* owner = static_cast<Owner*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        owner->attachWindow(window);
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(owner));
    }
    auto* owner = reinterpret_cast<Owner*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    return owner ? owner->handle(message, wParam, lParam) : DefWindowProcA(window, message, wParam, lParam);
}

} // namespace lumbra::win32
