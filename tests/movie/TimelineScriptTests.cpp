// Timeline events on hand-assembled tags: onClipEvent handlers of placements,
// DoInitAction, script handlers such as onEnterFrame, and the order of a
// placed clip's actions among its parent's.
#include "ActionAssembler.h"

#include <gtest/gtest.h>

namespace lumbra::movie::test {
namespace {

enum : unsigned { ShowFrame = 1, DoAction = 12, PlaceObject2 = 26, DefineSprite = 39, DoInitAction = 59 };
enum : std::uint32_t { Load = 0x1, EnterFrame = 0x2 };

void add(Asm::Bytes& to, const Asm::Bytes& from) { to.insert(to.end(), from.begin(), from.end()); }

void u16(Asm::Bytes& b, unsigned v)
{
    b.push_back(std::uint8_t(v));
    b.push_back(std::uint8_t(v >> 8));
}

void u32(Asm::Bytes& b, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        b.push_back(std::uint8_t(v >> (8 * i)));
}

Asm::Bytes doAction(const Asm& code) { return tagOf(DoAction, actionsOf(code)); }

// A sprite whose frames trace "<name> frame N".
Asm::Bytes sprite(unsigned id, int frames, const std::string& name)
{
    Asm::Bytes body;
    u16(body, id);
    u16(body, unsigned(frames));
    for (int f = 1; f <= frames; ++f) {
        add(body, doAction(Asm().traceStr(name + " frame " + std::to_string(f))));
        add(body, tagOf(ShowFrame, {}));
    }
    add(body, tagOf(0, {}));
    return tagOf(DefineSprite, body);
}

// PlaceObject2 of a character with a name and onClipEvent handlers (version 6 layout).
Asm::Bytes place(unsigned id, unsigned depth, const std::string& name,
                 const std::vector<std::pair<std::uint32_t, Asm>>& handlers)
{
    Asm::Bytes body{std::uint8_t(0x02 | 0x20 | (handlers.empty() ? 0 : 0x80))};
    u16(body, depth);
    u16(body, id);
    body.insert(body.end(), name.begin(), name.end());
    body.push_back(0);
    if (!handlers.empty()) {
        std::uint32_t all = 0;
        for (const auto& [events, code] : handlers)
            all |= events;
        u16(body, 0);
        u32(body, all);
        for (const auto& [events, code] : handlers) {
            Asm::Bytes actions = actionsOf(code);
            u32(body, events);
            u32(body, std::uint32_t(actions.size()));
            add(body, actions);
        }
        u32(body, 0);
    }
    return tagOf(PlaceObject2, body);
}

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

} // namespace
} // namespace lumbra::movie::test
