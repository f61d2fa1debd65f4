// How the movie control places the movie in its client area, as the
// transform from movie pixels to window pixels that maps a shape mask (and
// any other movie rectangle) onto the window.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>

namespace lumbra {

// The control's scale modes.
enum class FlashScale { showAll = 0, noBorder = 1, exactFit = 2, noScale = 3 };

// The control's scale mode for a scaleMode setting (1 show all, 2 no
// border, 0x100 exact fit, 0x10 no scale); nothing for other values.
std::optional<FlashScale> flashScaleFor(std::uint32_t scaleMode);

// Movie pixels to window pixels: x' = x * eM11 + eDx, y' = y * eM22 + eDy.
// `clientOffset` is the client area's position in the window rectangle. A
// movie without a size maps one to one onto the client area.
XFORM maskTransform(FlashScale scale, SIZE client, SIZE movie, POINT clientOffset);

} // namespace lumbra
