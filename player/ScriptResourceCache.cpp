#include "player/ScriptResourceCache.h"

#include "package/PackageResources.h"
#include "package/PlayerException.h"
#include "script/runtime/NameHash.h"

#include <windows.h>

namespace lumbra {

ScriptResourceCache::ScriptResourceCache(const ResourceSource& resources, ErrorReporter& reporter)
    : resources_(resources), reporter_(reporter)
{
}

ScriptResourceCache::~ScriptResourceCache()
{
    // Unlinked one by one: a long chain must not unwind recursively.
    for (auto& head : buckets_)
        while (head)
            head = std::move(head->next);
}

std::size_t ScriptResourceCache::bucketOf(std::string_view name)
{
    return orvet::nameHash(name) % kBuckets;
}

ScriptResourceCache::Entry* ScriptResourceCache::lookup(std::string_view name) const
{
    // The hash sees the bytes as they are: a name in other letters hashes
    // elsewhere and gets an entry of its own, as the resource lookup finds
    // the same script whatever the case.
    const std::string key(name);
    for (Entry* entry = buckets_[bucketOf(name)].get(); entry; entry = entry->next.get())
        if (lstrcmpiA(entry->name.c_str(), key.c_str()) == 0)
            return entry;
    return nullptr;
}

ScriptResourceCache::Entry* ScriptResourceCache::find(std::string_view name)
{
    if (Entry* entry = lookup(name))
        return entry;
    std::optional<Bytes> code;
    try {
        code = loadPackedResource(resources_, scriptResourceType, name, reporter_);
    } catch (const PlayerException&) {
        return nullptr; // no such script
    }
    if (!code)
        return nullptr;
    auto entry = std::make_unique<Entry>();
    entry->name = std::string(name);
    entry->code = std::move(*code);
    auto& head = buckets_[bucketOf(name)];
    entry->next = std::move(head);
    head = std::move(entry);
    return head.get();
}

} // namespace lumbra
