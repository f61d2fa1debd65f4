// Object: the root of every prototype chain.
#include "control/movie/actions/Machine.h"

#include "control/movie/DisplayObject.h"

namespace lumbra::movie {

namespace {

// Object(value): objects as they are, texts, numbers and booleans in their
// wrapper class, anything else a new plain object.
Value construct(NativeCall& c)
{
    Value v = c.arg(0);
    if (v.isReference())
        return v;
    const Prototypes& protos = c.machine.prototypes();
    ActionObject* wrapper = v.isString() ? protos.string
                            : v.isNumber() ? protos.number
                            : v.type() == Value::Type::Boolean ? protos.boolean : nullptr;
    if (wrapper)
        return c.machine.construct(c.machine.get(Value(wrapper), u"constructor"), std::span<const Value>(&v, 1));
    return c.constructing ? c.thisValue : Value(c.machine.newObject());
}

Value toString(NativeCall& c)
{
    ActionObject* self = c.self();
    return self && self->kind == ActionObject::Kind::Function ? u"[type Function]" : u"[object Object]";
}

Value valueOf(NativeCall& c) { return c.thisValue; }

Value hasOwnProperty(NativeCall& c)
{
    ActionObject* self = c.self();
    if (!self)
        return c.thisValue.isReference() && c.machine.has(c.thisValue, c.string(0));
    std::u16string name = c.string(0);
    return self->find(name) != nullptr || (self->kind == ActionObject::Kind::Array && Machine::hasElement(*self, name));
}

Value isPrototypeOf(NativeCall& c)
{
    ActionObject* self = c.self();
    ActionObject* p = c.machine.prototypeOf(c.arg(0));
    for (int i = 0; p && i < 256; ++i, p = p->proto)
        if (p == self)
            return true;
    return false;
}

Value isPropertyEnumerable(NativeCall& c)
{
    ActionObject* self = c.self();
    if (!self)
        return false;
    std::u16string name = c.string(0);
    if (self->kind == ActionObject::Kind::Array && c.machine.hasElement(*self, name))
        return true;
    const auto* p = self->find(name);
    return p && !(p->flags & DontEnum);
}

bool isFunction(const Value& v)
{
    ActionObject* o = v.toObject();
    return o && o->kind == ActionObject::Kind::Function;
}

// addProperty(name, getter, setter): reads and writes of the name call them.
// The setter is a function, or null for a read-only property; anything else
// fails, as an empty name or a getter that is no function does.
Value addProperty(NativeCall& c)
{
    ActionObject* self = c.self();
    std::u16string name = c.string(0);
    if (!self || name.empty() || !isFunction(c.arg(1)) || !(isFunction(c.arg(2)) || c.arg(2).type() == Value::Type::Null))
        return false;
    ActionObject* pair = c.machine.newArray({c.arg(1), c.arg(2)});
    self->remove(name);
    self->set(name, Value(pair), Accessor);
    return true;
}

// The watchpoints of an object or of a clip's variables, and the one on a name.
struct WatchList {
    Watchpoints* list = nullptr;
    Watchpoint* on = nullptr;
};

WatchList watchesOf(const Value& target, std::u16string_view name)
{
    if (ActionObject* object = target.toObject())
        return {&object->watches, object->watchOf(name)};
    if (auto clip = target.toClip())
        return {&clip->watches, clip->watchOf(name)};
    return {};
}

// watch(name, callback, data): assignments to the name call
// callback(name, old, new, data), whose result is what gets stored. A second
// watch of the name replaces the first.
Value watch(NativeCall& c)
{
    ActionObject* callback = c.arg(1).toObject();
    if (c.args.size() < 2 || !callback || callback->kind != ActionObject::Kind::Function)
        return false;
    std::u16string name = c.string(0);
    auto [list, existing] = watchesOf(c.thisValue, name);
    if (!list)
        return false;
    if (existing) {
        existing->callback = c.arg(1);
        existing->data = c.arg(2);
    } else {
        list->push_back({name, c.arg(1), c.arg(2)});
    }
    return true;
}

Value unwatch(NativeCall& c)
{
    auto [list, existing] = watchesOf(c.thisValue, c.string(0));
    if (!existing)
        return false;
    list->erase(list->begin() + (existing - list->data()));
    return true;
}

} // namespace

void installObject(Machine& m)
{
    ActionObject* proto = m.prototypes().object;
    m.defineClass(u"Object", construct, proto);
    m.method(proto, u"toString", toString);
    m.method(proto, u"toLocaleString", toString);
    m.method(proto, u"valueOf", valueOf);
    m.method(proto, u"hasOwnProperty", hasOwnProperty);
    m.method(proto, u"isPrototypeOf", isPrototypeOf);
    m.method(proto, u"isPropertyEnumerable", isPropertyEnumerable);
    m.method(proto, u"addProperty", addProperty);
    m.method(proto, u"watch", watch);
    m.method(proto, u"unwatch", unwatch);
}

} // namespace lumbra::movie
