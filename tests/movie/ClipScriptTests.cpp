// MovieClip methods and the timeline's rules for clips, on hand-assembled
// movies: depths, attaching and duplicating, registered classes, removal and
// unload events, script-moved clips, going back, points and hit tests.
#include "SourceSupport.h"
#include "TimelineAssembly.h"

#include <gtest/gtest.h>

namespace lumbra::movie::test {
namespace {

enum : std::uint8_t { Add2 = 0x47, InstanceOf = 0x54, TypeOf = 0x44 };

// A one-frame sprite with no actions, exported as "box".
Asm::Bytes exportedBox()
{
    Asm::Bytes tags = spriteOf(1, {{}});
    add(tags, exportAs(1, "box"));
    return tags;
}

std::string play(Asm::Bytes tags, int frames)
{
    add(tags, tagOf(0, {}));
    return playOutput(movieOfTags(8, frames, tags), frames);
}

Asm& traceCall(Asm& a, const std::string& path, const std::string& method, const std::vector<Arg>& args = {})
{
    return call(a, path, method, args, true).trace();
}

Asm& setMember(Asm& a, const std::string& path, const std::string& member, double value)
{
    return a.str(path).op(GetVariable).str(member).f64(value).op(SetMember);
}

TEST(ClipScripts, DepthsRemovalAndSwapping)
{
    Asm::Bytes tags = exportedBox();
    add(tags, place(1, 1, "placed"));
    Asm a;
    traceCall(a, "placed", "getDepth");
    call(a, "this", "attachMovie", {"box", "a", 5.0});
    traceCall(a, "a", "getDepth");
    traceCall(a, "this", "getNextHighestDepth");
    call(a, "a", "duplicateMovieClip", {"b", 7.0});
    traceMember(a, "b", "_target");
    // The global form adds 16384 to the depth, as compilers write it.
    a.str("a").str("c").f64(16384 + 9).op(CloneSprite);
    traceCall(a, "c", "getDepth");
    // What the timeline placed stays; swapped down, a script clip stays too.
    call(a, "placed", "removeMovieClip");
    a.str("placed").op(GetVariable).trace();
    a.str("placed").op(GetVariable).f64(1).str("a").op(GetVariable).str("swapDepths").op(CallMethod).op(Pop);
    call(a, "a", "removeMovieClip");
    traceCall(a, "a", "getDepth");
    traceCall(a, "this", "getInstanceAtDepth", {5.0});
    call(a, "b", "removeMovieClip");
    a.str("b").op(GetVariable).op(TypeOf).trace();
    a.str("c").op(RemoveSprite);
    a.str("c").op(GetVariable).op(TypeOf).trace();
    add(tags, doAction(a));
    add(tags, showFrame());
    EXPECT_EQ(play(tags, 1), "-16383\n5\n6\n/b\n9\n_level0.placed\n-16383\n_level0.placed\nundefined\nundefined\n");
}

TEST(ClipScripts, RegisteredClassesAndInitObjects)
{
    Asm::Bytes tags = exportedBox();
    Asm ctor;
    ctor.str("ctor ").str("this").op(GetVariable).str("speed").op(GetMember).op(Add2).trace();
    Asm onLoad;
    onLoad.str("onLoad ").str("this").op(GetVariable).str("_name").op(GetMember).op(Add2).trace();
    Asm a;
    a.function("Ball", {}, ctor);
    a.str("Ball").op(GetVariable).str("prototype").op(GetMember).str("onLoad").function("", {}, onLoad).op(SetMember);
    a.str("Ball").op(GetVariable).str("box").f64(2).str("Object").op(GetVariable).str("registerClass")
        .op(CallMethod).trace();
    // var m = attachMovie("box", "b1", 1, {speed: 3});
    a.str("m").str("speed").f64(3).f64(1).op(InitObject).f64(1).str("b1").str("box").f64(4);
    a.str("this").op(GetVariable).str("attachMovie").op(CallMethod).op(SetVariable);
    a.str("m").op(GetVariable).str("Ball").op(GetVariable).op(InstanceOf).trace();
    a.traceStr("after");
    add(tags, doAction(a));
    add(tags, showFrame());
    // The timeline's instances of the symbol get the class too.
    add(tags, place(1, 2, "t"));
    add(tags, showFrame());
    EXPECT_EQ(play(tags, 2), "true\nctor 3\ntrue\nafter\nonLoad b1\nctor undefined\nonLoad t\n");
}

TEST(ClipScripts, DuplicatesOfScriptMadeClipsTakeTransformsAndInitMembersNotVariables)
{
    EXPECT_EQ(runSource(R"(
        var a = createEmptyMovieClip("a", 5);
        a._x = 10; a._yscale = 50; a._alpha = 50; a.v = 1;
        var d = a.duplicateMovieClip("d", 7, {foo: 3});
        trace(d + " " + d.foo + " " + d._x + " " + d._yscale + " " + d._alpha + " " + d.v + " " + d.getDepth());
        duplicateMovieClip(a, "e", 8);
        trace(e._x + " " + e.foo);
    )"),
              "_level0.d 3 10 50 50 undefined 7\n10 undefined\n");
}

TEST(ClipScripts, ReferencesToARemovedClipLapseAndAnswerToTheNextClipOfItsName)
{
    // A removed clip reads as the empty text of type "movieclip"; one with an
    // unload handler stays reachable until the handler has run.
    EXPECT_EQ(runSource(R"(
        var mc = createEmptyMovieClip("mc", 1);
        var held = createEmptyMovieClip("held", 2);
        held.onUnload = function () { trace("unload " + this); };
        mc.removeMovieClip(); held.removeMovieClip();
        trace(mc); trace(typeof mc + " " + mc._x + " [" + mc + "]");
        // A removed text field keeps the type of what it was.
        createTextField("field", 4, 0, 0, 10, 10);
        var field = this.field; field.removeTextField();
        trace(typeof field + " [" + field + "]");
        trace(held);
        #frame
        trace(held); trace(typeof held);
        createEmptyMovieClip("mc", 3)._x = 7;
        trace(mc._x + " " + mc.getDepth());
        stop();
    )", 8, 2),
              "\nmovieclip undefined []\nobject []\n_level0.held\nunload _level0.held\n\nmovieclip\n7 3\n");
}

TEST(ClipScripts, UnloadEventsComeBeforeTheFrameAndRemovalByScript)
{
    Asm::Bytes tags = spriteOf(1, {{}});
    add(tags, place(1, 1, "kid", {{Unload, Asm().traceStr("unload kid")}}));
    Asm made;
    call(made, "this", "createEmptyMovieClip", {"made", 3.0});
    made.str("made").op(GetVariable).str("onUnload").function("", {}, Asm().traceStr("unload made")).op(SetMember);
    call(made, "made", "removeMovieClip");
    made.traceStr("removed");
    add(tags, doAction(made));
    add(tags, showFrame());
    add(tags, removeAt(1));
    add(tags, doAction(Asm().traceStr("frame 2")));
    add(tags, showFrame());
    EXPECT_EQ(play(tags, 2), "removed\nunload made\nunload kid\nframe 2\n");
}

TEST(ClipScripts, ScriptMovedClipsLeaveTheTimelineAndGoingBackKeepsScriptClips)
{
    Asm::Bytes tags = spriteOf(1, {{}});
    add(tags, place(1, 1, "moved"));
    add(tags, place(1, 2, "follows"));
    Asm first;
    first.traceStr("frame 1");
    first.str("done").op(GetVariable).branchIf("skip");
    first.str("done").boolean(true).op(SetVariable);
    setMember(first, "moved", "_x", 50);
    call(first, "this", "createEmptyMovieClip", {"made", 10.0});
    first.label("skip");
    add(tags, doAction(first));
    add(tags, showFrame());
    add(tags, moveTo(1, Matrix::translation(2000, 0)));
    add(tags, moveTo(2, Matrix::translation(2000, 0)));
    add(tags, place(1, 3, "late"));
    Asm second;
    traceMember(second, "moved", "_x");
    traceMember(second, "follows", "_x");
    call(second, "this", "gotoAndStop", {1.0});
    second.str("late").op(GetVariable).op(TypeOf).trace();
    second.str("made").op(GetVariable).trace();
    traceMember(second, "follows", "_x");
    add(tags, doAction(second));
    add(tags, showFrame());
    EXPECT_EQ(play(tags, 3), "frame 1\n50\n100\nundefined\n_level0.made\n0\nframe 1\n");
}

TEST(ClipScripts, PointsHitTestsAndVisibility)
{
    Asm a;
    call(a, "this", "createEmptyMovieClip", {"kid", 1.0});
    setMember(a, "kid", "_x", 100);
    setMember(a, "kid", "_y", 50);
    call(a, "kid", "beginFill", {0.0});
    call(a, "kid", "moveTo", {0.0, 0.0});
    call(a, "kid", "lineTo", {10.0, 0.0});
    call(a, "kid", "lineTo", {0.0, 10.0});
    call(a, "kid", "endFill");
    traceCall(a, "kid", "hitTest", {102.0, 52.0, 1.0});
    // Inside the bounding box but off the triangle.
    traceCall(a, "kid", "hitTest", {108.0, 58.0, 1.0});
    traceCall(a, "kid", "hitTest", {108.0, 58.0});
    traceCall(a, "kid", "hitTest", {95.0, 52.0});
    a.str("p").str("x").f64(1).str("y").f64(2).f64(2).op(InitObject).op(SetVariable);
    a.str("p").op(GetVariable).f64(1).str("kid").op(GetVariable).str("localToGlobal").op(CallMethod).op(Pop);
    a.str("p").op(GetVariable).str("x").op(GetMember).str(",").op(Add2);
    a.str("p").op(GetVariable).str("y").op(GetMember).op(Add2).trace();
    traceMember(a, "kid", "_visible");
    // Alpha keeps 256 steps: 20 % is 51 of them.
    for (double alpha : {20.0, 89.84375 - 10, 12800.0}) {
        setMember(a, "kid", "_alpha", alpha);
        traceMember(a, "kid", "_alpha");
    }
    EXPECT_EQ(run(a), "true\nfalse\ntrue\nfalse\n101,52\ntrue\n19.921875\n79.6875\n-12800\n");
}

TEST(ClipScripts, ScaleAndRotationReadBackAsSet)
{
    Asm a;
    call(a, "this", "createEmptyMovieClip", {"kid", 1.0});
    call(a, "kid", "beginFill", {0.0});
    call(a, "kid", "moveTo", {0.0, 0.0});
    call(a, "kid", "lineTo", {10.0, 0.0});
    call(a, "kid", "lineTo", {10.0, 20.0});
    call(a, "kid", "endFill");
    setMember(a, "kid", "_xscale", -50);
    traceMember(a, "kid", "_xscale");
    traceMember(a, "kid", "_width");
    for (double degrees : {370.0, -190.0}) {
        setMember(a, "kid", "_rotation", degrees);
        traceMember(a, "kid", "_rotation");
    }
    traceMember(a, "kid", "_xscale");
    setMember(a, "kid", "_rotation", 0);
    setMember(a, "kid", "_height", 40);
    traceMember(a, "kid", "_yscale");
    EXPECT_EQ(run(a), "-50\n5\n10\n170\n-50\n200\n");
}

} // namespace
} // namespace lumbra::movie::test
