// Watchpoints (Object.watch) on objects and on clip variables, whichever way
// the assignment reaches them, and the names that with, tellTarget and
// functions resolve and assign. Expected texts follow the language
// reference's descriptions of watch, unwatch, with and tellTarget.
#include <gtest/gtest.h>

#include "SourceSupport.h"

namespace lumbra::movie::test {
namespace {

TEST(Watchpoints, ObjectsFollowTheReferenceExample)
{
    // The reference's example: deleting the property keeps the watchpoint.
    EXPECT_EQ(runSource(R"(
        var o = {p: 1};
        trace(o.watch("p", function (id, oldval, newval) {
            trace("o." + id + " changed from " + oldval + " to " + newval);
            return newval;
        }));
        o.p = 2; o.p = 3; delete o.p; o.p = 4;
        trace(o.unwatch("p"));
        o.p = 5;
        trace(o.p + " " + o.unwatch("p") + " " + o.watch("q") + " " + o.watch("q", 5) + " " + o.watch());
        var twice = {};
        twice.watch("n", function (id, was, now) { return "first"; });
        twice.watch("n", function (id, was, now, data) { return data + now; }, "second:");
        twice.n = 1;
        trace(twice.n);
    )", 7),
              "true\no.p changed from 1 to 2\no.p changed from 2 to 3\no.p changed from undefined to 4\ntrue\n"
              "5 false false false false\nsecond:1\n");
}

TEST(Watchpoints, ClipVariablesSeeEveryFormOfAssignment)
{
    EXPECT_EQ(runSource(R"(
        _root.createEmptyMovieClip("mc", 1);
        mc.v = 1;
        trace(mc.watch("v", function (n, was, now, data) {
            trace(data + " " + n + " " + was + " -> " + now);
            return now * 10;
        }, "mc"));
        mc.v = 2; trace(mc.v);
        set("mc.v", 3); trace(mc.v);
        set("/mc:v", 4); trace(mc.v);
        with (mc) { v = 5; } trace(mc.v);
        tellTarget ("mc") { v = 6; } trace(mc.v);
        mc._x = 7; trace(mc._x);
        trace(mc.unwatch("v") + " " + mc.unwatch("v"));
        mc.v = 8; trace(mc.v);
        this.watch("t", function (n, was, now) { trace("root " + n + " " + was + " " + now); return now; });
        t = 1; _root.t = 2; var t = 3; _level0.T = 4;
    )", 6),
              "true\nmc v 1 -> 2\n20\nmc v 20 -> 3\n30\nmc v 30 -> 4\n40\nmc v 40 -> 5\n50\nmc v 50 -> 6\n60\n7\n"
              "true false\n8\nroot t  1\nroot t 1 2\nroot t 2 3\nroot T 3 4\n");
}

TEST(Watchpoints, RecursionPrototypesAndAccessors)
{
    // The callback's own assignment to the name is stored without a second
    // call; a watchpoint on a prototype does not see its instances'
    // assignments; an accessor's getter gives the old value and its setter
    // receives what the callback returns.
    EXPECT_EQ(runSource(R"(
        var guard = {};
        guard.watch("x", function (n, was, now) { this.x = now + 1; trace("inside " + this.x); return now + 100; });
        guard.x = 1;
        trace(guard.x);
        var base = {};
        base.watch("z", function (n, was, now) { trace("base " + now); return now; });
        var child = {};
        child.__proto__ = base;
        child.z = 1;
        base.z = 2;
        var acc = {};
        acc.addProperty("g", function () { return "got"; }, function (v) { trace("set " + v); });
        acc.watch("g", function (n, was, now) { trace("watch " + was + " " + now); return now + "!"; });
        acc.g = "x";
        var stop = {};
        stop.watch("s", function () { return undefined; });
        stop.s = 9;
        trace(typeof stop.s + " " + stop.hasOwnProperty("s"));
    )", 7),
              "inside 2\n101\nbase 2\nwatch got x\nset x!\nundefined true\n");
}

TEST(Scopes, WithAndTellTargetAssignToTheClipThatHasTheName)
{
    const char* source = R"(
        _root.createEmptyMovieClip("mc", 1);
        mc.v = "old";
        var outer = "root";
        with (mc) { v = "with"; _x = 20; outer = "changed"; fresh = 1; }
        trace(mc.v + " " + mc._x + " " + outer + " " + typeof mc.fresh + " " + fresh);
        tellTarget ("mc") { v = "told"; fresh2 = 2; }
        trace(mc.v + " " + mc.fresh2 + " " + typeof fresh2);
        var o = {k: 1};
        with (o) { k = 2; other = 3; }
        trace(o.k + " " + typeof o.other + " " + other);
    )";
    // tellTarget moves the timeline, so a new name lands on the clip.
    const char* expected = "with 20 changed undefined 1\ntold 2 undefined\n2 undefined 3\n";
    EXPECT_EQ(runSource(source, 5), expected);
    EXPECT_EQ(runSource(source, 7), expected);
}

TEST(Scopes, FunctionsSeeTheTimelineThatDefinedThem)
{
    // A bare name inside a function is the defining timeline's, whoever
    // calls it; `this` is the object it was called on.
    const char* source = R"(
        _x = 10;
        var top = "T";
        function show() { trace(_x + " " + top + " " + this._x + " " + this.top); }
        _root.createEmptyMovieClip("mc", 1);
        mc._x = 50;
        mc.top = "M";
        mc.show = show;
        mc.show();
        show();
        mc.onEnterFrame = function () { trace(_x + " " + top + " " + this); delete this.onEnterFrame; };
        function counter() { var n = 0; return function () { return ++n + top; }; }
        var next = counter();
        next();
        trace(next());
    )";
    EXPECT_EQ(runSource(source, 6, 2), "10 T 50 M\n10 T 10 T\n2T\n10 T _level0.mc\n");
    EXPECT_EQ(runSource(source, 8, 2), "10 T 50 M\n10 T 10 T\n2T\n10 T _level0.mc\n");
}

} // namespace
} // namespace lumbra::movie::test
