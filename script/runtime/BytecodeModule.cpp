#include "script/runtime/BytecodeModule.h"

#include <cstring>
#include <new>

namespace orvet {

namespace {

struct DirectoryEntry {
    std::uint32_t type;
    std::uint32_t offset;
    std::uint32_t length;
};

std::uint32_t loadU32LE(const std::uint8_t* p)
{
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 | std::uint32_t(p[3]) << 24;
}

bool fitsIn(const DirectoryEntry& entry, std::uint64_t imageSize)
{
    return std::uint64_t(entry.offset) + entry.length <= imageSize;
}

ModuleSection makeSection(const DirectoryEntry& entry)
{
    ModuleSection section;
    section.type = static_cast<std::uint8_t>(entry.type & 0xFF);
    section.length = entry.length;
    section.bytes = std::make_unique<std::uint8_t[]>(std::size_t(entry.length) + 1); // zero-filled
    return section;
}

// Reads exactly size bytes; false on a short read.
bool readExactly(std::FILE* stream, void* buffer, std::size_t size)
{
    return std::fread(buffer, 1, size, stream) == size;
}

bool readU32LE(std::FILE* stream, std::uint32_t& value)
{
    std::uint8_t bytes[4];
    if (!readExactly(stream, bytes, sizeof bytes))
        return false;
    value = loadU32LE(bytes);
    return true;
}

// Skips a first line that begins with "#", up to and including its line feed.
bool skipHashLine(std::FILE* stream)
{
    int c = std::fgetc(stream);
    if (c == EOF)
        return false;
    if (c != '#')
        return std::ungetc(c, stream) != EOF;
    while ((c = std::fgetc(stream)) != '\n')
        if (c == EOF)
            return false;
    return true;
}

ModulePtr loadFromMemory(const std::uint8_t* data, std::size_t length)
{
    if (length == 0)
        return nullptr;
    const std::uint8_t* image = data;
    if (data[0] == '#') {
        const void* feed = std::memchr(data, '\n', length);
        if (!feed)
            return nullptr;
        image = static_cast<const std::uint8_t*>(feed) + 1;
    }
    const std::size_t imageSize = length - static_cast<std::size_t>(image - data);
    if (imageSize < 8 || loadU32LE(image) != kImageMagic)
        return nullptr;

    std::vector<DirectoryEntry> directory;
    std::size_t pos = 4;
    for (;;) {
        if (imageSize - pos < 4)
            return nullptr; // no terminator inside the data
        DirectoryEntry entry{loadU32LE(image + pos), 0, 0};
        pos += 4;
        if (entry.type == kDirectoryEnd)
            break;
        if (imageSize - pos < 8)
            return nullptr;
        entry.offset = loadU32LE(image + pos);
        entry.length = loadU32LE(image + pos + 4);
        pos += 8;
        if (!fitsIn(entry, imageSize))
            return nullptr;
        directory.push_back(entry);
    }

    auto module = std::make_unique<BytecodeModule>();
    module->sections.reserve(directory.size());
    for (const DirectoryEntry& entry : directory) {
        ModuleSection section = makeSection(entry);
        std::memcpy(section.bytes.get(), image + entry.offset, entry.length);
        module->sections.push_back(std::move(section));
    }
    return module;
}

ModulePtr loadFromStream(std::FILE* stream)
{
    if (!skipHashLine(stream))
        return nullptr;
    const long imageStart = std::ftell(stream);
    std::uint32_t magic;
    if (imageStart < 0 || !readU32LE(stream, magic) || magic != kImageMagic)
        return nullptr;

    std::vector<DirectoryEntry> directory;
    for (;;) {
        DirectoryEntry entry{};
        if (!readU32LE(stream, entry.type))
            return nullptr;
        if (entry.type == kDirectoryEnd)
            break;
        if (!readU32LE(stream, entry.offset) || !readU32LE(stream, entry.length))
            return nullptr;
        directory.push_back(entry);
    }

    // Every section must lie inside the file: check against its size before
    // allocating, so a forged length cannot ask for gigabytes.
    if (std::fseek(stream, 0, SEEK_END) != 0)
        return nullptr;
    const long fileEnd = std::ftell(stream);
    if (fileEnd < imageStart)
        return nullptr;
    const std::uint64_t imageSize = std::uint64_t(fileEnd - imageStart);

    auto module = std::make_unique<BytecodeModule>();
    module->sections.reserve(directory.size());
    for (const DirectoryEntry& entry : directory) {
        if (!fitsIn(entry, imageSize))
            return nullptr;
        ModuleSection section = makeSection(entry);
        if (std::fseek(stream, imageStart + static_cast<long>(entry.offset), SEEK_SET) != 0
            || !readExactly(stream, section.bytes.get(), entry.length))
            return nullptr;
        module->sections.push_back(std::move(section));
    }
    return module;
}

} // namespace

const ModuleSection* BytecodeModule::firstSection(SectionType type) const
{
    for (const ModuleSection& section : sections)
        if (section.type == static_cast<std::uint8_t>(type))
            return &section;
    return nullptr;
}

const ModuleSection* BytecodeModule::lastSection(SectionType type) const
{
    for (auto it = sections.rbegin(); it != sections.rend(); ++it)
        if (it->type == static_cast<std::uint8_t>(type))
            return &*it;
    return nullptr;
}

ModulePtr loadModule(const std::uint8_t* data, std::size_t length)
{
    try {
        return loadFromMemory(data, length);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

ModulePtr loadModule(std::FILE* stream)
{
    try {
        return loadFromStream(stream);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

} // namespace orvet
