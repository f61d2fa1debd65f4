#include "MinimalPe.h"

#include "package/ByteWriter.h"

#include <algorithm>

namespace lumbra::test {

std::vector<std::uint8_t> minimalPe()
{
    std::vector<std::uint8_t> image(0x400, 0);
    image[0] = 'M';
    image[1] = 'Z';
    storeU32(&image[0x3C], 0x40);
    storeU32(&image[0x40], 0x00004550);
    std::uint8_t* file = &image[0x44];
    storeU16(file, 0x14C);     // i386
    storeU16(file + 2, 1);     // sections
    storeU16(file + 16, 224);  // optional header size
    storeU16(file + 18, 0x0102); // executable, 32-bit
    std::uint8_t* optional = file + 20;
    storeU16(optional, 0x10B);
    storeU32(optional + 16, 0x1000);  // entry point
    storeU32(optional + 28, 0x400000); // image base
    storeU32(optional + 32, 0x1000);  // section alignment
    storeU32(optional + 36, 0x200);   // file alignment
    storeU16(optional + 40, 4);       // OS version
    storeU16(optional + 48, 4);       // subsystem version
    storeU32(optional + 56, 0x2000);  // size of image
    storeU32(optional + 60, 0x200);   // size of headers
    storeU16(optional + 68, 2);       // GUI subsystem
    storeU32(optional + 92, 16);      // data directories
    std::uint8_t* section = optional + 224;
    std::copy_n(".text", 5, section);
    storeU32(section + 8, 0x10);
    storeU32(section + 12, 0x1000);
    storeU32(section + 16, 0x200);
    storeU32(section + 20, 0x200);
    storeU32(section + 36, 0x60000020);
    image[0x200] = 0xC3; // ret
    return image;
}

} // namespace lumbra::test
