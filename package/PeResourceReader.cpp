#include "package/PeLayout.h"
#include "package/PeResources.h"

#include "package/ByteReader.h"
#include "package/PlayerException.h"

namespace lumbra {

namespace {

constexpr std::uint32_t subdirectoryBit = 0x80000000;
constexpr std::size_t maxLeaves = 65536;

[[noreturn]] void damaged()
{
    throw PlayerException("Damaged resource directory");
}

class DirectoryWalker {
public:
    DirectoryWalker(std::span<const std::uint8_t> image, const PeLayout& layout, std::span<const std::uint8_t> section)
        : image_(image), layout_(layout), section_(section)
    {
    }

    ResourceTable walk()
    {
        visit(0, 0);
        return std::move(table_);
    }

private:
    // Level 0 lists types, level 1 names, level 2 languages, whose entries
    // point at data.
    void visit(std::uint32_t offset, int level)
    {
        if (std::uint64_t(offset) + 16 > section_.size())
            damaged();
        std::size_t count = std::size_t(loadU16(&section_[offset + 12])) + loadU16(&section_[offset + 14]);
        if (std::uint64_t(offset) + 16 + 8 * std::uint64_t(count) > section_.size())
            damaged();
        // A well-formed directory visits each entry once; directories shared
        // by a crafted image would be visited again and again.
        visited_ += count;
        if (visited_ > section_.size() / 8)
            damaged();
        for (std::size_t i = 0; i < count; ++i) {
            const std::uint8_t* entry = &section_[offset + 16 + 8 * i];
            std::uint32_t id = loadU32(entry);
            std::uint32_t target = loadU32(entry + 4);
            path_[level] = identify(id);
            bool isDirectory = (target & subdirectoryBit) != 0;
            if (isDirectory != (level < 2))
                damaged();
            if (isDirectory)
                visit(target & ~subdirectoryBit, level + 1);
            else
                addLeaf(target, std::uint16_t(id));
        }
    }

    ResourceId identify(std::uint32_t id) const
    {
        ResourceId result;
        if (!(id & subdirectoryBit)) {
            result.number = std::uint16_t(id);
            return result;
        }
        std::uint32_t offset = id & ~subdirectoryBit;
        if (std::uint64_t(offset) + 2 > section_.size())
            damaged();
        std::size_t length = loadU16(&section_[offset]);
        if (length == 0 || offset + 2 + 2 * std::uint64_t(length) > section_.size())
            damaged();
        for (std::size_t i = 0; i < length; ++i)
            result.name.push_back(char16_t(loadU16(&section_[offset + 2 + 2 * i])));
        return result;
    }

    void addLeaf(std::uint32_t offset, std::uint16_t language)
    {
        if (std::uint64_t(offset) + 16 > section_.size())
            damaged();
        std::uint32_t rva = loadU32(&section_[offset]);
        std::uint32_t size = loadU32(&section_[offset + 4]);
        auto data = layout_.mapRva(image_, rva, size);
        // Entries may share data in a crafted image; capping the total keeps
        // such an image from growing into an enormous table.
        handedOut_ += size;
        if (!data || table_.entries().size() >= maxLeaves || handedOut_ > image_.size())
            damaged();
        table_.add({path_[0], path_[1], language, loadU32(&section_[offset + 8]), {data->begin(), data->end()}});
    }

    std::span<const std::uint8_t> image_;
    const PeLayout& layout_;
    std::span<const std::uint8_t> section_;
    ResourceTable table_;
    ResourceId path_[3];
    std::uint64_t handedOut_ = 0;
    std::uint64_t visited_ = 0;
};

} // namespace

ResourceTable readPeResources(std::span<const std::uint8_t> image)
{
    PeLayout layout = parsePeLayout(image);
    if (layout.dataDirectoryCount <= PeLayout::resourceDirectory)
        return {};
    std::uint32_t rva = loadU32(&image[layout.directoryOffset(PeLayout::resourceDirectory)]);
    if (rva == 0)
        return {};
    // Offsets inside the directory are relative to its start and may reach
    // anywhere in the rest of the section that holds it.
    for (const PeSection& section : layout.sections) {
        if (rva < section.virtualAddress || rva - section.virtualAddress >= section.rawSize)
            continue;
        std::uint32_t start = rva - section.virtualAddress;
        auto bytes = image.subspan(section.rawOffset + start, section.rawSize - start);
        return DirectoryWalker(image, layout, bytes).walk();
    }
    damaged();
}

} // namespace lumbra
