// Hostile program files: the resource reader either reads or throws, and what
// it read can be written back and read again.
#include "package/PeResources.h"
#include "package/PlayerException.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    lumbra::ResourceTable table;
    try {
        table = lumbra::readPeResources({data, size});
    } catch (const lumbra::PlayerException&) {
        return 0;
    }
    table.find("LUMBRA", "ST");
    try {
        auto rewritten = lumbra::writePeResources({data, size}, table);
        auto again = lumbra::readPeResources(rewritten);
        if (again.entries().size() > table.entries().size())
            std::abort();
    } catch (const lumbra::PlayerException&) {
    }
    return 0;
}
