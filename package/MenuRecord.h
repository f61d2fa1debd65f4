// Packaged menus: the content of a packed block of type "MENUS". Three u32
// values and three stored texts (carried, not used by the player), a u32
// count of top-level items, then the items; each item is u32 flags, two u32
// values (carried), the texts command name, caption and icon file, and for a
// sub-menu a u32 count and its own items, recursively.
#pragma once

#include "package/PackedBlock.h"
#include "package/StoredText.h"

#include <array>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace lumbra {

inline constexpr std::string_view menuResourceType = "MENUS";

// Item flags.
inline constexpr std::uint32_t kMenuSeparator = 0x1;
inline constexpr std::uint32_t kMenuSubMenu = 0x2;
inline constexpr std::uint32_t kMenuDisabled = 0x4;
inline constexpr std::uint32_t kMenuChecked = 0x8;
inline constexpr std::uint32_t kMenuGrayed = 0x10;
inline constexpr std::uint32_t kMenuDefault = 0x40;

// Limits on untrusted blocks: every command item needs one of the 10000
// script command identifiers, and a menu nested 16 deep is past any use.
inline constexpr std::size_t kMaxMenuItems = 10000;
inline constexpr int kMaxMenuDepth = 16;

struct MenuItemRecord {
    std::uint32_t flags = 0;
    std::array<std::uint32_t, 2> carried{};
    OptionalText name, caption, icon;
    std::vector<MenuItemRecord> items; // of a sub-menu (flag kMenuSubMenu)
};

struct MenuRecord {
    std::array<std::uint32_t, 3> carried{};
    std::array<OptionalText, 3> texts;
    std::vector<MenuItemRecord> items;
};

// Reads a menu; throws PlayerException for a truncated block, a count that
// cannot fit the bytes left, more than kMaxMenuItems items in all or sub-menus
// deeper than kMaxMenuDepth (top-level items are at depth 1).
MenuRecord readMenuRecord(std::span<const std::uint8_t> bytes);

Bytes writeMenuRecord(const MenuRecord& menu);

} // namespace lumbra
