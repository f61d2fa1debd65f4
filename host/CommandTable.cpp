#include "host/CommandTable.h"

#include "script/runtime/NameHash.h"

#include <algorithm>

namespace lumbra::host {

namespace {

constexpr int kHashStep = 191;

} // namespace

int CommandTable::nextIdentifier(std::string_view name) const
{
    for (int id = int(orvet::nameHash(name) % kHashStep) + kFirstScriptCommand; id <= kLastHashedCommand;
         id += kHashStep)
        if (!find(id))
            return id;
    for (int id = kFirstOverflowCommand; id <= kLastScriptCommand; ++id)
        if (!find(id))
            return id;
    return -1;
}

int CommandTable::add(std::string name, std::unique_ptr<MenuIcon> icon)
{
    const int id = nextIdentifier(name);
    if (id < 0)
        return -1;
    buckets_[bucketOf(id)].push_back({id, std::move(name), std::move(icon)});
    ++size_;
    return id;
}

const CommandTable::Entry* CommandTable::find(int id) const
{
    if (!isScriptCommandId(id))
        return nullptr;
    const auto& bucket = buckets_[bucketOf(id)];
    auto found = std::ranges::find(bucket, id, &Entry::id);
    return found == bucket.end() ? nullptr : &*found;
}

void CommandTable::remove(int id)
{
    if (!isScriptCommandId(id))
        return;
    size_ -= std::erase_if(buckets_[bucketOf(id)], [id](const Entry& entry) { return entry.id == id; });
}

void CommandTable::clear()
{
    for (auto& bucket : buckets_)
        bucket.clear();
    size_ = 0;
}

} // namespace lumbra::host
