// Test support: real keyboard and mouse input, as a person at the machine
// gives it, and looking at another process's windows from outside.
#pragma once

#include <windows.h>

#include <chrono>
#include <functional>
#include <initializer_list>
#include <string>

namespace lumbra::test {

// Makes `window` the foreground window, so that it receives the keyboard.
void bringToFront(HWND window);
// Presses the keys in order, then releases them in reverse order.
void pressKeys(std::initializer_list<WORD> keys);
// Moves the cursor to a screen point, then presses and releases a button.
void click(POINT screen, bool right = false);
// Turns the mouse wheel by whole notches, positive away from the user.
void turnWheel(int notches);
// Moves the cursor to a screen point and clicks the left button twice.
void doubleClick(POINT screen);
// Presses the left button at `from`, moves in steps to `to`, releases it.
void dragMouse(POINT from, POINT to);

// Waits until `condition` holds or the time is up; returns the last result.
bool waitFor(const std::function<bool()>& condition, std::chrono::milliseconds timeout = std::chrono::seconds(10));

// A visible top-level window of `processId` with the class and title given
// ("" matches any title), other than `except`; null when none.
HWND findProcessWindow(DWORD processId, const std::string& className, const std::string& title = "",
                       HWND except = nullptr);

// The centre of a window, in screen coordinates.
POINT centreOf(HWND window);

} // namespace lumbra::test
