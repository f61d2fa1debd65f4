// The player's one notification-area (tray) icon: identifier 128, callback
// message WM_APP + 2003 to the main window, the window's title as its tip.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <memory>
#include <string>
#include <type_traits>

namespace lumbra {

class TrayIcon {
public:
    static constexpr UINT kId = 128;
    static constexpr UINT kCallbackMessage = WM_APP + 2003;

    explicit TrayIcon(HWND owner) : owner_(owner) {}
    TrayIcon(const TrayIcon&) = delete;
    TrayIcon& operator=(const TrayIcon&) = delete;
    ~TrayIcon() { remove(); }

    // Takes the icon; the previous one is destroyed.
    void setImage(HICON icon) { icon_.reset(icon); }
    // At most 127 characters are kept.
    void setTip(const std::string& tip) { tip_ = tip.substr(0, 127); }

    // Shows the icon when it is not shown yet and an image exists.
    bool add();
    // Changes image and tip of a shown icon.
    bool modify();
    bool remove();
    // A balloon over the shown icon; kind 1 info, 2 warning, 3 error, else none.
    bool balloon(const std::string& text, const std::string& title, UINT timeout, int kind);

    bool added() const { return added_; }

private:
    NOTIFYICONDATAA record(UINT flags) const;

    HWND owner_;
    std::unique_ptr<std::remove_pointer_t<HICON>, decltype(&DestroyIcon)> icon_{nullptr, &DestroyIcon};
    std::string tip_;
    bool added_ = false;
};

} // namespace lumbra
