#include "SourceSupport.h"

#include <gtest/gtest.h>

namespace lumbra::movie::test {
namespace {

TEST(BitmapData, Smoke)
{
    EXPECT_EQ(runSource(R"(
var b = new flash.display.BitmapData(4, 3, true, 0x80FF0000);
trace(b.width + " " + b.height + " " + b.transparent);
trace(b.getPixel32(0, 0).toString(16));
trace(b.getPixel(1, 1).toString(16));
var r = b.rectangle; trace(r.x + "," + r.y + "," + r.width + "," + r.height);
trace(new flash.display.BitmapData(3000, 1).width);
)"), "");
}

} // namespace
} // namespace lumbra::movie::test
