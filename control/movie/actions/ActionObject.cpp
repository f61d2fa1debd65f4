#include "control/movie/actions/ActionObject.h"

#include "control/movie/TextCodec.h"

#include <algorithm>

namespace lumbra::movie {

std::u16string ActionObject::key(std::u16string_view name) const
{
    return caseSensitive_ ? std::u16string(name) : foldCase(name);
}

const ActionObject::Property* ActionObject::find(std::u16string_view name) const
{
    auto it = properties_.find(key(name));
    return it == properties_.end() ? nullptr : &it->second;
}

ActionObject::Property* ActionObject::find(std::u16string_view name)
{
    auto it = properties_.find(key(name));
    return it == properties_.end() ? nullptr : &it->second;
}

bool ActionObject::set(std::u16string_view name, Value value, unsigned flags)
{
    auto [it, added] = properties_.try_emplace(key(name));
    Property& p = it->second;
    if (added) {
        p.name = std::u16string(name);
        p.flags = flags;
        p.order = nextOrder_++;
    } else if (p.flags & ReadOnly) {
        return false;
    }
    p.value = std::move(value);
    return true;
}

bool ActionObject::remove(std::u16string_view name)
{
    auto it = properties_.find(key(name));
    if (it == properties_.end() || (it->second.flags & DontDelete))
        return false;
    properties_.erase(it);
    return true;
}

std::vector<std::u16string> ActionObject::names() const
{
    std::vector<const Property*> visible;
    for (const auto& [k, p] : properties_)
        if (!(p.flags & DontEnum))
            visible.push_back(&p);
    std::ranges::sort(visible, [](const Property* a, const Property* b) { return a->order > b->order; });
    std::vector<std::u16string> out;
    for (const Property* p : visible)
        out.push_back(p->name);
    return out;
}

} // namespace lumbra::movie
