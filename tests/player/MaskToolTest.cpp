// lumbra-pack mask on Windows: the region the system makes of the written
// mask covers exactly the picture's opaque pixels.
#include "PlayerProcess.h"
#include "TestPicture.h"
#include "WindowProbe.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace lumbra::test {
namespace {

// A disc with a soft edge and a hole: alpha 255 inside, falling off over
// four pixels, 0 in the hole and outside.
Picture softDisc()
{
    Picture picture(64, 48, 0);
    for (int y = 0; y < picture.height; ++y)
        for (int x = 0; x < picture.width; ++x) {
            const double distance = std::hypot(x - 30.5, y - 22.5);
            double alpha = std::clamp((24 - distance) / 4, 0.0, 1.0);
            if (std::abs(x - 30) < 4 && std::abs(y - 22) < 3)
                alpha = 0;
            picture.at(x, y) = std::uint32_t(std::lround(alpha * 255)) << 24 | 0x20A040;
        }
    return picture;
}

TEST(MaskTool, RegionCoversExactlyTheOpaquePixels)
{
    const auto folder = scratchFolder("MaskTool");
    const Picture picture = softDisc();
    writePng(folder / "disc.png", picture);
    const auto mask = folder / "disc.msk";
    ASSERT_EQ(runToEnd('"' + builtPackager().string() + "\" mask \"" + (folder / "disc.png").string() + "\" -o \"" +
                       mask.string() + "\" --threshold 200"),
              0u);
    const std::vector<std::uint8_t> file = readFile(mask);
    ASSERT_GT(file.size(), 4u);
    const Region region(ExtCreateRegion(nullptr, static_cast<DWORD>(file.size() - 4),
                                        reinterpret_cast<const RGNDATA*>(file.data() + 4)));
    ASSERT_TRUE(region);
    int opaque = 0;
    for (int y = 0; y < picture.height; ++y)
        for (int x = 0; x < picture.width; ++x) {
            const bool expected = (picture.at(x, y) >> 24) >= 200;
            opaque += expected;
            EXPECT_EQ(region.contains(x, y), expected) << x << ", " << y;
        }
    EXPECT_GT(opaque, 1000) << "the disc is there";
}

} // namespace
} // namespace lumbra::test
