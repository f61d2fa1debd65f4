#include "host/win32/MenuLoader.h"

#include <optional>

#include "host/win32/MenuState.h"
#include "package/MenuRecord.h"
#include "package/PackageResources.h"
#include "package/win32/ModuleResources.h"

namespace lumbra::host {

namespace {

std::wstring wideFromAnsi(const OptionalText& text)
{
    if (!text || text->empty())
        return {};
    const int length = MultiByteToWideChar(CP_ACP, 0, text->data(), static_cast<int>(text->size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text->data(), static_cast<int>(text->size()), wide.data(), length);
    return wide;
}

UINT stateOf(std::uint32_t flags)
{
    UINT state = 0;
    if (flags & (kMenuDisabled | kMenuGrayed))
        state |= MFS_GRAYED;
    if (flags & kMenuChecked)
        state |= MFS_CHECKED;
    return state;
}

// Appends the items; false when the system refused a menu. An item for
// which no identifier is left is not added, as with "appendItem".
bool appendItems(MenuClassState& state, HMENU menu, const std::vector<MenuItemRecord>& items)
{
    for (const MenuItemRecord& record : items) {
        const int position = GetMenuItemCount(menu);
        std::wstring caption = wideFromAnsi(record.caption);
        MENUITEMINFOW item{};
        item.cbSize = sizeof item;
        if (record.flags & kMenuSeparator) {
            item.fMask = MIIM_FTYPE | MIIM_STATE;
            item.fType = MFT_SEPARATOR;
            item.fState = stateOf(record.flags);
            if (!InsertMenuItemW(menu, static_cast<UINT>(position), TRUE, &item))
                return false;
        } else if (record.flags & kMenuSubMenu) {
            const HMENU sub = CreatePopupMenu();
            if (!sub)
                return false;
            item.fMask = MIIM_SUBMENU | MIIM_STRING | MIIM_STATE;
            item.hSubMenu = sub;
            item.dwTypeData = caption.data();
            item.fState = stateOf(record.flags);
            if (!InsertMenuItemW(menu, static_cast<UINT>(position), TRUE, &item)) {
                DestroyMenu(sub);
                return false;
            }
            if (!appendItems(state, sub, record.items)) // depth is bounded by the reader
                return false;
        } else if (!state.addCommandItem(menu, -1, record.name.value_or(""), caption, record.icon.value_or(""),
                                         stateOf(record.flags))) {
            continue;
        }
        if (record.flags & kMenuDefault)
            SetMenuDefaultItem(menu, static_cast<UINT>(position), TRUE);
    }
    return true;
}

} // namespace

HMENU loadPackagedMenu(MenuClassState& state, const std::string& name)
{
    MenuRecord record;
    try {
        const std::optional<Bytes> content = loadPackedResourceSilently(ModuleResources(), menuResourceType, name);
        if (!content)
            return nullptr;
        record = readMenuRecord(*content);
    } catch (const PlayerException&) { // missing or unreadable
        return nullptr;
    }
    const HMENU bar = CreateMenu();
    if (!bar)
        return nullptr;
    if (!appendItems(state, bar, record.items)) {
        MenuHandle partial{bar};
        state.release(partial);
        return nullptr;
    }
    return bar;
}

} // namespace lumbra::host
