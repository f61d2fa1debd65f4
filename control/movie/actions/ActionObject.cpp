#include "control/movie/actions/ActionObject.h"

#include "control/movie/TextCodec.h"

#include <algorithm>

namespace lumbra::movie {

std::u16string ActionObject::key(std::u16string_view name) const
{
    return version_ >= 7 ? std::u16string(name) : foldCase(name);
}

bool ActionObject::visible(const Property& p) const
{
    unsigned f = p.flags;
    return !((f & OnlyFrom6 && version_ < 6) || (f & NotIn6 && version_ == 6) || (f & OnlyFrom7 && version_ < 7) ||
             (f & OnlyFrom8 && version_ < 8) || (f & OnlyFrom9 && version_ < 9));
}

const ActionObject::Property* ActionObject::find(std::u16string_view name) const
{
    auto it = properties_.find(key(name));
    return it == properties_.end() || !visible(it->second) ? nullptr : &it->second;
}

ActionObject::Property* ActionObject::find(std::u16string_view name)
{
    auto it = properties_.find(key(name));
    return it == properties_.end() || !visible(it->second) ? nullptr : &it->second;
}

ActionObject::Property* ActionObject::findAny(std::u16string_view name)
{
    auto it = properties_.find(key(name));
    return it == properties_.end() ? nullptr : &it->second;
}

ActionObject::Watch* ActionObject::watchOf(std::u16string_view name)
{
    std::u16string k = key(name);
    for (auto& watch : watches)
        if (key(watch.name) == k)
            return &watch;
    return nullptr;
}

bool ActionObject::set(std::u16string_view name, Value value, unsigned flags)
{
    auto [it, added] = properties_.try_emplace(key(name));
    Property& p = it->second;
    if (added || !visible(p)) {
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
    if (it == properties_.end() || (it->second.flags & DontDelete) || !visible(it->second))
        return false;
    properties_.erase(it);
    return true;
}

std::vector<std::u16string> ActionObject::names() const
{
    std::vector<const Property*> shown;
    for (const auto& [k, p] : properties_)
        if (!(p.flags & DontEnum) && visible(p))
            shown.push_back(&p);
    std::ranges::sort(shown, [](const Property* a, const Property* b) { return a->order > b->order; });
    std::vector<std::u16string> out;
    for (const Property* p : shown)
        out.push_back(p->name);
    return out;
}

} // namespace lumbra::movie
