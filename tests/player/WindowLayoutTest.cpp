// The layout arithmetic without windows: styles from the border settings,
// every window size and position on a 1024 x 768 screen, the kept aspect
// ratio, the mask transform of each scale mode and the transparency of a
// pixel drawn on black and on white.
#include "player/LayeredPixels.h"
#include "player/MaskTransform.h"
#include "player/WindowPlacement.h"
#include "player/WindowStyles.h"

#include <gtest/gtest.h>

#include <ostream>

// RECT has no comparison or printing of its own.
inline bool operator==(const RECT& a, const RECT& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}
inline void PrintTo(const RECT& r, std::ostream* out)
{
    *out << "{" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << "}";
}

namespace lumbra {
namespace {

ProjectSettings border(std::uint32_t style, std::uint32_t icons)
{
    ProjectSettings settings;
    settings.borderStyle = style;
    settings.borderIcons = icons;
    return settings;
}

TEST(WindowStyles, BorderAndIconsGiveTheirStyles)
{
    // Whatever was set before is cleared: popup, frame, caption, buttons,
    // taskbar, help, tool window and transparent styles.
    const WindowStyles none = computeStyles(border(0x1, 0x1111));
    EXPECT_EQ(none.clearStyle, 0x80CF0000u);
    EXPECT_EQ(none.clearExStyle, 0x000404A0u | WS_EX_CLIENTEDGE);
    EXPECT_EQ(none.setStyle, DWORD(WS_POPUP | WS_MINIMIZEBOX | WS_SYSMENU)) << "no maximize box without a border";
    EXPECT_EQ(none.setExStyle, DWORD(WS_EX_APPWINDOW)) << "no help button without a border";

    const WindowStyles single = computeStyles(border(0x10, 0x1001));
    EXPECT_EQ(single.setStyle, DWORD(WS_CAPTION | WS_MAXIMIZEBOX));
    EXPECT_EQ(single.setExStyle, DWORD(WS_EX_CONTEXTHELP | WS_EX_APPWINDOW));
    EXPECT_EQ(single.clearExStyle, 0x000404A0u);

    const WindowStyles resizable = computeStyles(border(0x10100, 0x100));
    EXPECT_EQ(resizable.setStyle, DWORD(WS_CAPTION | WS_THICKFRAME | WS_SYSMENU));
    EXPECT_EQ(resizable.setExStyle, 0u) << "no taskbar button";

    EXPECT_EQ(computeStyles(border(0x1010, 0)).setExStyle, DWORD(WS_EX_TOOLWINDOW | WS_EX_APPWINDOW));
    EXPECT_EQ(computeStyles(border(0x1001, 0)).setExStyle, DWORD(WS_EX_APPWINDOW)) << "a popup has no small caption";
    EXPECT_EQ(computeStyles(border(0x11, 0)).setStyle, DWORD(WS_POPUP)) << "none wins over single";

    // Applying clears before it sets.
    EXPECT_EQ(none.style(WS_OVERLAPPEDWINDOW | WS_VISIBLE), DWORD(WS_POPUP | WS_MINIMIZEBOX | WS_SYSMENU | WS_VISIBLE));
    EXPECT_EQ(resizable.exStyle(WS_EX_APPWINDOW | WS_EX_TOPMOST), DWORD(WS_EX_TOPMOST));
}

class Placements : public ::testing::Test {
protected:
    Placement place(std::uint32_t windowSize, std::uint32_t pos)
    {
        settings.windowSize = windowSize;
        settings.pos = pos;
        return computePlacement(settings, input);
    }

    ProjectSettings settings;
    // A 400 x 300 movie in a window with an 8-pixel frame and a caption.
    PlacementInput input{{1024, 768}, {400, 300}, {10, 20, 310, 220}, {16, 38}};
};

TEST_F(Placements, WindowSizes)
{
    EXPECT_EQ(place(0, 0).rect, (RECT{0, 0, 416, 338})) << "movie plus frame";
    settings.customWidth = 640;
    settings.customHeight = 480;
    EXPECT_EQ(place(3, 0).rect, (RECT{0, 0, 640, 480}));
    settings.customHeight = 50;
    const Placement percent = place(4, 4);
    EXPECT_EQ(percent.rect, (RECT{256, 192, 768, 576})) << "512 x 384 in the centre; customWidth unused";
    EXPECT_TRUE(percent.repaint);
    EXPECT_EQ(percent.show, Placement::Show::normal);

    const Placement full = place(1, 8);
    EXPECT_EQ(full.rect, (RECT{0, 0, 1024, 768}));
    EXPECT_EQ(full.show, Placement::Show::normal);

    const Placement maximized = place(2, 4);
    EXPECT_EQ(maximized.rect, (RECT{304, 215, 720, 553}));
    EXPECT_FALSE(maximized.repaint);
    EXPECT_EQ(maximized.show, Placement::Show::maximized);

    EXPECT_FALSE(place(5, 4).move) << "unknown size: the window stays";
}

TEST_F(Placements, UnreadableMovieKeepsTheWindowSize)
{
    input.movie = {0, 0};
    EXPECT_EQ(place(0, 8).rect, (RECT{724, 568, 1024, 768})) << "300 x 200 as before, bottom right";
    input.movie = {400, 0};
    EXPECT_EQ(place(2, 0).rect, (RECT{0, 0, 300, 200}));
}

TEST_F(Placements, ElevenPositions)
{
    settings.customWidth = 100;
    settings.customHeight = 51; // odd free space: halves are truncated
    const RECT expected[] = {{0, 0, 100, 51},       {462, 0, 562, 51},     {924, 0, 1024, 51},
                             {0, 358, 100, 409},    {462, 358, 562, 409},  {924, 358, 1024, 409},
                             {0, 717, 100, 768},    {462, 717, 562, 768},  {924, 717, 1024, 768}};
    for (std::uint32_t pos = 0; pos < 9; ++pos)
        EXPECT_EQ(place(3, pos).rect, expected[pos]) << "pos " << pos;
    settings.customX = 25;
    settings.customY = 10;
    EXPECT_EQ(place(3, 9).rect, (RECT{25, 10, 125, 61}));
    EXPECT_EQ(place(3, 10).rect, (RECT{256, 76, 356, 127})) << "a quarter across, a tenth down";
    EXPECT_EQ(place(3, 11).rect, input.window) << "unknown position: the rectangle stays";
}

TEST(KeepAspectRatio, TheUnchangedSideFollows)
{
    const float ratio = 4.0f / 3.0f;
    // The frame is 16 x 38; only the bottom edge moved: client 300 high.
    const RECT start{50, 60, 866, 698};
    EXPECT_EQ(keepAspectRatio(start, {50, 60, 866, 398}, {800, 300}, ratio), (RECT{50, 60, 466, 398}))
        << "client 400 x 300";
    // The width changed: the height follows it.
    EXPECT_EQ(keepAspectRatio(start, {50, 60, 466, 698}, {400, 600}, ratio), (RECT{50, 60, 466, 398}));
    // The nearest whole pixel: 3:2 for a client 101 high, 2:3 for one 100 wide.
    EXPECT_EQ(keepAspectRatio({0, 0, 50, 50}, {0, 0, 50, 101}, {50, 101}, 1.5f), (RECT{0, 0, 152, 101}));
    EXPECT_EQ(keepAspectRatio({0, 0, 50, 50}, {0, 0, 100, 50}, {100, 50}, 2.0f / 3.0f), (RECT{0, 0, 100, 150}));
}

TEST(MaskTransform, EachScaleModePlacesTheMovieLikeTheControl)
{
    const SIZE client{400, 300}, movie{200, 100};
    const POINT frame{0, 0};
    const auto check = [](const XFORM& t, double sx, double sy, double dx, double dy) {
        EXPECT_DOUBLE_EQ(t.eM11, sx);
        EXPECT_DOUBLE_EQ(t.eM22, sy);
        EXPECT_DOUBLE_EQ(t.eDx, dx);
        EXPECT_DOUBLE_EQ(t.eDy, dy);
        EXPECT_EQ(t.eM12, 0);
        EXPECT_EQ(t.eM21, 0);
    };
    check(maskTransform(FlashScale::showAll, client, movie, frame), 2, 2, 0, 50);
    check(maskTransform(FlashScale::noBorder, client, movie, frame), 3, 3, -100, 0);
    check(maskTransform(FlashScale::exactFit, client, movie, frame), 2, 3, 0, 0);
    check(maskTransform(FlashScale::noScale, client, movie, frame), 1, 1, 100, 100);
    // The client area's place in the window shifts everything.
    check(maskTransform(FlashScale::showAll, client, movie, {8, 30}), 2, 2, 8, 80);
    // Odd leftovers are truncated toward zero: (301 - 200) / 2 and (49 - 100) / 2.
    check(maskTransform(FlashScale::noScale, {301, 49}, movie, frame), 1, 1, 50, -25);
    // A movie without a size maps one to one.
    check(maskTransform(FlashScale::showAll, client, {0, 0}, {4, 4}), 1, 1, 4, 4);

    EXPECT_EQ(flashScaleFor(1), FlashScale::showAll);
    EXPECT_EQ(flashScaleFor(2), FlashScale::noBorder);
    EXPECT_EQ(flashScaleFor(0x100), FlashScale::exactFit);
    EXPECT_EQ(flashScaleFor(0x10), FlashScale::noScale);
    EXPECT_EQ(flashScaleFor(0), std::nullopt);
    EXPECT_EQ(flashScaleFor(3), std::nullopt);
}

TEST(LayeredPixels, AlphaFromTheBlackAndTheWhiteDrawing)
{
    EXPECT_EQ(alphaOf(0xFF336699, 0xFF336699), 255) << "opaque: both drawings agree";
    EXPECT_EQ(alphaOf(0x00000000, 0x00FFFFFF), 0) << "background only";
    // Red at half alpha: 0x80 on black, 0x80 + 0x7F on white.
    EXPECT_EQ(alphaOf(0x00800000, 0x00FF7F7F), 0x80);
    EXPECT_EQ(alphaOf(0x00000010, 0x00000008), 8) << "a white drawing darker than the black one";

    std::uint32_t black[] = {0x00112233, 0x00000000, 0x00000040};
    const std::uint32_t white[] = {0x00112233, 0x00FFFFFF, 0x00BFBFFF};
    setAlphaFromPair(black, white, 3);
    EXPECT_EQ(black[0], 0xFF112233u);
    EXPECT_EQ(black[1], 0x00000000u);
    EXPECT_EQ(black[2], 0x40000040u);

    EXPECT_TRUE(showsBackground(0xFF000000, 0x00FFFFFF)) << "the alpha byte does not count";
    EXPECT_FALSE(showsBackground(0x00000001, 0x00FFFFFF));
    EXPECT_FALSE(showsBackground(0x00000000, 0x00FFFFFE));
}

} // namespace
} // namespace lumbra
