// Answers the dialogs a script opens: a second thread waits for a dialog
// owned by a given window, lets the test look at it and work its controls
// (by control id), and the script, blocked in the dialog's modal loop, goes
// on with what the dialog gave.
#pragma once

#include <windows.h>
#include <objbase.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>

namespace lumbra::test {

inline std::string windowText(HWND window)
{
    char text[1024] = "";
    GetWindowTextA(window, text, sizeof text);
    return text;
}

// Enumerates windows with a predicate; the first match, or null.
struct WindowSearch {
    std::function<bool(HWND)> matches;
    HWND found = nullptr;

    static BOOL CALLBACK visit(HWND window, LPARAM data)
    {
        auto& search = *reinterpret_cast<WindowSearch*>(data);
        if (!search.matches(window))
            return TRUE;
        search.found = window;
        return FALSE;
    }
};

// The first visible dialog owned by owner, or null.
inline HWND findOwnedDialog(HWND owner)
{
    WindowSearch search{[owner](HWND window) {
        char className[32] = "";
        GetClassNameA(window, className, sizeof className);
        return std::string(className) == "#32770" && GetWindow(window, GW_OWNER) == owner && IsWindowVisible(window);
    }};
    EnumWindows(WindowSearch::visit, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// A visible child window with exactly this text, or null.
inline HWND findChildWithText(HWND parent, const std::string& text)
{
    WindowSearch search{[&text](HWND child) { return IsWindowVisible(child) && windowText(child) == text; }};
    EnumChildWindows(parent, WindowSearch::visit, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

inline void pressButton(HWND dialog, int id)
{
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

class DialogWatcher {
public:
    // answer runs on the watcher's thread with the dialog once it shows (at
    // most 20 s later); it must close the dialog.
    DialogWatcher(HWND owner, std::function<void(HWND dialog)> answer)
        : thread_([owner, answer = std::move(answer), this] {
              for (int i = 0; i < 2000 && !found_; ++i) {
                  if (HWND dialog = findOwnedDialog(owner)) {
                      Sleep(200); // let the dialog finish its start-up messages
                      found_ = true;
                      answer(dialog);
                      return;
                  }
                  Sleep(10);
              }
          })
    {
    }
    ~DialogWatcher() { thread_.join(); }
    bool found() const { return found_; }

private:
    std::atomic<bool> found_ = false;
    std::thread thread_;
};

} // namespace lumbra::test
