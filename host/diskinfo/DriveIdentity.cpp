#include "host/diskinfo/DriveIdentity.h"

namespace lumbra {

namespace {

unsigned word(std::span<const std::uint8_t, 512> data, std::size_t index)
{
    return data[2 * index] | unsigned(data[2 * index + 1]) << 8;
}

// ATA packs two characters per word, the first in the high byte; a text
// ends at a zero byte and loses its trailing blanks.
std::string identityText(std::span<const std::uint8_t, 512> data, std::size_t first, std::size_t last)
{
    std::string text;
    for (std::size_t i = first; i <= last; ++i) {
        const unsigned w = word(data, i);
        text.push_back(char(w >> 8));
        text.push_back(char(w & 0xff));
    }
    text.resize(text.find('\0') == std::string::npos ? text.size() : text.find('\0'));
    text.erase(text.find_last_not_of(' ') + 1);
    return text;
}

} // namespace

DriveIdentity parseIdentifyData(std::span<const std::uint8_t, 512> data)
{
    DriveIdentity drive;
    drive.modelNumber = identityText(data, 27, 46);
    drive.serialNumber = identityText(data, 10, 19);
    drive.revisionNumber = identityText(data, 23, 26);
    const unsigned general = word(data, 0);
    drive.driveType = general & 0x80 ? "Removable" : general & 0x40 ? "Fixed" : "Unknown";
    drive.bufferSize = std::int64_t(word(data, 21)) * 512;
    drive.cylinders = word(data, 1);
    drive.heads = word(data, 3);
    drive.sectors = word(data, 6);
    return drive;
}

} // namespace lumbra
