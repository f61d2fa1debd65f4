#include "TimelineAssembly.h"

#include "control/movie/BitWriter.h"

namespace lumbra::movie::test {

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

Asm::Bytes showFrame() { return tagOf(ShowFrame, {}); }

Asm::Bytes spriteOf(unsigned id, const std::vector<Asm::Bytes>& frames)
{
    Asm::Bytes body;
    u16(body, id);
    u16(body, unsigned(frames.size()));
    for (const auto& frame : frames) {
        add(body, frame);
        add(body, showFrame());
    }
    add(body, tagOf(0, {}));
    return tagOf(DefineSprite, body);
}

Asm::Bytes sprite(unsigned id, int frames, const std::string& name)
{
    std::vector<Asm::Bytes> bodies;
    for (int f = 1; f <= frames; ++f)
        bodies.push_back(doAction(Asm().traceStr(name + " frame " + std::to_string(f))));
    return spriteOf(id, bodies);
}

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

Asm::Bytes moveTo(unsigned depth, const Matrix& matrix)
{
    BitWriter w;
    w.u8(0x01 | 0x04);
    w.u16(depth);
    w.matrix(matrix);
    return tagOf(PlaceObject2, w.take());
}

Asm::Bytes removeAt(unsigned depth)
{
    Asm::Bytes body;
    u16(body, depth);
    return tagOf(RemoveObject2, body);
}

Asm::Bytes exportAs(unsigned id, const std::string& name)
{
    Asm::Bytes body;
    u16(body, 1);
    u16(body, id);
    body.insert(body.end(), name.begin(), name.end());
    body.push_back(0);
    return tagOf(ExportAssets, body);
}

Asm::Bytes initActions(unsigned id, const Asm& code)
{
    Asm::Bytes body;
    u16(body, id);
    add(body, actionsOf(code));
    return tagOf(DoInitAction, body);
}

Asm& call(Asm& a, const std::string& path, const std::string& method, const std::vector<Arg>& args, bool keep)
{
    for (auto it = args.rbegin(); it != args.rend(); ++it) {
        if (auto n = std::get_if<double>(&*it))
            a.f64(*n);
        else
            a.str(std::get<std::string>(*it));
    }
    a.f64(double(args.size())).str(path).op(GetVariable).str(method).op(CallMethod);
    return keep ? a : a.op(Pop);
}

Asm& traceMember(Asm& a, const std::string& path, const std::string& member)
{
    return a.str(path).op(GetVariable).str(member).op(GetMember).trace();
}

} // namespace lumbra::movie::test
