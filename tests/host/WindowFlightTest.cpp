// "fly" and "fly2" geometry: the defaults and bounds of fly's arguments, the
// corner points of the work area, and the stepping worked out by hand.
#include <gtest/gtest.h>

#include <vector>

#include "host/SpecialFolders.h"
#include "host/WindowFlight.h"

namespace lumbra::host {
namespace {

using orvet::ScriptValue;

// An argument block: the count, then the arguments.
std::vector<ScriptValue> block(std::vector<ScriptValue> arguments)
{
    arguments.insert(arguments.begin(), ScriptValue::ofInt(static_cast<std::int64_t>(arguments.size())));
    return arguments;
}

void expectRequest(const std::vector<ScriptValue>& args, FlyRequest expected)
{
    const FlyRequest r = flyRequest(args.data());
    EXPECT_EQ(r.corner, expected.corner);
    EXPECT_EQ(r.approach, expected.approach);
    EXPECT_EQ(r.in, expected.in);
    EXPECT_EQ(r.delay, expected.delay);
}

TEST(WindowFlight, ArgumentsTakeTheirDefaultsAndBounds)
{
    const auto i = [](int v) { return ScriptValue::ofInt(v); };
    expectRequest(block({}), {0, 0, true, 10});
    expectRequest(block({i(1), i(1), ScriptValue::ofBool(false), i(3)}), {1, 1, false, 3});
    expectRequest(block({i(7), i(-1)}), {3, 2, true, 10});
    expectRequest(block({i(-1), i(3), i(0), i(-5)}), {3, 2, false, 10});
    // Not an Integer counts as missing; "in" is any value read as a boolean.
    expectRequest(block({ScriptValue::ofFloat(2.0), ScriptValue::null(), ScriptValue::ofInt(5), ScriptValue::ofFloat(1)}),
                  {0, 0, true, 10});
    expectRequest(block({i(2), i(2), ScriptValue::null(), i(0)}), {2, 2, false, 0});
}

TEST(WindowFlight, CornersAndApproaches)
{
    const WorkArea area{10, 20, 810, 620}; // left, top, right, bottom
    const int w = 100, h = 50;
    struct Case {
        int corner, approach;
        Point rest, outside;
    } cases[] = {
        {0, 0, {710, 570}, {810, 570}}, {0, 1, {710, 570}, {710, 620}}, {0, 2, {710, 570}, {810, 620}},
        {1, 0, {710, 20}, {810, 20}},   {1, 1, {710, 20}, {710, -30}},  {1, 2, {710, 20}, {810, -30}},
        {2, 0, {10, 20}, {-90, 20}},    {2, 1, {10, 20}, {10, -30}},    {2, 2, {10, 20}, {-90, -30}},
        {3, 0, {10, 570}, {-90, 570}},  {3, 1, {10, 570}, {10, 620}},   {3, 2, {10, 570}, {-90, 620}},
    };
    for (const Case& c : cases) {
        const Flight in = flightPath({c.corner, c.approach, true, 10}, area, w, h);
        EXPECT_EQ(in.from, c.outside) << c.corner << "/" << c.approach;
        EXPECT_EQ(in.to, c.rest) << c.corner << "/" << c.approach;
        const Flight out = flightPath({c.corner, c.approach, false, 10}, area, w, h);
        EXPECT_EQ(out.from, c.rest);
        EXPECT_EQ(out.to, c.outside);
    }
}

TEST(WindowFlight, Stepping)
{
    EXPECT_TRUE(flightSteps({5, 5}, {5, 5}).empty());
    EXPECT_EQ(flightSteps({0, 0}, {0, 3}), (std::vector<Point>{{0, 0}, {0, 1}, {0, 2}, {0, 3}}));
    EXPECT_EQ(flightSteps({2, 1}, {2, -1}), (std::vector<Point>{{2, 1}, {2, 0}, {2, -1}}));
    EXPECT_EQ(flightSteps({0, 0}, {4, 2}), (std::vector<Point>{{0, 0}, {1, 0}, {2, 1}, {3, 1}, {4, 2}}));
    // Rounding towards zero on the way up: -3/4, -6/4, -9/4 give 0, -1, -2.
    EXPECT_EQ(flightSteps({4, 0}, {0, -3}), (std::vector<Point>{{4, 0}, {3, 0}, {2, -1}, {1, -2}, {0, -3}}));
    // Steeper than one: y jumps, x still moves one pixel a step.
    EXPECT_EQ(flightSteps({0, 0}, {2, 9}), (std::vector<Point>{{0, 0}, {1, 4}, {2, 9}}));
    const auto far = flightSteps({-2000, 0}, {2000, 1000000});
    ASSERT_EQ(far.size(), 4001u);
    EXPECT_EQ(far.back(), (Point{2000, 1000000}));
    EXPECT_EQ(far[1], (Point{-1999, 250}));
}

TEST(SpecialFolders, NamesAreLookedUpInSmallLetters)
{
    ASSERT_TRUE(findSpecialFolder("Temp"));
    EXPECT_EQ(findSpecialFolder("Temp")->source, FolderSource::Temp);
    EXPECT_EQ(findSpecialFolder("DESKTOP ALL")->csidl, 0x19);
    EXPECT_EQ(findSpecialFolder("My Documents")->csidl, 0x05);
    EXPECT_EQ(findSpecialFolder("Program Files")->source, FolderSource::ProgramFiles);
    EXPECT_EQ(findSpecialFolder("recycle bin")->source, FolderSource::None);
    EXPECT_FALSE(findSpecialFolder("desktop "));
    EXPECT_FALSE(findSpecialFolder(""));
    EXPECT_FALSE(findSpecialFolder("mydocuments"));
}

} // namespace
} // namespace lumbra::host
