// The control's canvas: drawing in memory, device-font text, one blit to a bitmap.
#include "control/com/GdiCanvas.h"

#include "tests/control/ControlHost.h"

#include <gtest/gtest.h>

namespace lumbra::com {
namespace {

using movie::argb;
using movie::Fill;
using movie::Path;

Fill solid(movie::Argb color) {
    Fill fill;
    fill.color = color;
    return fill;
}

movie::Contour square(double x0, double y0, double x1, double y1) {
    return {{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}};
}

class GdiCanvasTest : public ::testing::Test {
protected:
    // What the canvas shows once blitted.
    unsigned pixel(int x, int y) {
        canvas.present(picture.dc(), 0, 0);
        return picture.pixel(x, y);
    }

    test::Picture picture{40, 40};
    GdiCanvas canvas{40, 40};
};

TEST_F(GdiCanvasTest, ClearsAndFillsClosedContours) {
    canvas.clear(argb(255, 0, 0, 255));
    EXPECT_EQ(pixel(0, 0), 0x0000FFu);
    EXPECT_EQ(pixel(39, 39), 0x0000FFu);
    canvas.fillPath({square(10, 10, 30, 30)}, solid(argb(255, 255, 0, 0)));
    EXPECT_EQ(pixel(10, 10), 0xFF0000u);
    EXPECT_EQ(pixel(20, 20), 0xFF0000u);
    EXPECT_EQ(pixel(9, 20), 0x0000FFu);
    EXPECT_EQ(pixel(31, 20), 0x0000FFu);
}

TEST_F(GdiCanvasTest, FillsByTheNonZeroWindingRule) {
    canvas.clear(argb(255, 255, 255, 255));
    // An inner square wound the same way stays filled; one wound against it is a hole.
    movie::Contour inner = square(15, 15, 25, 25);
    canvas.fillPath({square(0, 0, 20, 40), inner}, solid(argb(255, 0, 0, 0)));
    EXPECT_EQ(pixel(17, 20), 0x000000u);
    canvas.clear(argb(255, 255, 255, 255));
    movie::Contour hole(inner.rbegin(), inner.rend());
    canvas.fillPath({square(10, 10, 30, 30), hole}, solid(argb(255, 0, 0, 0)));
    EXPECT_EQ(pixel(20, 20), 0xFFFFFFu);
    EXPECT_EQ(pixel(12, 12), 0x000000u);
}

TEST_F(GdiCanvasTest, BlendsPartlyTransparentColoursAndSkipsInvisibleOnes) {
    canvas.clear(argb(255, 255, 255, 255));
    canvas.fillPath({square(0, 0, 40, 40)}, solid(argb(0, 0, 0, 0)));
    EXPECT_EQ(pixel(20, 20), 0xFFFFFFu);
    canvas.fillPath({square(0, 0, 20, 40)}, solid(argb(128, 255, 0, 0)));
    unsigned blended = pixel(10, 10);
    EXPECT_EQ(blended >> 16, 0xFFu);
    EXPECT_NEAR(int((blended >> 8) & 0xFF), 127, 2);
    EXPECT_EQ(pixel(30, 10), 0xFFFFFFu) << "outside the shape nothing changes";
}

TEST_F(GdiCanvasTest, StrokesOpenPolylines) {
    canvas.clear(argb(255, 255, 255, 255));
    movie::Stroke stroke;
    stroke.width = 4;
    stroke.color = argb(255, 0, 128, 0);
    canvas.strokePath({{{5, 20}, {35, 20}}}, stroke);
    EXPECT_EQ(pixel(20, 20), 0x008000u);
    EXPECT_EQ(pixel(20, 30), 0xFFFFFFu);
}

TEST_F(GdiCanvasTest, DrawsDeviceFontTextInsideItsBox) {
    canvas.clear(argb(255, 255, 255, 255));
    movie::TextRun run;
    run.text = u"WWWW";
    run.font = u"_sans";
    run.size = 16;
    run.box = {0, 0, 40, 20};
    canvas.drawText(run);
    canvas.present(picture.dc(), 0, 0);
    int dark = 0, below = 0;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 40; ++x)
            if (picture.pixel(x, y) != 0xFFFFFF) (y < 20 ? dark : below)++;
    EXPECT_GT(dark, 10);
    EXPECT_EQ(below, 0) << "clipped to the box";
}

} // namespace
} // namespace lumbra::com
