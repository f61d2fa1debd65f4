// Packed blocks from untrusted resources: any bytes unpack or fail cleanly.
#include "package/PackedBlock.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    auto unpacked = lumbra::unpackBlockSilently({data, size});
    if (unpacked && size >= lumbra::packedBlockHeaderSize) {
        // Nothing inflates beyond what the header claims.
        std::uint32_t claimed = data[4] | data[5] << 8 | data[6] << 16 | std::uint32_t(data[7]) << 24;
        if (unpacked->size() > claimed)
            std::abort();
    }
    return 0;
}
