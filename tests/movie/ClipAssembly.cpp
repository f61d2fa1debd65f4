#include "ClipAssembly.h"

#include "control/movie/BitWriter.h"

namespace lumbra::movie::test {

Asm& getVar(Asm& a, std::string_view name) { return a.str(name).op(0x1C); }

Asm& callMethod(Asm& a, std::string_view object, std::string_view method, int argc)
{
    a.i32(argc);
    getVar(a, object);
    return a.str(method).op(0x52);
}

Asm& traceCall(Asm& a, std::string_view prefix, std::string_view object, std::string_view method)
{
    a.str(prefix);
    callMethod(a, object, method, 0);
    return a.op(0x47).trace();
}

Asm& setHandler(Asm& a, std::string_view object, std::string_view member, const Asm& body)
{
    getVar(a, object);
    a.str(member);
    a.function("", {}, body);
    return a.op(0x4F);
}

Asm traced(std::string_view text)
{
    Asm a;
    a.traceStr(text);
    return a;
}

std::vector<std::uint8_t> placeObject2(const Place& p)
{
    BitWriter b;
    b.u8(0x02 | 0x04 | (p.ratio ? 0x10 : 0) | (p.name.empty() ? 0 : 0x20) | (p.events.empty() ? 0 : 0x80));
    b.u16(unsigned(p.depth));
    b.u16(p.character);
    Matrix m;
    m.tx = p.x * 20;
    m.ty = p.y * 20;
    b.matrix(m);
    if (p.ratio)
        b.u16(*p.ratio);
    if (!p.name.empty())
        b.cstring(p.name);
    if (!p.events.empty()) {
        std::uint32_t all = 0;
        for (const auto& e : p.events)
            all |= e.events;
        b.u16(0);
        b.u32(all);
        for (const auto& e : p.events) {
            auto actions = actionsOf(e.code);
            bool keyed = e.events & kKeyPress;
            b.u32(e.events);
            b.u32(std::uint32_t(actions.size() + (keyed ? 1 : 0))); // the key code counts
            if (keyed)
                b.u8(e.key);
            b.bytes(actions);
        }
        b.u32(0);
    }
    return b.take();
}

} // namespace lumbra::movie::test
