// Pictures of the control as a container takes them through IViewObject:
// anti-aliased edges that a layered window can recover alpha from, gradients,
// clip-layer masks and filters, each compared with colours reasoned out from
// the format's rules.
#include "tests/control/ControlHost.h"

#include "control/movie/TagCodes.h"
#include "tests/control/TestMovie.h"
#include "tests/draw/TagAssembly.h"

#include <gtest/gtest.h>

namespace lumbra::com::test {
namespace {

using movie::ActionWriter;
using movie::argb;
using movie::BitWriter;

class ControlDrawing : public ::testing::Test {
protected:
    // Loads the movie, then draws it over a background colour.
    void show(TestMovie& movie) {
        movie.actions(ActionWriter().stop().finish());
        movie.showFrame();
        auto path = folder.path() / L"drawing.swf";
        movie.save(path);
        auto text = path.wstring();
        ASSERT_EQ(host.putText(L"Movie", std::u16string(text.begin(), text.end())), S_OK);
    }

    unsigned drawOver(Picture& picture, int background) {
        EXPECT_EQ(host.putInt(L"BackgroundColor", background), S_OK);
        auto view = ComPtr<IDispatch>(host.control()).query<IViewObject>();
        RECTL bounds = {0, 0, 100, 100};
        return view ? view->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, picture.dc(), &bounds, nullptr,
                                 nullptr, 0)
                    : E_NOINTERFACE;
    }

    TempFolder folder;
    ControlHost host{100, 100};
};

TEST_F(ControlDrawing, EdgesAreAntiAliasedAndTheBackgroundStaysExact) {
    TestMovie movie(100, 100, 30, argb(255, 128, 128, 128));
    // The left edge halves pixel column 20.
    movie.place(movie.rectangle({20.5, 20, 60, 60}, argb(255, 255, 0, 0)), 1);
    show(movie);
    Picture black(100, 100), white(100, 100);
    ASSERT_EQ(drawOver(black, 0x000000), S_OK);
    ASSERT_EQ(drawOver(white, 0xFFFFFF), S_OK);
    EXPECT_EQ(black.pixel(5, 5), 0x000000u);
    EXPECT_EQ(white.pixel(5, 5), 0xFFFFFFu);
    EXPECT_EQ(black.pixel(19, 40), 0x000000u) << "beside the edge nothing changes";
    EXPECT_EQ(black.pixel(40, 40), 0xFF0000u);
    unsigned overBlack = black.pixel(20, 40), overWhite = white.pixel(20, 40);
    EXPECT_NEAR(int(overBlack >> 16), 128, 2) << "half red over black";
    // What a layered window derives: alpha = 255 - (white - black) in blue.
    int alpha = 255 - int(overWhite & 0xFF) + int(overBlack & 0xFF);
    EXPECT_NEAR(alpha, 128, 2);
}

TEST_F(ControlDrawing, GradientsMasksAndShadowsShow) {
    TestMovie movie(100, 100, 30, argb(255, 255, 255, 255));
    auto& t = movie.timeline();
    // Depth 1: a mask over the left half; depth 2: a black-to-white gradient
    // across the whole stage, seen only through it.
    movie::test::solidShape(t, 101, {0, 0, 50, 100}, argb(255, 0, 255, 0));
    t.tag(movie::tag::DefineShape3, movie::test::shapeBody(102, {0, 0, 100, 50}, [](BitWriter& w) {
        w.u8(0x10);
        w.matrix({2000.0 / 32768, 0, 0, 2000.0 / 32768, 1000, 500});
        w.u8(2);
        w.u8(0), w.rgba(0xFF000000);
        w.u8(255), w.rgba(0xFFFFFFFF);
    }));
    movie::test::place(t, 101, 1, {}, 2);
    movie::test::place(t, 102, 2);
    // Depth 3: a red square with a hard black drop shadow 5 px to the right.
    movie::test::solidShape(t, 103, {20, 60, 40, 80}, argb(255, 255, 0, 0));
    BitWriter w;
    w.u8(0x02 | 0x04);
    w.u8(0x01);
    w.u16(3);
    w.u16(103);
    w.matrix({});
    w.u8(1);
    w.u8(0);
    w.rgba(0xFF000000);
    w.u32(1 << 16), w.u32(1 << 16), w.u32(0), w.u32(5 << 16);
    w.u16(0x0100);
    w.u8(0x20 | 1);
    t.tag(movie::tag::PlaceObject3, w.take());
    show(movie);
    Picture picture(100, 100);
    ASSERT_EQ(drawOver(picture, -1), S_OK);
    EXPECT_LE(picture.pixel(2, 25) & 0xFF, 10u) << "the gradient starts black";
    EXPECT_NEAR(int(picture.pixel(25, 25) & 0xFF), 65, 4) << "a quarter of the way: 65";
    EXPECT_EQ(picture.pixel(75, 25), 0xFFFFFFu) << "masked away";
    EXPECT_EQ(picture.pixel(30, 70), 0xFF0000u);
    EXPECT_EQ(picture.pixel(43, 70), 0x000000u) << "the shadow";
    EXPECT_EQ(picture.pixel(30, 83), 0xFFFFFFu);
}

} // namespace
} // namespace lumbra::com::test
