// The numbered properties of display objects (_x, _y, _xscale, ... _ymouse)
// as scripts and the host read and write them.
#pragma once

#include "control/movie/DisplayObject.h"
#include "control/movie/Value.h"

#include <optional>
#include <string_view>

namespace lumbra::movie {

class Playback;

constexpr int kPropertyCount = 22;

// The number of a property name such as "_x" (without regard to case).
std::optional<int> propertyIndex(std::u16string_view name);
// Undefined for a number outside 0..21.
Value getProperty(const Playback& playback, const DisplayObject& object, int property);
// False for a read-only or unknown property.
bool setProperty(Playback& playback, DisplayObject& object, int property, const Value& value);
// A quality name in any case ("low", "Best"...) as _quality reads it back
// ("LOW", "BEST"...); nothing for other names.
std::optional<std::u16string> qualityName(std::u16string_view text);
// A colour multiplier given in percent as the display keeps it: 8.8 fixed
// point in 16 bits, as in the file, so 30 reads back as 29.6875 and 12800
// wraps to -12800. Not a finite number: 0.
double multiplierFromPercent(double percent);

} // namespace lumbra::movie
