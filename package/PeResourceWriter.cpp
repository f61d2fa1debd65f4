#include "package/PeLayout.h"
#include "package/PeResources.h"

#include "package/ByteReader.h"
#include "package/ByteWriter.h"
#include "package/PlayerException.h"

#include <algorithm>
#include <map>
#include <string>

namespace lumbra {

namespace {

constexpr std::uint32_t subdirectoryBit = 0x80000000;
constexpr std::uint32_t initializedData = 0x00000040;
constexpr std::uint32_t memoryRead = 0x40000000;

std::uint64_t alignUp(std::uint64_t value, std::uint32_t alignment)
{
    return (value + alignment - 1) & ~std::uint64_t(alignment - 1);
}

// Named entries come first in ascending order of their upper-case form, then
// ids in ascending order: the loader searches both halves by bisection.
struct IdOrder {
    bool operator()(const ResourceId& a, const ResourceId& b) const
    {
        if (a.isNumber() != b.isNumber())
            return !a.isNumber();
        if (a.isNumber())
            return a.number < b.number;
        return std::ranges::lexicographical_compare(a.name, b.name, {}, foldResourceChar, foldResourceChar);
    }
};

using LanguageMap = std::map<std::uint16_t, const ResourceEntry*>;
using NameMap = std::map<ResourceId, LanguageMap, IdOrder>;
using TypeMap = std::map<ResourceId, NameMap, IdOrder>;

std::u16string folded(const std::u16string& name)
{
    std::u16string result = name;
    std::ranges::transform(result, result.begin(), foldResourceChar);
    return result;
}

// Serialises the directory tree for a section loaded at sectionRva: all
// directory tables, then the data entries, then the names, then the data.
class SectionBuilder {
public:
    explicit SectionBuilder(const ResourceTable& table)
    {
        for (const ResourceEntry& entry : table.entries())
            tree_[entry.type][entry.name].try_emplace(entry.language, &entry); // the first of duplicates wins
    }

    std::vector<std::uint8_t> build(std::uint32_t sectionRva)
    {
        layOut();
        bytes_.assign(dataEnd_, 0);
        std::size_t nextDirectory = 0, nextLeaf = leavesStart_;
        std::size_t nextData = dataStart_;
        auto directory = [&](std::size_t count) {
            std::size_t at = nextDirectory;
            nextDirectory += 16 + 8 * count;
            return at;
        };
        std::size_t root = directory(tree_.size());
        writeHeader(root, tree_);
        std::size_t slot = root + 16;
        for (auto& [type, names] : tree_) {
            std::size_t typeTable = directory(names.size());
            writeEntry(slot, type, subdirectoryBit | std::uint32_t(typeTable));
            slot += 8;
            writeHeader(typeTable, names);
            std::size_t nameSlot = typeTable + 16;
            for (auto& [name, languages] : names) {
                std::size_t nameTable = directory(languages.size());
                writeEntry(nameSlot, name, subdirectoryBit | std::uint32_t(nameTable));
                nameSlot += 8;
                writeHeader(nameTable, languages);
                std::size_t languageSlot = nameTable + 16;
                for (auto& [language, entry] : languages) {
                    storeU32(&bytes_[languageSlot], language);
                    storeU32(&bytes_[languageSlot + 4], std::uint32_t(nextLeaf));
                    languageSlot += 8;
                    storeU32(&bytes_[nextLeaf], sectionRva + std::uint32_t(nextData));
                    storeU32(&bytes_[nextLeaf + 4], std::uint32_t(entry->data.size()));
                    storeU32(&bytes_[nextLeaf + 8], entry->codePage);
                    nextLeaf += 16;
                    std::ranges::copy(entry->data, bytes_.begin() + std::ptrdiff_t(nextData));
                    nextData = alignUp(nextData + entry->data.size(), 8);
                }
            }
        }
        return std::move(bytes_);
    }

private:
    void layOut()
    {
        std::size_t directories = 16 + 8 * tree_.size(), leaves = 0;
        for (auto& [type, names] : tree_) {
            addName(type);
            directories += 16 + 8 * names.size();
            for (auto& [name, languages] : names) {
                addName(name);
                directories += 16 + 8 * languages.size();
                leaves += languages.size();
            }
        }
        leavesStart_ = directories;
        std::size_t namesStart = leavesStart_ + 16 * leaves, namesEnd = namesStart;
        for (auto& [name, offset] : nameOffsets_) {
            offset = namesEnd;
            namesEnd += 2 + 2 * name.size();
        }
        dataStart_ = alignUp(namesEnd, 8);
        std::uint64_t end = dataStart_;
        for (auto& [type, names] : tree_)
            for (auto& [name, languages] : names)
                for (auto& [language, entry] : languages)
                    end = alignUp(end + entry->data.size(), 8);
        if (end > 0x7FFFFFFF)
            throw PlayerException("The resources are too large for one image");
        dataEnd_ = std::size_t(end);
    }

    void addName(const ResourceId& id)
    {
        if (!id.isNumber())
            nameOffsets_.try_emplace(folded(id.name), 0);
    }

    template <typename Map>
    void writeHeader(std::size_t at, const Map& children)
    {
        std::uint16_t named = 0, numbered = 0;
        for (auto& child : children) {
            if constexpr (std::is_same_v<typename Map::key_type, ResourceId>)
                (child.first.isNumber() ? numbered : named)++;
            else
                numbered++;
        }
        storeU16(&bytes_[at + 12], named);
        storeU16(&bytes_[at + 14], numbered);
    }

    void writeEntry(std::size_t at, const ResourceId& id, std::uint32_t target)
    {
        if (id.isNumber()) {
            storeU32(&bytes_[at], id.number);
        } else {
            std::u16string name = folded(id.name);
            std::size_t offset = nameOffsets_.at(name);
            storeU16(&bytes_[offset], std::uint16_t(name.size()));
            for (std::size_t i = 0; i < name.size(); ++i)
                storeU16(&bytes_[offset + 2 + 2 * i], name[i]);
            storeU32(&bytes_[at], subdirectoryBit | std::uint32_t(offset));
        }
        storeU32(&bytes_[at + 4], target);
    }

    TypeMap tree_;
    std::map<std::u16string, std::size_t> nameOffsets_;
    std::size_t leavesStart_ = 0, dataStart_ = 0, dataEnd_ = 0;
    std::vector<std::uint8_t> bytes_;
};

// The section to rebuild: the resource section if it is the last one in both
// the file and the address space, else a new section after all others.
// Every address is worked out in 64 bits: an image describes itself, and a
// damaged or hostile one must be refused rather than wrapped at 4 GB.
struct Placement {
    std::optional<std::size_t> reused; // index into the section table
    std::uint32_t rva = 0;
    std::uint64_t fileOffset = 0;
    std::size_t headerOffset = 0;
};

[[noreturn]] void refuse(const std::string& why)
{
    throw PlayerException("Cannot rewrite the resources of this image: " + why);
}

std::uint64_t virtualEnd(const PeSection& section)
{
    return std::uint64_t(section.virtualAddress) + std::max(section.virtualSize, section.rawSize);
}

// Where the headers end: the section table is part of them, whatever
// SizeOfHeaders claims.
std::uint64_t headersEnd(const PeLayout& layout)
{
    std::uint64_t table = layout.sectionTable + layout.sections.size() * PeLayout::sectionHeaderSize;
    return std::max<std::uint64_t>(table, layout.sizeOfHeaders);
}

// The resource section can be rebuilt in place only when nothing else lies
// after its start, in the file or in memory, and its data follows the headers.
bool canReuse(const PeLayout& layout, std::size_t index)
{
    const PeSection& candidate = layout.sections[index];
    if (candidate.rawSize == 0 || candidate.rawOffset < headersEnd(layout))
        return false;
    for (std::size_t i = 0; i < layout.sections.size(); ++i) {
        if (i == index)
            continue;
        const PeSection& other = layout.sections[i];
        if (other.rawSize != 0 && other.rawEnd() > candidate.rawOffset)
            return false;
        if (virtualEnd(other) > candidate.virtualAddress)
            return false;
    }
    return true;
}

Placement place(std::span<const std::uint8_t> image, const PeLayout& layout)
{
    if (layout.sections.empty())
        throw PlayerException("Not a valid PE image: no sections");
    Placement placement;
    std::uint32_t resourceRva = loadU32(&image[layout.directoryOffset(PeLayout::resourceDirectory)]);
    // The headers are mapped at address 0: a section never starts inside them.
    std::size_t lastByAddress = 0;
    std::uint64_t addressEnd = std::max<std::uint64_t>(layout.sizeOfHeaders, 1);
    for (std::size_t i = 0; i < layout.sections.size(); ++i) {
        if (layout.sections[i].virtualAddress > layout.sections[lastByAddress].virtualAddress)
            lastByAddress = i;
        addressEnd = std::max(addressEnd, virtualEnd(layout.sections[i]));
    }
    const PeSection& last = layout.sections[lastByAddress];
    if (resourceRva != 0 && last.virtualAddress == resourceRva && canReuse(layout, lastByAddress)) {
        placement.reused = lastByAddress;
        placement.rva = last.virtualAddress;
        placement.fileOffset = last.rawOffset;
        placement.headerOffset = last.headerOffset;
        return placement;
    }
    std::uint64_t rva = alignUp(addressEnd, layout.sectionAlignment);
    if (rva > 0xFFFFFFFF)
        refuse("its sections fill the address space");
    placement.rva = std::uint32_t(rva);
    placement.fileOffset = alignUp(layout.endOfSections(), layout.fileAlignment);
    placement.headerOffset = layout.sectionTable + layout.sections.size() * PeLayout::sectionHeaderSize;
    std::uint64_t firstData = layout.sizeOfHeaders;
    for (const PeSection& section : layout.sections)
        if (section.rawSize != 0)
            firstData = std::min<std::uint64_t>(firstData, section.rawOffset);
    if (placement.headerOffset + PeLayout::sectionHeaderSize > firstData)
        throw PlayerException("The image has no room for another section header");
    return placement;
}

} // namespace

std::vector<std::uint8_t> writePeResources(std::span<const std::uint8_t> image, const ResourceTable& table)
{
    PeLayout layout = parsePeLayout(image);
    if (layout.dataDirectoryCount <= PeLayout::resourceDirectory)
        throw PlayerException("The image has no resource directory entry");
    Placement placement = place(image, layout);
    std::vector<std::uint8_t> section = SectionBuilder(table).build(placement.rva);
    std::uint64_t virtualSize = section.size();
    section.resize(std::size_t(alignUp(section.size(), layout.fileAlignment)), 0);
    std::uint64_t imageEnd = alignUp(placement.rva + virtualSize, layout.sectionAlignment);
    if (imageEnd > 0xFFFFFFFF)
        refuse("the new resources would end beyond 4 GB in memory");

    // What follows the old sections (a symbol table, say) moves behind the
    // new section. An appended signature no longer matches and is left out.
    std::uint64_t tailStart = layout.endOfSections(); // within the image: the layout checked it
    std::uint32_t securityOffset = 0;
    if (layout.dataDirectoryCount > PeLayout::securityDirectory)
        securityOffset = loadU32(&image[layout.directoryOffset(PeLayout::securityDirectory)]);
    std::uint64_t tailEnd = image.size();
    if (securityOffset != 0 && securityOffset >= tailStart)
        tailEnd = std::min<std::uint64_t>(securityOffset, tailEnd);
    std::uint64_t newTail = placement.fileOffset + section.size();
    if (newTail + (tailEnd - tailStart) > 0xFFFFFFFF)
        refuse("the program would grow beyond 4 GB");

    std::vector<std::uint8_t> out(image.begin(), image.begin() + std::ptrdiff_t(std::min<std::uint64_t>(
                                                                   placement.fileOffset, image.size())));
    out.resize(std::size_t(placement.fileOffset), 0);
    out.insert(out.end(), section.begin(), section.end());
    out.insert(out.end(), image.begin() + std::ptrdiff_t(tailStart), image.begin() + std::ptrdiff_t(tailEnd));
    // The placement keeps the section header inside the headers, before any
    // section's data; a failure here is a fault of this writer, not the input.
    if (placement.headerOffset + PeLayout::sectionHeaderSize > placement.fileOffset)
        refuse("its section table overlaps the section data");

    std::uint8_t* header = &out[placement.headerOffset];
    if (!placement.reused) {
        std::fill(header, header + PeLayout::sectionHeaderSize, 0);
        std::copy_n(".rsrc", 5, header);
        storeU32(header + 36, initializedData | memoryRead);
        storeU16(&out[layout.fileHeader + 2], std::uint16_t(layout.sections.size() + 1));
        std::uint64_t headersEnd = alignUp(placement.headerOffset + PeLayout::sectionHeaderSize, layout.fileAlignment);
        if (headersEnd > layout.sizeOfHeaders)
            storeU32(&out[layout.optionalHeader + 60], std::uint32_t(headersEnd));
    }
    storeU32(header + 8, std::uint32_t(virtualSize));
    storeU32(header + 12, placement.rva);
    storeU32(header + 16, std::uint32_t(section.size()));
    storeU32(header + 20, std::uint32_t(placement.fileOffset));

    storeU32(&out[layout.directoryOffset(PeLayout::resourceDirectory)], placement.rva);
    storeU32(&out[layout.directoryOffset(PeLayout::resourceDirectory) + 4], std::uint32_t(virtualSize));
    if (layout.dataDirectoryCount > PeLayout::securityDirectory) {
        storeU32(&out[layout.directoryOffset(PeLayout::securityDirectory)], 0);
        storeU32(&out[layout.directoryOffset(PeLayout::securityDirectory) + 4], 0);
    }
    std::uint32_t symbols = loadU32(&out[layout.fileHeader + 8]);
    if (symbols != 0 && symbols >= tailStart && symbols < tailEnd)
        storeU32(&out[layout.fileHeader + 8], std::uint32_t(symbols - tailStart + newTail));
    if (imageEnd > loadU32(&out[layout.sizeOfImageOffset()]) || placement.reused)
        storeU32(&out[layout.sizeOfImageOffset()], std::uint32_t(imageEnd));
    storeU32(&out[layout.checkSumOffset()], peCheckSum(out, layout.checkSumOffset()));
    return out;
}

} // namespace lumbra
