// The exit hot key as text, the way "Application.Interaction.hotKey" reads
// and writes it: modifier names and the key joined by "+" ("CTRL+ALT+Q").
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace lumbra::host {

// Modifier bits of the settings record.
inline constexpr std::uint16_t kHotKeyShift = 0x1;
inline constexpr std::uint16_t kHotKeyCtrl = 0x2;
inline constexpr std::uint16_t kHotKeyAlt = 0x4;
inline constexpr std::uint16_t kHotKeyExtended = 0x8;

struct HotKey {
    std::uint16_t code = 0;      // virtual-key code
    std::uint16_t modifiers = 0; // the bits above
};

// The system's name of a key, from its virtual-key code and whether it is an
// extended key (the keyboard layout decides the text).
using KeyNameFn = std::function<std::string(std::uint16_t code, bool extended)>;

// "None" for no key and no modifier; otherwise "CTRL", "SHIFT", "ALT" as set,
// then the key's name, joined by "+".
std::string hotKeyText(const HotKey& key, const KeyNameFn& keyName);

// Parts separated by "+", compared without case: CTRL, SHIFT, ALT; ins, home
// and end (extended keys); num 0-9; f1-f12; any other part names the key by
// its first character. Empty parts are skipped.
HotKey parseHotKey(std::string_view text);

} // namespace lumbra::host
