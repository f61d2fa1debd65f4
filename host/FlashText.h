// How texts that come back from the movie become script values, the way an
// author expects from the Flash variables they mirror: "true", "false" and
// "undefined" keep their meaning, numbers become numbers, the rest stays text.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "script/runtime/ScriptValue.h"

namespace orvet {
struct ScriptContext;
}

namespace lumbra::host {

// The whole text read as a C long with automatic base (decimal, "0x" hex,
// leading-zero octal, optional sign, leading blanks skipped); none when
// characters are left over. The empty text reads as 0. Values beyond the
// 32-bit range are clamped, as the Windows C library does.
std::optional<std::int32_t> wholeLong(std::u16string_view text);

// The longest leading part of the text read the same way (0 when nothing
// reads): how a length that the movie sends is taken.
std::int32_t leadingLong(std::u16string_view text);

// The FlashText conversion: Boolean, Undefined, Integer, Float or String.
orvet::ScriptValue flashTextValue(orvet::ScriptContext& ctx, std::u16string_view text);

} // namespace lumbra::host
