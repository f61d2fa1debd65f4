#include "player/MenuLog.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace lumbra {

namespace {

void writeItems(std::FILE* log, HMENU menu, int depth)
{
    const int count = GetMenuItemCount(menu);
    for (int position = 0; position < count; ++position) {
        char text[256] = "";
        MENUITEMINFOA item{};
        item.cbSize = sizeof item;
        item.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_STRING | MIIM_SUBMENU;
        item.dwTypeData = text;
        item.cch = sizeof text;
        if (!GetMenuItemInfoA(menu, position, TRUE, &item))
            continue;
        const std::string indent(2 * depth, ' ');
        if (item.fType & MFT_SEPARATOR)
            std::fprintf(log, "%s-\n", indent.c_str());
        else
            std::fprintf(log, "%s%s%s\n", indent.c_str(), text, (item.fState & MFS_GRAYED) ? " [grey]" : "");
        if (item.hSubMenu)
            writeItems(log, item.hSubMenu, depth + 1);
    }
}

} // namespace

void logMenu(std::string_view heading, HMENU menu)
{
    const char* path = std::getenv("LUMBRA_MENU_LOG");
    if (!path || !menu)
        return;
    if (std::FILE* log = std::fopen(path, "ab")) {
        std::fprintf(log, "[%.*s]\n", static_cast<int>(heading.size()), heading.data());
        writeItems(log, menu, 0);
        std::fclose(log);
    }
}

} // namespace lumbra
