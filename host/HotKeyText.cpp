#include "host/HotKeyText.h"

#include <cctype>

namespace lumbra::host {

namespace {

bool equalNoCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

// The number of "num N" or "fN" when the part is exactly the prefix and
// 1-2 digits, else -1.
int numberAfter(std::string_view part, std::string_view prefix)
{
    if (part.size() <= prefix.size() || part.size() > prefix.size() + 2 || !equalNoCase(part.substr(0, prefix.size()), prefix))
        return -1;
    int n = 0;
    for (char c : part.substr(prefix.size())) {
        if (c < '0' || c > '9')
            return -1;
        n = n * 10 + (c - '0');
    }
    return n;
}

} // namespace

std::string hotKeyText(const HotKey& key, const KeyNameFn& keyName)
{
    if (key.code == 0 && key.modifiers == 0)
        return "None";
    std::string text;
    const auto add = [&](std::string_view part) {
        if (!text.empty())
            text += '+';
        text += part;
    };
    if (key.modifiers & kHotKeyCtrl)
        add("CTRL");
    if (key.modifiers & kHotKeyShift)
        add("SHIFT");
    if (key.modifiers & kHotKeyAlt)
        add("ALT");
    if (key.code != 0)
        add(keyName(key.code, (key.modifiers & kHotKeyExtended) != 0));
    return text;
}

HotKey parseHotKey(std::string_view text)
{
    HotKey key;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t plus = text.find('+', start);
        if (plus == std::string_view::npos)
            plus = text.size();
        const std::string_view part = text.substr(start, plus - start);
        start = plus + 1;
        if (part.empty())
            continue;
        int n;
        if (equalNoCase(part, "CTRL"))
            key.modifiers |= kHotKeyCtrl;
        else if (equalNoCase(part, "SHIFT"))
            key.modifiers |= kHotKeyShift;
        else if (equalNoCase(part, "ALT"))
            key.modifiers |= kHotKeyAlt;
        else if (equalNoCase(part, "ins"))
            key.code = 0x2D, key.modifiers |= kHotKeyExtended;
        else if (equalNoCase(part, "home"))
            key.code = 0x24, key.modifiers |= kHotKeyExtended;
        else if (equalNoCase(part, "end"))
            key.code = 0x23, key.modifiers |= kHotKeyExtended;
        else if ((n = numberAfter(part, "num ")) >= 0 && n <= 9)
            key.code = static_cast<std::uint16_t>(0x60 + n);
        else if ((n = numberAfter(part, "f")) >= 1 && n <= 12)
            key.code = static_cast<std::uint16_t>(0x70 + n - 1);
        else
            key.code = static_cast<std::uint16_t>(std::toupper(static_cast<unsigned char>(part[0])));
    }
    return key;
}

} // namespace lumbra::host
