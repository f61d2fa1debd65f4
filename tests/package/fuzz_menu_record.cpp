// Packaged menus from untrusted blocks: read or refused with PlayerException,
// never more; what reads is written back to bytes that read the same.
#include "package/MenuRecord.h"
#include "package/PlayerException.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    try {
        const lumbra::MenuRecord menu = lumbra::readMenuRecord({data, size});
        const lumbra::Bytes written = lumbra::writeMenuRecord(menu);
        if (lumbra::writeMenuRecord(lumbra::readMenuRecord(written)) != written)
            std::abort();
    } catch (const lumbra::PlayerException&) {
    }
    return 0;
}
