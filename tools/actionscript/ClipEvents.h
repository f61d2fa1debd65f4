// The events of clip actions by the names onClipEvent (...) and on (...)
// take, as the flags of PlaceObject2's clip action records (the 32-bit
// field of version 6 and later; version 5 has the low 16 bits).
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace lumbra::actionscript {

std::optional<std::uint32_t> clipEventFlag(std::string_view name);

} // namespace lumbra::actionscript
