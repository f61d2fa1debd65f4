// The headers of a PE image that the resource reader and writer need: the
// optional header's alignments, the data directories and the section table.
// Every offset is checked against the image before it is used.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace lumbra {

struct PeSection {
    std::uint32_t virtualSize = 0;
    std::uint32_t virtualAddress = 0;
    std::uint32_t rawSize = 0;
    std::uint32_t rawOffset = 0;
    std::size_t headerOffset = 0; // where its 40-byte header sits in the file

    std::uint64_t rawEnd() const { return std::uint64_t(rawOffset) + rawSize; }
};

struct PeLayout {
    static constexpr std::size_t sectionHeaderSize = 40;
    static constexpr std::uint32_t resourceDirectory = 2;
    static constexpr std::uint32_t securityDirectory = 4;

    std::size_t fileHeader = 0;     // offset of the COFF file header
    std::size_t optionalHeader = 0; // offset of the optional header
    std::size_t sectionTable = 0;
    std::uint32_t sectionAlignment = 0;
    std::uint32_t fileAlignment = 0;
    std::uint32_t sizeOfHeaders = 0;
    std::size_t dataDirectories = 0; // offset of the first data directory
    std::uint32_t dataDirectoryCount = 0;
    std::vector<PeSection> sections;

    std::size_t checkSumOffset() const { return optionalHeader + 64; }
    std::size_t sizeOfImageOffset() const { return optionalHeader + 56; }
    std::size_t directoryOffset(std::uint32_t index) const { return dataDirectories + 8 * std::size_t(index); }

    // The file bytes of [rva, rva + size) if they lie inside one section's raw data.
    std::optional<std::span<const std::uint8_t>> mapRva(std::span<const std::uint8_t> image, std::uint32_t rva,
                                                       std::uint32_t size) const;
    // Bytes past the last section's raw data (symbols, signatures, appended data).
    std::uint64_t endOfSections() const;
};

// Throws PlayerException when the bytes are not a well-formed PE image.
PeLayout parsePeLayout(std::span<const std::uint8_t> image);

// The PE checksum of an image whose checksum field is ignored.
std::uint32_t peCheckSum(std::span<const std::uint8_t> image, std::size_t checkSumOffset);

} // namespace lumbra
