// Window-shape masks: a picture's opaque pixels as rectangles, in the form
// of a Windows region (RGNDATA) and of the mask file that carries one.
//
// A mask file is a u32 byte count N, then N bytes of region data: a 32-byte
// header (size 32, type 1 = rectangles, rectangle count, byte size of the
// rectangles, bounding rectangle) and the rectangles, each as four i32 left,
// top, right, bottom (right and bottom exclusive), in movie pixels.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <vector>

namespace lumbra {

struct MaskRect {
    std::int32_t left = 0, top = 0, right = 0, bottom = 0;
    friend bool operator==(const MaskRect&, const MaskRect&) = default;
};

struct MaskShape {
    MaskRect bounds;
    std::vector<MaskRect> rects;
};

// For each row from top to bottom, every maximal run of pixels for which
// `opaque(x, y)` holds becomes a one-row rectangle, offset by (left, top).
// The bounds are the area scanned.
MaskShape opaqueRuns(const MaskRect& area, const std::function<bool(int x, int y)>& opaque);

// The region data (RGNDATA bytes) of a shape, and the mask file around it.
std::vector<std::uint8_t> regionData(const MaskShape& shape);
std::vector<std::uint8_t> maskFile(const MaskShape& shape);

// Reads a mask file; nullopt when its byte count, header or rectangle count
// does not fit the bytes present. Bytes after the region data are ignored.
std::optional<MaskShape> readMaskFile(std::span<const std::uint8_t> file);

} // namespace lumbra
