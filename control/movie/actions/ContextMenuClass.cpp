// ContextMenu and ContextMenuItem (version 7 on): the right-click menu a
// movie gives a clip, button or text field through its `menu` property.
// Both keep their state in ordinary members (onSelect, builtInItems,
// customItems; caption, separatorBefore, enabled, visible), which the player
// reads when the user asks for the menu (ContextMenuInput.cpp).
#include "control/movie/ContextMenuItems.h"
#include "control/movie/actions/Construction.h"
#include "control/movie/actions/Packages.h"

namespace lumbra::movie {

namespace {

ActionObject* builtInItems(Machine& m, const Value& from)
{
    ActionObject* items = m.newObject();
    for (std::u16string_view name : kBuiltInMenuItems)
        items->set(name, from.isReference() ? m.get(from, name) : Value(true));
    return items;
}

// new ContextMenu(onSelect)
Value constructMenu(NativeCall& c)
{
    if (!setsUpThis(c))
        return {};
    ActionObject* self = c.self();
    if (!c.args.empty())
        self->set(u"onSelect", c.arg(0));
    self->set(u"customItems", Value(c.machine.newArray()));
    self->set(u"builtInItems", Value(builtInItems(c.machine, Value())));
    return {};
}

Value hideBuiltInItems(NativeCall& c)
{
    Value items = c.machine.get(c.thisValue, u"builtInItems");
    if (items.isReference())
        for (std::u16string_view name : kBuiltInMenuItems)
            c.machine.set(items, name, false);
    return {};
}

// A new menu with the same handler, the same built-in items shown and a
// copy of each custom item.
Value copyMenu(NativeCall& c)
{
    Machine& m = c.machine;
    Value copy = newInstance(m, u"ContextMenu");
    if (!c.thisValue.isReference() || !copy.isObject())
        return copy;
    m.set(copy, u"onSelect", m.get(c.thisValue, u"onSelect"));
    m.set(copy, u"builtInItems", Value(builtInItems(m, m.get(c.thisValue, u"builtInItems"))));
    std::vector<Value> items;
    if (ActionObject* custom = m.get(c.thisValue, u"customItems").toObject();
        custom && custom->kind == ActionObject::Kind::Array)
        for (const Value& item : std::vector<Value>(custom->elements))
            items.push_back(m.callMethod(item, u"copy", {}));
    m.set(copy, u"customItems", Value(m.newArray(std::move(items))));
    return copy;
}

void setItem(Machine& m, const Value& item, std::span<const Value> values)
{
    constexpr const char16_t* kMembers[] = {u"caption", u"onSelect", u"separatorBefore", u"enabled", u"visible"};
    for (std::size_t i = 0; i < std::size(kMembers); ++i)
        m.set(item, kMembers[i], values[i]);
}

// new ContextMenuItem(caption, onSelect, separatorBefore, enabled, visible):
// no separator, enabled and visible unless said otherwise.
Value constructItem(NativeCall& c)
{
    if (!setsUpThis(c))
        return {};
    auto flag = [&](std::size_t i, bool absent) { return i < c.args.size() ? Value(c.machine.toBoolean(c.arg(i))) : Value(absent); };
    const Value values[] = {Value(c.string(0)), c.arg(1), flag(2, false), flag(3, true), flag(4, true)};
    setItem(c.machine, c.thisValue, values);
    return {};
}

Value copyItem(NativeCall& c)
{
    Machine& m = c.machine;
    Value copy = newInstance(m, u"ContextMenuItem");
    if (!c.thisValue.isReference() || !copy.isObject())
        return copy;
    const Value values[] = {m.get(c.thisValue, u"caption"), m.get(c.thisValue, u"onSelect"),
                            m.get(c.thisValue, u"separatorBefore"), m.get(c.thisValue, u"enabled"),
                            m.get(c.thisValue, u"visible")};
    setItem(m, copy, values);
    return copy;
}

} // namespace

void installContextMenu(Machine& m)
{
    ActionObject* menu = m.newObject();
    m.global()->set(u"ContextMenu", Value(m.newFunction(constructMenu, menu)), DontEnum | OnlyFrom7);
    m.method(menu, u"hideBuiltInItems", hideBuiltInItems);
    m.method(menu, u"copy", copyMenu);
    ActionObject* item = m.newObject();
    m.global()->set(u"ContextMenuItem", Value(m.newFunction(constructItem, item)), DontEnum | OnlyFrom7);
    m.method(item, u"copy", copyItem);
}

} // namespace lumbra::movie
