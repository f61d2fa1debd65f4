#include "host/win32/MenuTree.h"

#include <utility>
#include <vector>

namespace lumbra::host {

void forEachMenuItem(HMENU menu, const std::function<void(HMENU menu, int position)>& visit)
{
    std::vector<std::pair<HMENU, int>> stack{{menu, 0}};
    while (!stack.empty()) {
        auto& [current, position] = stack.back();
        if (position >= GetMenuItemCount(current)) {
            stack.pop_back();
            continue;
        }
        const HMENU parent = current;
        const int index = position++;
        visit(parent, index);
        if (const HMENU sub = GetSubMenu(parent, index))
            stack.emplace_back(sub, 0); // invalidates `current`, which is not used again
    }
}

bool menuContains(HMENU menu, HMENU target)
{
    if (menu == target)
        return true;
    bool found = false;
    forEachMenuItem(menu, [&](HMENU parent, int position) { found = found || GetSubMenu(parent, position) == target; });
    return found;
}

int commandIdAt(HMENU menu, int position)
{
    MENUITEMINFOA item{};
    item.cbSize = sizeof item;
    item.fMask = MIIM_FTYPE | MIIM_ID | MIIM_SUBMENU;
    if (!GetMenuItemInfoA(menu, position, TRUE, &item) || (item.fType & MFT_SEPARATOR) || item.hSubMenu)
        return -1;
    return static_cast<int>(item.wID);
}

std::string itemText(HMENU menu, int position)
{
    MENUITEMINFOA item{};
    item.cbSize = sizeof item;
    item.fMask = MIIM_STRING;
    if (!GetMenuItemInfoA(menu, position, TRUE, &item) || item.cch == 0)
        return {};
    std::string text(item.cch + 1, '\0');
    item.dwTypeData = text.data();
    ++item.cch;
    if (!GetMenuItemInfoA(menu, position, TRUE, &item))
        return {};
    text.resize(item.cch);
    return text;
}

} // namespace lumbra::host
