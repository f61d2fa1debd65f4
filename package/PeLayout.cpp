#include "package/PeLayout.h"

#include "package/ByteReader.h"
#include "package/PlayerException.h"

namespace lumbra {

namespace {

constexpr std::uint16_t pe32Magic = 0x10B;
constexpr std::uint16_t pe32PlusMagic = 0x20B;
constexpr std::uint16_t maxSections = 96; // the loader's own limit

[[noreturn]] void malformed(const char* what)
{
    throw PlayerException(std::string("Not a valid PE image: ") + what);
}

} // namespace

PeLayout parsePeLayout(std::span<const std::uint8_t> image)
{
    if (image.size() < 0x40 || image[0] != 'M' || image[1] != 'Z')
        malformed("no MZ header");
    PeLayout layout;
    std::uint32_t peOffset = loadU32(&image[0x3C]);
    if (std::uint64_t(peOffset) + 24 > image.size())
        malformed("PE header out of range");
    if (loadU32(&image[peOffset]) != 0x00004550)
        malformed("no PE signature");
    layout.fileHeader = peOffset + 4;
    std::uint16_t sectionCount = loadU16(&image[layout.fileHeader + 2]);
    std::uint16_t optionalSize = loadU16(&image[layout.fileHeader + 16]);
    layout.optionalHeader = layout.fileHeader + 20;
    if (layout.optionalHeader + optionalSize > image.size() || optionalSize < 96)
        malformed("optional header out of range");

    const std::uint8_t* optional = &image[layout.optionalHeader];
    std::uint16_t magic = loadU16(optional);
    std::size_t directoryStart;
    if (magic == pe32Magic)
        directoryStart = 96;
    else if (magic == pe32PlusMagic)
        directoryStart = 112;
    else
        malformed("unknown optional header");
    layout.sectionAlignment = loadU32(optional + 32);
    layout.fileAlignment = loadU32(optional + 36);
    layout.sizeOfHeaders = loadU32(optional + 60);
    auto powerOfTwo = [](std::uint32_t v) { return v != 0 && (v & (v - 1)) == 0; };
    if (!powerOfTwo(layout.sectionAlignment) || !powerOfTwo(layout.fileAlignment) || layout.fileAlignment > 0x10000)
        malformed("bad alignment");
    if (layout.sizeOfHeaders > image.size())
        malformed("headers out of range");
    if (directoryStart > optionalSize)
        malformed("optional header too short");
    layout.dataDirectoryCount = loadU32(optional + directoryStart - 4);
    layout.dataDirectories = layout.optionalHeader + directoryStart;
    std::size_t roomForDirectories = (optionalSize - directoryStart) / 8;
    if (layout.dataDirectoryCount > roomForDirectories)
        layout.dataDirectoryCount = std::uint32_t(roomForDirectories);

    if (sectionCount > maxSections)
        malformed("too many sections");
    layout.sectionTable = layout.optionalHeader + optionalSize;
    if (layout.sectionTable + std::size_t(sectionCount) * PeLayout::sectionHeaderSize > image.size())
        malformed("section table out of range");
    for (std::uint16_t i = 0; i < sectionCount; ++i) {
        PeSection section;
        section.headerOffset = layout.sectionTable + std::size_t(i) * PeLayout::sectionHeaderSize;
        const std::uint8_t* header = &image[section.headerOffset];
        section.virtualSize = loadU32(header + 8);
        section.virtualAddress = loadU32(header + 12);
        section.rawSize = loadU32(header + 16);
        section.rawOffset = loadU32(header + 20);
        if (section.rawSize != 0 && section.rawEnd() > image.size())
            malformed("section data out of range");
        layout.sections.push_back(section);
    }
    return layout;
}

std::optional<std::span<const std::uint8_t>> PeLayout::mapRva(std::span<const std::uint8_t> image, std::uint32_t rva,
                                                               std::uint32_t size) const
{
    for (const PeSection& section : sections) {
        if (rva < section.virtualAddress)
            continue;
        std::uint64_t offset = std::uint64_t(rva) - section.virtualAddress;
        if (offset + size <= section.rawSize)
            return image.subspan(std::size_t(section.rawOffset + offset), size);
    }
    return std::nullopt;
}

std::uint64_t PeLayout::endOfSections() const
{
    std::uint64_t end = sizeOfHeaders;
    for (const PeSection& section : sections)
        if (section.rawSize != 0 && section.rawEnd() > end)
            end = section.rawEnd();
    return end;
}

std::uint32_t peCheckSum(std::span<const std::uint8_t> image, std::size_t checkSumOffset)
{
    std::uint64_t sum = 0;
    for (std::size_t i = 0; i < image.size(); i += 2) {
        if (i >= checkSumOffset && i < checkSumOffset + 4)
            continue;
        std::uint32_t word = image[i] | (i + 1 < image.size() ? image[i + 1] << 8 : 0);
        sum += word;
        sum = (sum & 0xFFFF) + (sum >> 16);
    }
    sum = (sum & 0xFFFF) + (sum >> 16);
    return std::uint32_t(sum + image.size());
}

} // namespace lumbra
