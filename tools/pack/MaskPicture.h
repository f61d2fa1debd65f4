// Window-shape masks from pictures: the opaque pixels of a PNG picture,
// chosen by its alpha channel or by a key colour, as a mask shape.
#pragma once

#include "package/MaskShape.h"

#include <cstdint>
#include <span>
#include <string_view>

namespace lumbra::pack {

struct MaskRule {
    // A pixel is opaque when its alpha is at least `threshold` (1-255) or,
    // with a key colour, when its colour differs from the key.
    std::uint8_t threshold = 128;
    bool useKey = false;
    std::uint32_t key = 0; // 0xRRGGBB
};

// Parses "#RRGGBB"; false when the text is not of that form.
bool parseKeyColour(std::string_view text, std::uint32_t& rgb);

// The mask of a PNG picture. Throws PackError when the bytes are not a PNG
// picture the packager can read (or one larger than 8192 x 8192 pixels).
MaskShape maskFromPicture(std::span<const std::uint8_t> png, const MaskRule& rule);

// Whether `bytes` begin with the PNG signature.
bool isPng(std::span<const std::uint8_t> bytes);

} // namespace lumbra::pack
