#include "control/com/ContextMenuPopup.h"

#include "control/com/MovieControl.h"

#include <algorithm>
#include <string>
#include <vector>

namespace lumbra::com {

using movie::MoviePlayer;

namespace {

// A popup menu destroyed with its owner.
class PopupMenu {
public:
    PopupMenu() : menu_(CreatePopupMenu()) {}
    ~PopupMenu() {
        if (menu_) DestroyMenu(menu_);
    }
    PopupMenu(const PopupMenu&) = delete;
    PopupMenu& operator=(const PopupMenu&) = delete;
    HMENU get() const { return menu_; }

private:
    HMENU menu_;
};

} // namespace

void showMovieMenu(MovieControl& control, HWND window, POINT screen) {
    POINT local = screen;
    ScreenToClient(window, &local);
    std::vector<MoviePlayer::MenuItem> items;
    control.withMovie([&](MoviePlayer& player) {
        items = player.contextMenu(local.x, local.y);
        return true;
    });
    if (!control.stored.menu)
        std::erase_if(items, [](const MoviePlayer::MenuItem& item) { return item.command != MoviePlayer::MenuCommand::Script; });
    PopupMenu menu;
    if (items.empty() || !menu.get()) return;
    for (std::size_t i = 0; i < items.size(); ++i) {
        const auto& item = items[i];
        if (item.separatorBefore && i > 0) AppendMenuW(menu.get(), MF_SEPARATOR, 0, nullptr);
        UINT flags = MF_STRING | (item.enabled ? 0 : MF_GRAYED) | (item.checked ? MF_CHECKED : 0);
        std::wstring caption(item.caption.begin(), item.caption.end());
        AppendMenuW(menu.get(), flags, UINT_PTR(i + 1), caption.c_str());
    }
    // Ids count from 1: 0 is what TrackPopupMenu answers when nothing was chosen.
    UINT chosen = UINT(TrackPopupMenu(menu.get(), TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY, screen.x, screen.y,
                                      0, window, nullptr));
    if (chosen == 0 || chosen > items.size()) return;
    control.withMovie([&](MoviePlayer& player) {
        player.chooseMenuItem(items[chosen - 1]);
        return true;
    });
    InvalidateRect(window, nullptr, FALSE);
}

} // namespace lumbra::com
