// flash.display.BitmapData through scripts: sizes and refused sizes, the
// premultiplied storage of pixels, the area and copying operations and
// drawing clips and pictures in, each checked on pixels worked out by hand
// from the documented rules. Whole-pixel geometry throughout, so drawn edges
// fall on pixel borders and no anti-aliasing blurs the values compared.
// Also the limits: pixels per movie and the step budget.
#include "ActionAssembler.h"
#include "SourceSupport.h"
#include "TimelineAssembly.h"

#include "tools/actionscript/SourceCompiler.h"

#include <gtest/gtest.h>
#include <zlib.h>

namespace lumbra::movie::test {
namespace {

// Every script starts with these: B the class, hex(n) the colour as 8 hex digits.
std::string run(const std::string& body, long frames = 1)
{
    return runSource("var B = flash.display.BitmapData;\n"
                     "function hex(n) { var s = ''; for (var k = 28; k >= 0; k -= 4) s += '0123456789abcdef'.charAt((n >> k) & 15); return s; }\n"
                     "function rect(x, y, w, h) { return {x: x, y: y, width: w, height: h}; }\n"
                     "var ZERO = {x: 0, y: 0};\n" +
                         body,
                     8, frames);
}

TEST(BitmapData, SizesStorageAndDisposal)
{
    EXPECT_EQ(run(R"(
var b = new B(4, 3);
trace(b.width + " " + b.height + " " + b.transparent + " " + hex(b.getPixel32(0, 0)));
var r = b.rectangle;
trace(r.x + "," + r.y + "," + r.width + "," + r.height);
// Opaque pictures keep alpha 255 whatever is written.
var o = new B(2, 2, false, 0x00123456);
trace(o.transparent + " " + hex(o.getPixel32(1, 1)) + " " + o.getPixel(1, 1).toString(16));
o.setPixel32(0, 0, 0x00ABCDEF);
trace(hex(o.getPixel32(0, 0)) + " " + o.getPixel32(0, 0));
// Transparent ones lose the colour of pixels with no alpha; full channels survive half alpha.
b.setPixel32(0, 0, 0x00ABCDEF);
b.setPixel32(1, 0, 0x80FF00FF);
b.setPixel(2, 0, 0x123456);
b.setPixel(0, 0, 0x123456);
trace(hex(b.getPixel32(0, 0)) + " " + hex(b.getPixel32(1, 0)) + " " + hex(b.getPixel32(2, 0)) + " " + b.getPixel(0, 0));
trace(b.getPixel32(4, 0) + " " + b.getPixel(-1, 0) + " " + b.getPixel32(0, 3));
trace(new B(0, 5).width + " " + new B(2881, 1).width + " " + new B(1, 2881).height + " " + new B(2880, 1).width);
b.dispose();
trace(b.width + " " + b.height + " " + b.transparent + " " + b.getPixel(0, 0) + " " + b.rectangle);
b.setPixel(0, 0, 0);
trace(b.width);
)"),
              "4 3 true ffffffff\n"
              "0,0,4,3\n"
              "false ff123456 123456\n"
              "ffabcdef -5517841\n"
              "00000000 80ff00ff ff123456 0\n"
              "0 0 0\n"
              "-1 -1 -1 2880\n"
              "-1 -1 -1 -1 -1\n"
              "-1\n");
}

TEST(BitmapData, FillsFloodFillAndColorBounds)
{
    EXPECT_EQ(run(R"(
var b = new B(10, 10, false, 0xFFFFFF);
b.fillRect(rect(2, 2, 3, 4), 0xFF0000);
var r = b.getColorBoundsRect(0xFFFFFFFF, 0xFFFF0000);
trace(r.x + "," + r.y + "," + r.width + "," + r.height);
r = b.getColorBoundsRect(0xFFFFFFFF, 0xFFFFFFFF, false);
trace(r.x + "," + r.y + "," + r.width + "," + r.height);
// A wall at x = 6 stops the flood; the red block is another colour and stays.
b.fillRect(rect(6, 0, 1, 10), 0x0000FF);
b.floodFill(0, 0, 0x00FF00);
trace(b.getPixel(5, 9).toString(16) + " " + b.getPixel(3, 3).toString(16) + " " + b.getPixel(8, 8).toString(16));
r = b.getColorBoundsRect(0xFFFFFF, 0x00FF00);
trace(r.x + "," + r.y + "," + r.width + "," + r.height);
// Rectangles reaching outside are cut to the picture.
b.fillRect(rect(8, -5, 100, 7), 0);
r = b.getColorBoundsRect(0xFFFFFF, 0);
trace(r.x + "," + r.y + "," + r.width + "," + r.height);
r = b.getColorBoundsRect(0xFFFFFF, 0x123456);
trace(r.x + "," + r.y + "," + r.width + "," + r.height);
// A flood around an island reaches every border, upwards as well as down.
var f = new B(3, 3, true, 0);
f.setPixel32(1, 1, 0xFF000000);
f.floodFill(0, 0, 0xFF00FF00);
var g = new B(3, 3, true, 0);
g.setPixel32(1, 1, 0xFF000000);
g.floodFill(2, 2, 0xFF00FF00);
trace(hex(f.getPixel32(2, 2)) + " " + hex(f.getPixel32(1, 1)) + " " + hex(g.getPixel32(0, 0)) + " " + hex(g.getPixel32(2, 0)));
)"),
              "2,2,3,4\n"
              "2,2,3,4\n"
              "ff00 ff0000 ffffff\n"
              "0,0,6,10\n"
              "8,0,2,2\n"
              "0,0,0,0\n"
              "ff00ff00 ff000000 ff00ff00 ff00ff00\n");
}

TEST(BitmapData, CopiesWithClippingAlphaAndOverlap)
{
    EXPECT_EQ(run(R"(
var s = new B(4, 4, true, 0xFF102030);
s.setPixel32(1, 1, 0);
var d = new B(6, 6, true, 0xFFFFFFFF);
d.copyPixels(s, rect(0, 0, 4, 4), {x: 4, y: 4});
trace(hex(d.getPixel32(4, 4)) + " " + hex(d.getPixel32(5, 5)) + " " + hex(d.getPixel32(3, 3)));
var m = new B(6, 6, true, 0xFFFFFFFF);
m.copyPixels(s, rect(0, 0, 4, 4), {x: 4, y: 4}, null, null, true);
trace(hex(m.getPixel32(4, 4)) + " " + hex(m.getPixel32(5, 5)));
// Cut at the top left too: (0, 0) takes the source's (3, 2).
s.setPixel32(3, 2, 0xFF0000FF);
d.copyPixels(s, rect(0, 0, 4, 4), {x: -3, y: -2});
trace(hex(d.getPixel32(0, 0)) + " " + hex(d.getPixel32(0, 1)) + " " + hex(d.getPixel32(1, 0)) + " " + hex(d.getPixel32(4, 4)));
// Half the alpha of the alpha picture; outside it nothing shows.
var a = new B(2, 2, true, 0x80000000);
var t = new B(3, 3, true, 0);
t.copyPixels(s, rect(2, 2, 2, 2), ZERO, a, {x: 1, y: 0});
trace(hex(t.getPixel32(0, 0)) + " " + hex(t.getPixel32(1, 0)) + " " + hex(t.getPixel32(0, 1)));
// The alpha point follows the source rectangle, wherever the copy lands.
var u = new B(3, 3, true, 0);
u.copyPixels(s, rect(2, 2, 2, 2), {x: 1, y: 1}, a, {x: 1, y: 0});
trace(hex(u.getPixel32(1, 1)) + " " + hex(u.getPixel32(2, 1)) + " " + hex(u.getPixel32(1, 2)));
// A picture copied onto itself reads the pixels as they were.
var row = new B(4, 1, false, 0);
for (var i = 0; i < 4; i++) row.setPixel(i, 0, i + 1);
row.copyPixels(row, rect(0, 0, 3, 1), {x: 1, y: 0});
trace(row.getPixel(0, 0) + "" + row.getPixel(1, 0) + row.getPixel(2, 0) + row.getPixel(3, 0));
var c = new B(2, 2, false, 0);
c.copyChannel(s, rect(0, 0, 2, 2), ZERO, 4, 1);
c.copyChannel(s, rect(0, 0, 2, 2), ZERO, 8, 2);
trace(c.getPixel(0, 0).toString(16) + " " + c.getPixel(1, 1).toString(16));
var g = new B(1, 1, false, 0x204060);
g.merge(new B(1, 1, false, 0xFF8040), rect(0, 0, 1, 1), ZERO, 128, 256, 0, 0);
trace(g.getPixel(0, 0).toString(16));
var red = [], blue = [];
for (i = 0; i < 256; i++) { red[i] = (255 - i) << 16; blue[i] = 0; }
var p = new B(1, 1, false, 0x102030);
p.paletteMap(p, rect(0, 0, 1, 1), ZERO, red, null, blue);
trace(hex(p.getPixel32(0, 0)));
)"),
              "ff102030 00000000 ffffffff\n"
              "ff102030 ffffffff\n"
              "ff0000ff ff102030 ffffffff ff102030\n"
              "80102030 00000000 80102030\n"
              "80102030 00000000 80102030\n"
              "1123\n"
              "30ff00 0\n"
              "8f8060\n"
              "ffef2000\n");
}

TEST(BitmapData, ThresholdTransformsScrollCompareAndHits)
{
    EXPECT_EQ(run(R"(
var s = new B(4, 1, true, 0);
s.setPixel32(0, 0, 0xFF100000); s.setPixel32(1, 0, 0xFF400000);
s.setPixel32(2, 0, 0xFF800000); s.setPixel32(3, 0, 0xFFC00000);
var t = new B(4, 1, true, 0);
trace(t.threshold(s, rect(0, 0, 4, 1), ZERO, ">=", 0x00800000, 0xFF00FF00, 0x00FF0000, true));
trace(hex(t.getPixel32(0, 0)) + " " + hex(t.getPixel32(2, 0)) + " " + hex(t.getPixel32(3, 0)));
trace(t.threshold(s, rect(0, 0, 4, 1), ZERO, "=<", 0, 0));
var c = new B(1, 1, false, 0x804020);
c.colorTransform(rect(0, 0, 1, 1), {redMultiplier: 0.5, greenOffset: 16});
trace(c.getPixel(0, 0).toString(16));
var row = new B(3, 1, false, 0);
row.setPixel(0, 0, 1); row.setPixel(1, 0, 2); row.setPixel(2, 0, 3);
row.scroll(1, 0);
trace(row.getPixel(0, 0) + "" + row.getPixel(1, 0) + row.getPixel(2, 0));
var one = new B(2, 2, true, 0xFF000000);
var two = one.clone();
trace(one.compare(two) + " " + one.compare(new B(3, 2)) + " " + one.compare(new B(2, 3)) + " " + one.compare(5));
two.setPixel32(1, 0, 0xFF0A0000);
two.setPixel32(0, 1, 0x80000000);
var diff = one.compare(two);
trace(hex(diff.getPixel32(1, 0)) + " " + hex(diff.getPixel32(0, 1)) + " " + hex(diff.getPixel32(0, 0)) + " " + hex(one.getPixel32(1, 0)));
var h = new B(4, 4, true, 0);
h.fillRect(rect(1, 1, 2, 2), 0xFF000000);
trace(h.hitTest({x: 10, y: 10}, 255, {x: 11, y: 11}) + " " + h.hitTest({x: 10, y: 10}, 255, {x: 10, y: 10}));
trace(h.hitTest({x: 10, y: 10}, 255, rect(13, 13, 5, 5)) + " " + h.hitTest({x: 10, y: 10}, 255, rect(12, 12, 5, 5)));
var o = new B(2, 2, true, 0xFF000000);
trace(h.hitTest(ZERO, 255, o, {x: 3, y: 3}, 255) + " " + h.hitTest(ZERO, 255, o, {x: 2, y: 2}, 255));
)"),
              "2\n"
              "ff100000 ff00ff00 ff00ff00\n"
              "0\n"
              "405020\n"
              "112\n"
              "0 -3 -4 -2\n"
              "fff60000 7fffffff 00000000 ff000000\n"
              "true false\n"
              "false true\n"
              "false true\n");
}

TEST(BitmapData, NoiseIsDeterministicAndWithinItsRange)
{
    EXPECT_EQ(run(R"(
var a = new B(16, 16, false, 0), b = new B(16, 16, false, 0), c = new B(16, 16, false, 0);
a.noise(42, 10, 20, 7, false);
b.noise(42, 10, 20, 7, false);
c.noise(43, 10, 20, 7, false);
trace(a.compare(b) + " " + (a.compare(c) != 0));
var inRange = true, gray = true;
for (var y = 0; y < 16; y++) for (var x = 0; x < 16; x++) {
  var p = a.getPixel(x, y);
  for (var k = 0; k < 3; k++) { var v = (p >> (8 * k)) & 255; if (v < 10 || v > 20) inRange = false; }
}
c.noise(7, 0, 255, 1, true);
for (y = 0; y < 16; y++) for (x = 0; x < 16; x++) {
  p = c.getPixel32(x, y);
  if (((p >> 16) & 255) != (p & 255) || ((p >> 8) & 255) != (p & 255) || ((p >> 24) & 255) != 255) gray = false;
}
trace(inRange + " " + gray);
)"),
              "0 true\n"
              "true true\n");
}

TEST(BitmapData, DrawTakesClipsAsTheyStandUntransformedAndPictures)
{
    EXPECT_EQ(run(R"(
this.createEmptyMovieClip("art", 1);
art.beginFill(0xFF0000); art.moveTo(0, 0); art.lineTo(10, 0); art.lineTo(10, 10); art.lineTo(0, 10); art.endFill();
art._x = 100; art._xscale = 300;
var d = new B(20, 20, false, 0xFFFFFF);
d.draw(art, {a: 1, b: 0, c: 0, d: 1, tx: 5, ty: 5});
trace(d.getPixel(7, 7).toString(16) + " " + d.getPixel(2, 2).toString(16) + " " + d.getPixel(14, 14).toString(16) + " " + d.getPixel(16, 16).toString(16));
var green = new B(20, 20, false, 0xFFFFFF);
green.draw(art, null, {redMultiplier: 0, greenOffset: 255});
trace(green.getPixel(5, 5).toString(16));
var cut = new B(20, 20, false, 0xFFFFFF);
cut.draw(art, null, null, "normal", rect(0, 0, 5, 20));
trace(cut.getPixel(3, 3).toString(16) + " " + cut.getPixel(7, 7).toString(16));
var src = new B(2, 2, false, 0x0000FF);
var big = new B(8, 8, true, 0);
big.draw(src, {a: 2, b: 0, c: 0, d: 2, tx: 2, ty: 2});
trace(hex(big.getPixel32(2, 2)) + " " + hex(big.getPixel32(5, 5)) + " " + hex(big.getPixel32(6, 6)) + " " + hex(big.getPixel32(1, 1)));
var grey = new B(4, 4, false, 0x808080);
grey.draw(src, null, null, "multiply");
trace(grey.getPixel(0, 0).toString(16) + " " + grey.getPixel(3, 3).toString(16));
)"),
              "ff0000 ffffff ff0000 ffffff\n"
              "ff00\n"
              "ff0000 ffffff\n"
              "ff0000ff ff0000ff 00000000 00000000\n"
              "80 808080\n");
}

TEST(BitmapData, ApplyFilterRunsTheStageFiltersOverARectangle)
{
    EXPECT_EQ(run(R"(
var swap = new flash.filters.ColorMatrixFilter([0, 0, 1, 0, 0,  0, 1, 0, 0, 0,  1, 0, 0, 0, 0,  0, 0, 0, 1, 0]);
var s = new B(2, 2, false, 0x102030);
var d = new B(3, 3, false, 0xFFFFFF);
trace(d.applyFilter(s, rect(0, 0, 2, 2), {x: 2, y: 2}, swap) + " " + d.applyFilter(s, rect(0, 0, 2, 2), ZERO, {}));
trace(d.getPixel(2, 2).toString(16) + " " + d.getPixel(1, 1).toString(16));
// A lone opaque pixel blurred spreads to its neighbours and loses some alpha.
var dot = new B(5, 5, true, 0);
dot.setPixel32(2, 2, 0xFF000000);
dot.applyFilter(dot, dot.rectangle, ZERO, new flash.filters.BlurFilter(3, 3, 1));
var a = (dot.getPixel32(2, 2) >> 24) & 255, n = (dot.getPixel32(3, 2) >> 24) & 255;
trace((a < 255) + " " + (n > 0) + " " + (a >= n) + " " + ((dot.getPixel32(0, 0) >> 24) & 255));
)"),
              "0 -1\n"
              "302010 ffffff\n"
              "true true true 0\n");
}

// A DefineBitsLossless2 picture (32-bit, premultiplied) of 2 x 1 pixels.
Asm::Bytes losslessPicture(unsigned id)
{
    const std::uint8_t pixels[] = {0xFF, 0xFF, 0x00, 0x00, 0x80, 0x00, 0x80, 0x00}; // A R G B
    std::vector<std::uint8_t> packed(compressBound(sizeof pixels));
    uLongf length = packed.size();
    EXPECT_EQ(compress(packed.data(), &length, pixels, sizeof pixels), Z_OK);
    Asm::Bytes body;
    u16(body, id);
    body.push_back(5);
    u16(body, 2);
    u16(body, 1);
    body.insert(body.end(), packed.begin(), packed.begin() + std::ptrdiff_t(length));
    return tagOf(36, body);
}

TEST(BitmapData, LoadBitmapGivesACopyOfAnExportedPicture)
{
    Asm::Bytes tags = losslessPicture(7);
    add(tags, exportAs(7, "pic"));
    add(tags, tagOf(12, actionscript::compileActions(R"(
var p = flash.display.BitmapData.loadBitmap("pic");
trace(p.width + " " + p.height + " " + p.transparent);
trace(p.getPixel32(0, 0) + " " + p.getPixel32(1, 0));
p.setPixel32(0, 0, 0);
var q = flash.display.BitmapData.loadBitmap("pic");
trace(q.getPixel32(0, 0));
trace(flash.display.BitmapData.loadBitmap("nothing") + " " + flash.display.BitmapData.loadBitmap());
)",
                                                       8)));
    add(tags, showFrame());
    add(tags, tagOf(0, {}));
    EXPECT_EQ(playOutput(movieOfTags(8, 1, tags), 1),
              "2 1 true\n"
              "-65536 -2147418368\n"
              "-65536\n"
              "undefined undefined\n");
}

TEST(BitmapData, PicturesPerMovieAndPixelWorkStayBounded)
{
    // Three full-size pictures fit the allowance; disposing one makes room
    // again. (Each costs a sixth of a frame's budget, hence two frames.)
    EXPECT_EQ(run(R"(
var list = [], valid = 0;
for (var i = 0; i < 4; i++) list.push(new B(2880, 2880));
for (i = 0; i < 4; i++) if (list[i].width == 2880) valid++;
trace(valid);
#frame
list[0].dispose();
trace(new B(2880, 2880).width + " " + new B(2880, 2880).width);
)",
                  2),
              "3\n2880 -1\n");
    // Pictures only the stage still shows keep their pixels counted after
    // the collector has freed their script objects.
    EXPECT_EQ(run(R"(
for (var i = 0; i < 3; i++) this.createEmptyMovieClip("c" + i, i + 1).attachBitmap(new B(2880, 2880), 1);
#frame
for (i = 0; i < 5000; i++) { var o = {}; }
#frame
trace(new B(2880, 2880).width);
)",
                  3),
              "-1\n");
    // Endless loops of per-pixel work end with the frame's budget.
    EXPECT_EQ(run(R"(
var big = new B(2880, 2880);
var n = 0;
while (true) { big.fillRect(big.rectangle, n++); big.noise(n); big.floodFill(0, 0, n); }
#frame
trace("next frame " + (n > 0));
)",
                  2),
              "next frame true\n");
}

} // namespace
} // namespace lumbra::movie::test
