#include "host/win32/MenuAccelerators.h"

#include "host/HotKeyText.h"
#include "host/win32/MenuTree.h"

#include <string>
#include <string_view>

namespace lumbra::host {

namespace {

std::string_view trimBlanks(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    return text;
}

} // namespace

std::vector<ACCEL> acceleratorsOf(HMENU menu)
{
    std::vector<ACCEL> entries;
    forEachMenuItem(menu, [&](HMENU parent, int position) {
        const int id = commandIdAt(parent, position);
        if (id < 0)
            return;
        const std::string caption = itemText(parent, position);
        const std::size_t tab = caption.find('\t');
        if (tab == std::string::npos)
            return;
        const std::string_view keyText = trimBlanks(std::string_view(caption).substr(tab + 1));
        if (keyText.empty())
            return;
        const HotKey key = parseHotKey(keyText);
        if (key.code == 0)
            return; // modifiers without a key
        BYTE flags = FVIRTKEY;
        if (key.modifiers & kHotKeyCtrl)
            flags |= FCONTROL;
        if (key.modifiers & kHotKeyAlt)
            flags |= FALT;
        if (key.modifiers & kHotKeyShift)
            flags |= FSHIFT;
        entries.push_back({flags, key.code, static_cast<WORD>(id)});
    });
    return entries;
}

} // namespace lumbra::host
