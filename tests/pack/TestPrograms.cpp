#include "TestPrograms.h"

#include "MinimalPe.h"

#include "package/ByteWriter.h"
#include "package/PeResources.h"

#include <algorithm>
#include <string_view>

namespace lumbra::test {

std::vector<std::uint8_t> minimalPlayer()
{
    ResourceTable own;
    own.put(ResourceId::fromText("#14"), ResourceId::fromText("#128"), std::vector<std::uint8_t>(20, 1));
    own.put(ResourceId::fromText("#3"), ResourceId::fromText("#1"), std::vector<std::uint8_t>(40, 2));
    own.put(ResourceId::fromText("#16"), ResourceId::fromText("#1"), std::vector<std::uint8_t>(30, 3));
    return writePeResources(minimalPe(), own);
}

std::vector<std::uint8_t> controlLibrary()
{
    // In minimalPe the code section's 512 bytes sit at 0x200 in the file and
    // 0x1000 in memory: the export directory, its name table and the name go there.
    std::vector<std::uint8_t> dll = minimalPe();
    storeU16(&dll[0x44 + 18], 0x2102);      // executable, 32-bit, DLL
    storeU32(&dll[0x44 + 20 + 96], 0x1020); // export directory
    storeU32(&dll[0x44 + 20 + 100], 40);
    storeU32(&dll[0x220 + 24], 1);          // one name
    storeU32(&dll[0x220 + 32], 0x1060);     // the name table
    storeU32(&dll[0x260], 0x1070);
    std::string_view name = "DllGetClassObject";
    std::copy(name.begin(), name.end(), dll.begin() + 0x270);
    return dll;
}

} // namespace lumbra::test
