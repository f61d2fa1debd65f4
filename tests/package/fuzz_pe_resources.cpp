// Hostile program files: the resource reader either reads or throws, and what
// it read is either written back so that it reads again entry for entry, or
// refused with PlayerException.
#include "package/PeResources.h"
#include "package/PlayerException.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

namespace {

bool sameKey(const lumbra::ResourceEntry& a, const lumbra::ResourceEntry& b)
{
    return a.type.sameAs(b.type) && a.name.sameAs(b.name) && a.language == b.language;
}

const lumbra::ResourceEntry* firstOf(const lumbra::ResourceTable& table, const lumbra::ResourceEntry& key)
{
    auto found = std::ranges::find_if(table.entries(), [&](const auto& entry) { return sameKey(entry, key); });
    return found == table.entries().end() ? nullptr : &*found;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    lumbra::ResourceTable table;
    try {
        table = lumbra::readPeResources({data, size});
    } catch (const lumbra::PlayerException&) {
        return 0;
    }
    table.put(lumbra::ResourceId::fromText("LUMBRA"), lumbra::ResourceId::fromText("ST"), {'S', 'M', 1, 0});
    try {
        auto rewritten = lumbra::writePeResources({data, size}, table);
        auto again = lumbra::readPeResources(rewritten);
        for (const lumbra::ResourceEntry& entry : table.entries()) {
            if (firstOf(table, entry) != &entry)
                continue; // a duplicate: the first one is written
            const lumbra::ResourceEntry* found = firstOf(again, entry);
            if (!found || found->data != entry.data)
                std::abort();
        }
        if (again.entries().size() > table.entries().size())
            std::abort();
    } catch (const lumbra::PlayerException&) {
    }
    return 0;
}
