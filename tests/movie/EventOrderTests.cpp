// The order in which a frame's scripts run: enterFrame of parents and
// children and of clips made during a frame, unload events, and script
// placements replacing what is at their depth. From ActionScript source.
#include "SourceSupport.h"

#include <gtest/gtest.h>

namespace lumbra::movie::test {
namespace {

TEST(EventOrder, EnterFrameChildrenFirstNewClipsFromTheNextFrame)
{
    std::string out = runSource(R"(
trace("root 1");
this.onEnterFrame = function () { trace("root enter"); };
var low = createEmptyMovieClip("low", 1);
low.onEnterFrame = function () { trace("low enter"); };
low.createEmptyMovieClip("inner", 1).onEnterFrame = function () { trace("inner enter"); };
#frame
trace("root 2");
var high = createEmptyMovieClip("high", 2);
high.onEnterFrame = function () { trace("high enter"); };
high.onUnload = function () { trace("high unload"); };
#frame
trace("root 3");
high.removeMovieClip();
trace("removed");
#frame
fscommand("quit");
)",
                                8, 4);
    EXPECT_EQ(out, "root 1\n"
                   "inner enter\nlow enter\nroot enter\nroot 2\n"
                   "high enter\ninner enter\nlow enter\nroot enter\nroot 3\nremoved\nhigh unload\n"
                   "inner enter\nlow enter\nroot enter\n");
}

TEST(EventOrder, ScriptPlacementsReplaceWhatIsAtTheirDepth)
{
    std::string out = runSource(R"(
createEmptyMovieClip("a", 5).onUnload = function () { trace("a unloads"); };
var field = createTextField("t", 5, 0, 0, 50, 20);
trace(typeof _root.a + " " + (getInstanceAtDepth(5) == field) + " " + field._name);
createEmptyMovieClip("b", 5);
trace(typeof _root.t + " " + getInstanceAtDepth(5)._name);
)");
    EXPECT_EQ(out, "undefined true t\nundefined b\na unloads\n");
}

} // namespace
} // namespace lumbra::movie::test
