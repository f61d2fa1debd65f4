// Timeline events on hand-assembled tags: onClipEvent handlers of placements,
// DoInitAction, script handlers such as onEnterFrame, and the order of a
// placed clip's actions among its parent's.
#include "TimelineAssembly.h"

#include <gtest/gtest.h>

namespace lumbra::movie::test {
namespace {

TEST(TimelineScripts, ClipEventsInitActionsAndTheirOrder)
{
    Asm::Bytes tags = sprite(1, 2, "child");
    // Frame 1: the parent's block, then the placement, then a second block.
    add(tags, doAction(Asm().traceStr("root frame 1")));
    add(tags, place(1, 1, "kid", {{Load, Asm().traceStr("load")}, {EnterFrame, Asm().traceStr("enter")}}));
    add(tags, doAction(Asm().traceStr("root frame 1 again")));
    Asm::Bytes init;
    u16(init, 1);
    add(init, actionsOf(Asm().traceStr("init")));
    add(tags, tagOf(DoInitAction, init));
    add(tags, tagOf(ShowFrame, {}));
    add(tags, doAction(Asm().traceStr("root frame 2")));
    add(tags, tagOf(ShowFrame, {}));
    add(tags, tagOf(0, {}));
    std::string out = playOutput(movieOfTags(6, 2, tags), 2);
    // The frame's blocks run before a clip it places loads; on later frames
    // children move on before their parent, enterFrame before frame actions.
    EXPECT_EQ(out, "init\nroot frame 1\nroot frame 1 again\nload\nchild frame 1\n"
                   "enter\nchild frame 2\nroot frame 2\n");
}

TEST(TimelineScripts, OnEnterFrameHandlersAndTheirRemoval)
{
    // this.onEnterFrame = function () { n++; trace("tick " + n); if (n == 2) delete this.onEnterFrame; }
    enum : std::uint8_t { GetVariable = 0x1C, SetVariable = 0x1D, Delete = 0x3A, Add2 = 0x47, Equals2 = 0x49,
                          Increment = 0x50, SetMember = 0x4F, Not = 0x12, Pop = 0x17 };
    Asm handler;
    handler.str("n").str("n").op(GetVariable).op(Increment).op(SetVariable);
    handler.str("tick ").str("n").op(GetVariable).op(Add2).trace();
    handler.str("n").op(GetVariable).f64(2).op(Equals2).op(Not).branchIf("keep");
    handler.str("this").op(GetVariable).str("onEnterFrame").op(Delete).op(Pop).label("keep");
    Asm setup;
    setup.str("n").f64(0).op(SetVariable);
    setup.str("this").op(GetVariable).str("onEnterFrame").function("", {}, handler).op(SetMember);
    std::string out = playOutput(movieOf(6, {setup.bytes(), Asm().bytes(), Asm().bytes(), Asm().bytes()}), 4);
    EXPECT_EQ(out, "tick 1\ntick 2\n");
}

TEST(TimelineScripts, FramesWithManyInitBlocksEnteredAgainAndAgainEndWithinTheBudget)
{
    // A frame of 2000 DoInitAction blocks runs each once, but every entry
    // looks at all of them: a script that enters it for ever spends its
    // steps doing so and ends after a few rounds, leaving the movie playing.
    // The third frame reports the rounds done.
    enum : std::uint8_t { GetVariable = 0x1C, SetVariable = 0x1D, Increment = 0x50, GotoFrame2 = 0x9F, Stop = 0x07 };
    Asm loop;
    loop.str("rounds").i32(0).op(SetVariable).label("top");
    loop.f64(2).record(GotoFrame2, {1}).f64(1).record(GotoFrame2, {1}); // gotoAndPlay(2), gotoAndPlay(1)
    loop.str("rounds").str("rounds").op(GetVariable).op(Increment).op(SetVariable).jump("top");
    Asm::Bytes tags = doAction(loop);
    add(tags, tagOf(ShowFrame, {}));
    Asm::Bytes init;
    u16(init, 1);
    add(init, actionsOf(Asm()));
    for (int i = 0; i < 2000; ++i)
        add(tags, tagOf(DoInitAction, init));
    add(tags, tagOf(ShowFrame, {}));
    add(tags, doAction(Asm().str("rounds").op(GetVariable).trace().op(Stop)));
    add(tags, tagOf(ShowFrame, {}));
    add(tags, tagOf(0, {}));
    const std::string out = playOutput(movieOfTags(6, 3, tags), 4);
    ASSERT_FALSE(out.empty());
    const int rounds = std::stoi(out);
    EXPECT_GE(rounds, 1);
    EXPECT_LE(rounds, 150); // each round looks at 2000 blocks
}

TEST(TimelineScripts, PlacingOnATakenDepthReplacesAndUnloads)
{
    Asm::Bytes tags = spriteOf(1, {{}});
    add(tags, place(1, 1, "first", {{Unload, Asm().traceStr("first unloads")}}));
    add(tags, showFrame());
    add(tags, place(1, 1, "second"));
    Asm check;
    check.str("first").op(GetVariable).op(0x44).trace();
    check.str("second").op(GetVariable).trace();
    add(tags, doAction(check));
    add(tags, showFrame());
    add(tags, tagOf(0, {}));
    EXPECT_EQ(playOutput(movieOfTags(8, 2, tags), 2), "first unloads\nundefined\n_level0.second\n");
}

TEST(TimelineScripts, TheBlocksOfOneFrameShareTheStack)
{
    Asm::Bytes tags;
    add(tags, doAction(Asm().str("carried")));
    add(tags, doAction(Asm().trace()));
    add(tags, showFrame());
    add(tags, doAction(Asm().trace()));
    add(tags, showFrame());
    add(tags, tagOf(0, {}));
    EXPECT_EQ(playOutput(movieOfTags(8, 2, tags), 2), "carried\nundefined\n");
}

TEST(TimelineScripts, ClassDefinitionsRunOnceBeforeTheirFramePlacesClips)
{
    Asm::Bytes tags = spriteOf(1, {{}});
    add(tags, exportAs(1, "box"));
    Asm define;
    define.traceStr("init");
    define.function("Ball", {}, Asm().traceStr("ball"));
    define.str("Ball").op(GetVariable).str("box").f64(2).str("Object").op(GetVariable).str("registerClass");
    define.op(CallMethod).op(Pop);
    add(tags, place(1, 1, "b"));
    add(tags, initActions(1, define));
    add(tags, showFrame());
    Asm back;
    back.traceStr("frame 2");
    call(back, "this", "gotoAndStop", {1.0});
    add(tags, doAction(back));
    add(tags, showFrame());
    add(tags, tagOf(0, {}));
    EXPECT_EQ(playOutput(movieOfTags(8, 2, tags), 3), "init\nball\nframe 2\n");
}

} // namespace
} // namespace lumbra::movie::test
