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

TEST(BitmapData, GenerateFilterRectGrowsByEachFiltersReach)
{
    EXPECT_EQ(run(R"(
var F = flash.filters;
var b = new B(4, 4);
var r = rect(10, 10, 10, 10);
function grown(f) { var g = b.generateFilterRect(r, f); return g.x + "," + g.y + "," + g.width + "," + g.height; }
trace(grown(new F.BlurFilter(4, 4, 1)) + " " + grown(new F.BlurFilter(4, 2, 3)));
trace(grown(new F.DropShadowFilter(4, 0, 0, 1, 0, 0)) + " " + grown(new F.DropShadowFilter(4, 90, 0, 1, 0, 0)) + " " + grown(new F.DropShadowFilter(4, 180, 0, 1, 0, 0)));
trace(grown(new F.DropShadowFilter(4, 45, 0, 1, 4, 4, 1, 1, true)) + " " + grown(new F.GlowFilter()));
var bevel = new F.BevelFilter();
var inner = grown(bevel);
bevel.type = "outer";
trace(inner + " " + grown(bevel) + " " + grown(new F.ColorMatrixFilter()));
trace(b.generateFilterRect(r, {}) + " " + b.generateFilterRect(null, new F.BlurFilter()));
b.dispose();
trace(b.generateFilterRect(r, new F.BlurFilter()));
)"),
              "8,8,14,14 4,7,22,16\n"
              "10,10,14,10 10,10,10,14 6,10,14,10\n"
              "10,10,10,10 7,7,16,16\n"
              "10,10,10,10 5,5,20,20 10,10,10,10\n"
              "undefined undefined\n"
              "undefined\n");
}

TEST(BitmapData, PerlinNoiseIsSmoothSeededNoiseInTheChosenChannels)
{
    EXPECT_EQ(run(R"(
var a = new B(32, 32, false, 0), b = new B(32, 32, false, 0), c = new B(32, 32, false, 0);
a.perlinNoise(8, 8, 2, 7, false, true);
b.perlinNoise(8, 8, 2, 7, false, true);
c.perlinNoise(8, 8, 2, 8, false, true);
trace(a.compare(b) + " " + (a.compare(c) != 0));
// Mean, lowest and highest of one channel; and whether neighbours stay close (smooth).
function stats(p, shift) {
  var sum = 0, low = 255, high = 0, jump = 0;
  for (var y = 0; y < p.height; y++) for (var x = 0; x < p.width; x++) {
    var v = (p.getPixel32(x, y) >>> shift) & 255;
    sum += v; low = Math.min(low, v); high = Math.max(high, v);
    if (x > 0) jump = Math.max(jump, Math.abs(v - ((p.getPixel32(x - 1, y) >>> shift) & 255)));
  }
  return {mean: sum / (p.width * p.height), low: low, high: high, jump: jump};
}
var f = stats(a, 16);
trace((Math.abs(f.mean - 128) < 25) + " " + (f.high - f.low > 60) + " " + (f.jump < 64));
var t = new B(32, 32, false, 0);
t.perlinNoise(8, 8, 2, 7, false, false);
var ts = stats(t, 16);
trace((ts.mean < f.mean - 20) + " " + (ts.low < 20));
// Red alone leaves green and blue at 0; gray gives one value to all three; alpha only when asked.
var red = new B(8, 8, false, 0xFFFFFF);
red.perlinNoise(4, 4, 1, 3, false, true, 1);
var gray = new B(8, 8, true, 0);
gray.perlinNoise(4, 4, 1, 3, false, true, 7, true);
var alpha = new B(8, 8, true, 0);
alpha.perlinNoise(4, 4, 1, 3, false, true, 15);
var onlyRed = true, isGray = true, opaque = true;
for (var y = 0; y < 8; y++) for (var x = 0; x < 8; x++) {
  if ((red.getPixel(x, y) & 0xFFFF) != 0) onlyRed = false;
  var g = gray.getPixel32(x, y);
  if (((g >> 16) & 255) != (g & 255) || ((g >> 8) & 255) != (g & 255) || (g >>> 24) != 255) isGray = false;
  if ((alpha.getPixel32(x, y) >>> 24) != 255) opaque = false;
}
trace(onlyRed + " " + isGray + " " + opaque);
// An offset moves its octave: the picture is the plain one seen from (3, 2).
var plain = new B(32, 32, false, 0), moved = new B(32, 32, false, 0);
plain.perlinNoise(8, 8, 1, 5, false, true);
moved.perlinNoise(8, 8, 1, 5, false, true, 7, false, [{x: 3, y: 2}]);
var same = 0;
for (y = 0; y < 30; y++) for (x = 0; x < 29; x++) if (moved.getPixel(x, y) == plain.getPixel(x + 3, y + 2)) same++;
trace(same + " " + (plain.compare(moved) != 0));
// Stitched noise tiles: moved by its whole width in every octave it is the same picture.
var tile = new B(32, 32, false, 0), next = new B(32, 32, false, 0), loose = new B(32, 32, false, 0);
tile.perlinNoise(8, 8, 2, 9, true, true);
next.perlinNoise(8, 8, 2, 9, true, true, 7, false, [{x: 32, y: 0}, {x: 32, y: 0}]);
loose.perlinNoise(8, 8, 2, 9, false, true, 7, false, [{x: 32, y: 0}, {x: 32, y: 0}]);
trace(tile.compare(next) + " " + (loose.compare(plain) != 0));
)"),
              "0 true\n"
              "true true true\n"
              "true true\n"
              "true true false\n"
              "870 true\n"
              "0 true\n");
}

TEST(BitmapData, ApplyFilterReachesPastTheSourceRectangleAndDisplacesByAMap)
{
    EXPECT_EQ(run(R"(
var F = flash.filters;
// A 3-wide box blur of a 3 x 3 black block spreads one pixel around it.
var s = new B(3, 3, true, 0xFF000000);
var d = new B(9, 9, true, 0);
trace(d.applyFilter(s, rect(0, 0, 3, 3), {x: 3, y: 3}, new F.BlurFilter(3, 3, 1)));
trace((d.getPixel32(2, 4) >>> 24) + " " + (d.getPixel32(1, 4) >>> 24) + " " + (d.getPixel32(4, 4) >>> 24));
// Blue 0x10, 0x20, 0x30, 0x40 moved by a map of red 192: (192 - 128) * 4 / 256 = one pixel.
var row = new B(4, 1, false, 0);
for (var i = 0; i < 4; i++) row.setPixel(i, 0, (i + 1) * 16);
var map = new B(4, 1, false, 0xC00000);
function moved(mode, point) {
  var out = new B(4, 1, false, 0);
  out.applyFilter(row, rect(0, 0, 4, 1), ZERO, new F.DisplacementMapFilter(map, point, 1, 1, 4, 0, mode, 0xFF00FF, 1));
  var text = "";
  for (var i = 0; i < 4; i++) text += out.getPixel(i, 0).toString(16) + " ";
  return text;
}
trace(moved("wrap", ZERO) + "/ " + moved("clamp", ZERO) + "/ " + moved("ignore", ZERO) + "/ " + moved("color", ZERO));
// The map placed two pixels on: the first two pixels have no map value and stay.
trace(moved("wrap", {x: 2, y: 0}));
this.createEmptyMovieClip("mc", 1);
mc.filters = [new F.DisplacementMapFilter(map, {x: 1, y: 2}, 1, 2, 3, 4, "clamp")];
var f = mc.filters[0];
trace(f.mapBitmap.width + " " + f.mapPoint + " " + f.componentY + " " + f.scaleY + " " + f.mode);
)"),
              "0\n"
              "85 0 255\n"
              "20 30 40 10 / 20 30 40 40 / 20 30 40 40 / 20 30 40 ff00ff \n"
              "10 20 40 10 \n"
              "4 (x=1, y=2) 2 4 clamp\n");
}

// A crafted case: sixteen nested clips, each blurred, drawn into the largest
// picture. Each layer covers only the small square and its blur, so this
// stays within the canvas's allowance (its own tests pin the figures).
TEST(BitmapData, DrawingDeeplyFilteredClipsIntoALargePicture)
{
    EXPECT_EQ(run(R"(
var holder = this.createEmptyMovieClip("deep", 1);
var mc = holder;
for (var i = 0; i < 16; i++) { mc = mc.createEmptyMovieClip("c", 1); mc.filters = [new flash.filters.BlurFilter(2, 2, 3)]; }
mc.beginFill(0xFF0000); mc.moveTo(0, 0); mc.lineTo(20, 0); mc.lineTo(20, 20); mc.lineTo(0, 20); mc.endFill();
var big = new B(2880, 2880, true, 0);
big.draw(holder);
trace(((big.getPixel32(10, 10) >>> 24) > 0) + " " + big.getPixel32(2000, 2000) + " " + big.getPixel32(100, 10));
)"),
              "true 0 0\n");
}

} // namespace
} // namespace lumbra::movie::test
