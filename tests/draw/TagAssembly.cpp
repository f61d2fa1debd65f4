#include "tests/draw/TagAssembly.h"

#include "control/movie/TagCodes.h"

namespace lumbra::movie::test {

namespace {
constexpr double kPx = 20; // twips per pixel
}

Bytes rectangleRecords(const Rect& px)
{
    BitWriter w;
    Rect twips{px.xMin * kPx, px.yMin * kPx, px.xMax * kPx, px.yMax * kPx};
    w.ub(1, 4); // fill index bits
    w.ub(0, 4); // line index bits
    // Style change: fill1 and move to the top-left corner.
    w.ub(0, 1);
    w.ub(0x04 | 0x01, 5);
    w.ub(16, 5);
    w.sb(std::int32_t(twips.xMin), 16);
    w.sb(std::int32_t(twips.yMin), 16);
    w.ub(1, 1);
    auto line = [&w](std::int32_t d, bool vertical) {
        w.ub(1, 1); // edge
        w.ub(1, 1); // straight
        w.ub(16 - 2, 4);
        w.ub(0, 1); // not general
        w.ub(vertical ? 1 : 0, 1);
        w.sb(d, 16);
    };
    line(std::int32_t(twips.width()), false);
    line(std::int32_t(twips.height()), true);
    line(-std::int32_t(twips.width()), false);
    line(-std::int32_t(twips.height()), true);
    w.ub(0, 6); // end
    return w.take();
}

Bytes shapeBody(std::uint16_t id, const Rect& px, const Write& fillStyle)
{
    BitWriter w;
    w.u16(id);
    w.rect({px.xMin * kPx, px.yMin * kPx, px.xMax * kPx, px.yMax * kPx});
    w.u8(1); // one fill style
    fillStyle(w);
    w.u8(0); // no line styles
    w.bytes(rectangleRecords(px));
    return w.take();
}

void solidShape(TimelineWriter& t, std::uint16_t id, const Rect& px, Argb c)
{
    t.tag(tag::DefineShape3, shapeBody(id, px, [c](BitWriter& w) {
        w.u8(0x00);
        w.rgba(c);
    }));
}

void place(TimelineWriter& t, std::uint16_t id, int depth, const Write& cx, int clipDepth)
{
    BitWriter w;
    w.u8(0x02 | 0x04 | (cx ? 0x08 : 0) | (clipDepth ? 0x40 : 0));
    w.u16(depth);
    w.u16(id);
    w.matrix({});
    if (cx)
        cx(w);
    if (clipDepth)
        w.u16(clipDepth);
    t.tag(tag::PlaceObject2, w.take());
}

} // namespace lumbra::movie::test
