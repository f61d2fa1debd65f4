// setInterval, setTimeout and their clearing: a movie loops over two frames
// until a fifth of a second has passed, then reports what its timers did.
// Counts are checked against generous bounds, never exact timings.
#include "ScriptPhrases.h"
#include "SourceSupport.h"

#include <gtest/gtest.h>

namespace lumbra::movie::test {
namespace {

using namespace phrase;

Expr Timer() { return [](Asm& a) { a.op(0x34); }; }
Expr Increment(const char* name) { return Add(Var(name), N(1)); }
Expr AtLeast(Expr value, double n) { return [=](Asm& a) { N(n)(a); value(a); a.op(0x67).op(0x12); }; } // !(n > value)

TEST(BuiltinTimers, IntervalsTimeoutsAndClearing)
{
    Asm counter; // function (a, b) { count++; args = a + b; }
    assign(counter, "count", Increment("count"));
    assign(counter, "args", Add(Var("a"), Var("b")));
    Asm once; // function () { fired++; }
    assign(once, "fired", Increment("fired"));
    Asm tick; // function () { this.hits++; }
    setMember(tick, Var("this"), "hits", Add(Member(Var("this"), "hits"), N(1)));
    Asm never;
    assign(never, "never", Increment("never"));

    Asm setup;
    assign(setup, "start", Timer());
    for (const char* name : {"count", "fired", "never"})
        assign(setup, name, N(0));
    assign(setup, "box", Object({{"hits", N(0)}, {"tick", Function({}, tick)}}));
    assign(setup, "id1", Call("setInterval", {Function({"a", "b"}, counter), N(10), S("x"), S("y")}));
    assign(setup, "id2", Call("setTimeout", {Function({}, once), N(20)}));
    assign(setup, "id3", Call("setInterval", {Var("box"), S("tick"), N(10)}));
    assign(setup, "id4", Call("setInterval", {Function({}, never), N(10)}));
    discard(setup, Call("clearInterval", {Var("id4")}));
    trace(setup, Add(Add(Add(Var("id1"), S(",")), Add(Var("id2"), S(","))), Var("id3")));
    trace(setup, Call("setInterval"));
    trace(setup, Call("setInterval", {Var("box")}));

    Asm check;
    Sub(Timer(), Var("start"))(check);
    check.f64(200).op(0x48).branchIf("wait"); // elapsed < 200
    trace(check, AtLeast(Var("count"), 3));
    trace(check, Var("args"));
    trace(check, Var("fired"));
    trace(check, AtLeast(Member(Var("box"), "hits"), 3));
    trace(check, Var("never"));
    check.record(0x83, {'F', 'S', 'C', 'o', 'm', 'm', 'a', 'n', 'd', ':', 'q', 'u', 'i', 't', 0, 0});
    check.jump("end");
    check.label("wait").record(0x81, {1, 0}).op(0x06); // gotoAndPlay(2)
    check.label("end");

    auto movie = movieOf(8, {setup.bytes(), Asm().bytes(), check.bytes()});
    EXPECT_EQ(playOutput(movie, 50'000'000),
              lines({"1,2,3", "undefined", "undefined", "true", "xy", "1", "true", "0"}));
}

// Headless play counts time in frames (12 a second here): getTimer and the
// timers give the same output on every run.
TEST(BuiltinTimers, FrameClockDrivesGetTimerAndIntervals)
{
    std::string out = runSource(R"(
trace("t " + getTimer());
var n = 0;
// Two frame periods: every second frame, cleared from inside on its third call.
var id = setInterval(function (a, b) {
    n++;
    trace("every other " + n + " " + a + b + " at " + getTimer());
    if (n == 3) clearInterval(id);
}, 1000 / 6, "x", "y");
var box = {hits: 0, hit: function (k) { this.hits += k; trace("method " + this.hits + " at " + getTimer()); }};
var boxId = setInterval(box, "hit", 250, 2);
setTimeout(function () { trace("timeout at " + getTimer()); }, 100);
// Shorter than a frame: called once for each time it came due.
var fast = 0;
var fastId = setInterval(function () { fast++; }, 20);
this.onEnterFrame = function () {
    trace("frame " + _currentframe + " t " + getTimer() + " fast " + fast);
    if (_currentframe == 4) clearInterval(fastId);
    if (_currentframe == 8) { clearInterval(boxId); fscommand("quit"); }
};
#frame
#frame
#frame
#frame
#frame
#frame
#frame
#frame
)",
                                8, 12);
    // Each frame: its onEnterFrame, then the timers in the order they came due
    // (the same time: the older first).
    EXPECT_EQ(out, "t 0\n"
                   "frame 2 t 83 fast 0\n"
                   "frame 3 t 166 fast 4\n"
                   "timeout at 166\n"
                   "every other 1 xy at 166\n"
                   "frame 4 t 250 fast 8\n"
                   "method 2 at 250\n"
                   "frame 5 t 333 fast 8\n"
                   "every other 2 xy at 333\n"
                   "frame 6 t 416 fast 8\n"
                   "frame 7 t 500 fast 8\n"
                   "every other 3 xy at 500\n"
                   "method 4 at 500\n"
                   "frame 8 t 583 fast 8\n");
}

} // namespace
} // namespace lumbra::movie::test
