#include "package/MaskShape.h"

#include "package/ByteReader.h"
#include "package/ByteWriter.h"

namespace lumbra {

namespace {

constexpr std::uint32_t kHeaderSize = 32;
constexpr std::uint32_t kRectangles = 1; // RDH_RECTANGLES
constexpr std::uint32_t kRectSize = 16;

void writeRect(ByteWriter& out, const MaskRect& rect)
{
    out.i32(rect.left);
    out.i32(rect.top);
    out.i32(rect.right);
    out.i32(rect.bottom);
}

MaskRect readRect(ByteReader& in)
{
    MaskRect rect;
    rect.left = in.i32();
    rect.top = in.i32();
    rect.right = in.i32();
    rect.bottom = in.i32();
    return rect;
}

} // namespace

MaskShape opaqueRuns(const MaskRect& area, const std::function<bool(int x, int y)>& opaque)
{
    MaskShape shape{area, {}};
    for (int y = area.top; y < area.bottom; ++y) {
        int x = area.left;
        while (x < area.right) {
            while (x < area.right && !opaque(x, y))
                ++x;
            const int start = x;
            while (x < area.right && opaque(x, y))
                ++x;
            if (x > start)
                shape.rects.push_back({start, y, x, y + 1});
        }
    }
    return shape;
}

std::vector<std::uint8_t> regionData(const MaskShape& shape)
{
    ByteWriter out;
    out.u32(kHeaderSize);
    out.u32(kRectangles);
    out.u32(static_cast<std::uint32_t>(shape.rects.size()));
    out.u32(static_cast<std::uint32_t>(shape.rects.size() * kRectSize));
    writeRect(out, shape.bounds);
    for (const MaskRect& rect : shape.rects)
        writeRect(out, rect);
    return out.release();
}

std::vector<std::uint8_t> maskFile(const MaskShape& shape)
{
    const std::vector<std::uint8_t> region = regionData(shape);
    ByteWriter out;
    out.u32(static_cast<std::uint32_t>(region.size()));
    out.bytes(region);
    return out.release();
}

std::optional<MaskShape> readMaskFile(std::span<const std::uint8_t> file)
{
    try {
        ByteReader in(file);
        const std::uint32_t size = in.u32();
        if (size < kHeaderSize || size > in.remaining())
            return std::nullopt;
        ByteReader region(in.bytes(size));
        if (region.u32() != kHeaderSize || region.u32() != kRectangles)
            return std::nullopt;
        const std::uint32_t count = region.u32();
        region.skip(4); // byte size of the rectangles: a hint only
        MaskShape shape;
        shape.bounds = readRect(region);
        if (count > region.remaining() / kRectSize)
            return std::nullopt;
        shape.rects.reserve(count);
        for (std::uint32_t i = 0; i < count; ++i)
            shape.rects.push_back(readRect(region));
        return shape;
    } catch (const PlayerException&) {
        return std::nullopt;
    }
}

} // namespace lumbra
