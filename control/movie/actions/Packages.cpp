#include "control/movie/actions/Packages.h"

namespace lumbra::movie {

namespace {

// Calls f(name) for each dot-separated part of `path`.
template <typename F> void eachPart(std::u16string_view path, F f)
{
    while (!path.empty()) {
        std::size_t dot = path.find(u'.');
        f(path.substr(0, dot));
        path = dot == std::u16string_view::npos ? std::u16string_view() : path.substr(dot + 1);
    }
}

} // namespace

ActionObject* packageObject(Machine& m, std::u16string_view path)
{
    ActionObject* at = m.global();
    eachPart(path, [&](std::u16string_view name) {
        const auto* own = at->findAny(name);
        ActionObject* next = own ? own->value.toObject() : nullptr;
        if (!next) {
            next = m.newObject();
            // Hidden from older movies, where `flash` is an ordinary name.
            at->set(name, Value(next), at == m.global() ? DontEnum | OnlyFrom8 : 0);
        }
        at = next;
    });
    return at;
}

Value lookUp(Machine& m, std::u16string_view path)
{
    Value at(m.global());
    eachPart(path, [&](std::u16string_view name) { at = at.isObject() ? m.get(at, name) : Value(); });
    return at;
}

Value newInstance(Machine& m, std::u16string_view path, std::span<const Value> args)
{
    return m.construct(lookUp(m, path), args);
}

} // namespace lumbra::movie
