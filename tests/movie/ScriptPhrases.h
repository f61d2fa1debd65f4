// Expressions of the action language as small composable pieces of assembly,
// so that tests of the built-in classes read close to the script they stand
// for: trace(call("parseInt", {S("0x1F"), N(16)})) and so on.
#pragma once

#include "ActionAssembler.h"

#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

namespace lumbra::movie::test::phrase {

// Code that leaves one value on the stack.
using Expr = std::function<void(Asm&)>;

inline Expr N(double n) { return [n](Asm& a) { a.f64(n); }; }
inline Expr S(std::string s) { return [s](Asm& a) { a.str(s); }; }
inline Expr B(bool b) { return [b](Asm& a) { a.boolean(b); }; }
inline Expr Undef() { return [](Asm& a) { a.undef(); }; }
inline Expr Null() { return [](Asm& a) { a.null(); }; }
inline Expr Var(std::string name) { return [name](Asm& a) { a.str(name).op(0x1C); }; }
inline Expr Member(Expr object, std::string name)
{
    return [=](Asm& a) { object(a); a.str(name).op(0x4E); };
}

namespace detail {
inline void pushArgs(Asm& a, const std::vector<Expr>& args)
{
    for (auto it = args.rbegin(); it != args.rend(); ++it)
        (*it)(a);
    a.f64(double(args.size()));
}
} // namespace detail

// name(args...)
inline Expr Call(std::string name, std::vector<Expr> args = {})
{
    return [=](Asm& a) { detail::pushArgs(a, args); a.str(name).op(0x3D); };
}
// object.name(args...)
inline Expr Method(Expr object, std::string name, std::vector<Expr> args = {})
{
    return [=](Asm& a) { detail::pushArgs(a, args); object(a); a.str(name).op(0x52); };
}
// new name(args...)
inline Expr New(std::string name, std::vector<Expr> args = {})
{
    return [=](Asm& a) { detail::pushArgs(a, args); a.str(name).op(0x40); };
}
// [elements...]
inline Expr Array(std::vector<Expr> elements)
{
    return [=](Asm& a) { detail::pushArgs(a, elements); a.op(0x42); };
}
// {name: value, ...}
inline Expr Object(std::vector<std::pair<std::string, Expr>> members)
{
    return [=](Asm& a) {
        for (const auto& [name, value] : members) {
            a.str(name);
            value(a);
        }
        a.f64(double(members.size())).op(0x43);
    };
}
// An anonymous function.
inline Expr Function(std::vector<std::string> params, Asm body)
{
    return [=](Asm& a) { a.function("", params, body); };
}
// a + b (Add2), a - b
inline Expr Add(Expr x, Expr y) { return [=](Asm& a) { x(a); y(a); a.op(0x47); }; }
inline Expr Sub(Expr x, Expr y) { return [=](Asm& a) { x(a); y(a); a.op(0x0B); }; }
inline Expr Div(Expr x, Expr y) { return [=](Asm& a) { x(a); y(a); a.op(0x0D); }; }

// Statements.
inline Asm& trace(Asm& a, const Expr& e) { e(a); return a.trace(); }
inline Asm& assign(Asm& a, std::string name, const Expr& e) { a.str(name); e(a); return a.op(0x1D); }
inline Asm& setMember(Asm& a, const Expr& object, std::string name, const Expr& e)
{
    object(a);
    a.str(name);
    e(a);
    return a.op(0x4F);
}
inline Asm& discard(Asm& a, const Expr& e) { e(a); return a.op(0x17); }
inline Asm& ret(Asm& a, const Expr& e) { e(a); return a.op(0x3E); }

// Traces each expression in one frame of the given version.
inline std::string traced(std::initializer_list<Expr> exprs, int version = 8)
{
    Asm a;
    for (const auto& e : exprs)
        trace(a, e);
    return run(a, version);
}

inline std::string lines(std::initializer_list<const char*> texts)
{
    std::string out;
    for (const char* t : texts)
        out += std::string(t) + "\n";
    return out;
}

} // namespace lumbra::movie::test::phrase
