#include "package/PeLayout.h"
#include "package/PeResources.h"

#include "package/ByteReader.h"
#include "package/ByteWriter.h"
#include "package/PlayerException.h"

#include <algorithm>
#include <map>

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
struct Placement {
    std::optional<std::size_t> reused; // index into the section table
    std::uint32_t rva = 0;
    std::uint64_t fileOffset = 0;
    std::size_t headerOffset = 0;
};

Placement place(std::span<const std::uint8_t> image, const PeLayout& layout)
{
    Placement placement;
    std::uint32_t resourceRva = 0;
    if (layout.dataDirectoryCount > PeLayout::resourceDirectory)
        resourceRva = loadU32(&image[layout.directoryOffset(PeLayout::resourceDirectory)]);
    std::size_t lastByAddress = 0, lastByFile = 0;
    for (std::size_t i = 1; i < layout.sections.size(); ++i) {
        if (layout.sections[i].virtualAddress > layout.sections[lastByAddress].virtualAddress)
            lastByAddress = i;
        if (layout.sections[i].rawEnd() > layout.sections[lastByFile].rawEnd())
            lastByFile = i;
    }
    if (layout.sections.empty())
        throw PlayerException("Not a valid PE image: no sections");
    const PeSection& last = layout.sections[lastByAddress];
    if (lastByAddress == lastByFile && resourceRva != 0 && last.virtualAddress == resourceRva && last.rawSize != 0) {
        placement.reused = lastByAddress;
        placement.rva = last.virtualAddress;
        placement.fileOffset = last.rawOffset;
        placement.headerOffset = last.headerOffset;
        return placement;
    }
    placement.rva = std::uint32_t(alignUp(std::uint64_t(last.virtualAddress) + std::max(last.virtualSize, last.rawSize),
                                          layout.sectionAlignment));
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
    std::uint32_t virtualSize = std::uint32_t(section.size());
    section.resize(std::size_t(alignUp(section.size(), layout.fileAlignment)), 0);

    // What follows the old sections (a symbol table, say) moves behind the
    // new section. An appended signature no longer matches and is left out.
    std::uint64_t oldEnd = layout.endOfSections();
    std::uint64_t tailStart = std::min<std::uint64_t>(oldEnd, image.size());
    std::uint32_t securityOffset = 0;
    if (layout.dataDirectoryCount > PeLayout::securityDirectory)
        securityOffset = loadU32(&image[layout.directoryOffset(PeLayout::securityDirectory)]);
    std::uint64_t tailEnd = image.size();
    if (securityOffset != 0 && securityOffset >= tailStart)
        tailEnd = std::min<std::uint64_t>(securityOffset, tailEnd);

    std::vector<std::uint8_t> out(image.begin(), image.begin() + std::ptrdiff_t(std::min<std::uint64_t>(
                                                                   placement.fileOffset, image.size())));
    out.resize(std::size_t(placement.fileOffset), 0);
    out.insert(out.end(), section.begin(), section.end());
    std::uint64_t newTail = out.size();
    out.insert(out.end(), image.begin() + std::ptrdiff_t(tailStart), image.begin() + std::ptrdiff_t(tailEnd));

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
    storeU32(header + 8, virtualSize);
    storeU32(header + 12, placement.rva);
    storeU32(header + 16, std::uint32_t(section.size()));
    storeU32(header + 20, std::uint32_t(placement.fileOffset));

    storeU32(&out[layout.directoryOffset(PeLayout::resourceDirectory)], placement.rva);
    storeU32(&out[layout.directoryOffset(PeLayout::resourceDirectory) + 4], virtualSize);
    if (layout.dataDirectoryCount > PeLayout::securityDirectory) {
        storeU32(&out[layout.directoryOffset(PeLayout::securityDirectory)], 0);
        storeU32(&out[layout.directoryOffset(PeLayout::securityDirectory) + 4], 0);
    }
    std::uint32_t symbols = loadU32(&out[layout.fileHeader + 8]);
    if (symbols != 0 && symbols >= tailStart)
        storeU32(&out[layout.fileHeader + 8], std::uint32_t(symbols - tailStart + newTail));
    std::uint32_t imageEnd = std::uint32_t(alignUp(std::uint64_t(placement.rva) + virtualSize, layout.sectionAlignment));
    if (imageEnd > loadU32(&out[layout.sizeOfImageOffset()]) || placement.reused)
        storeU32(&out[layout.sizeOfImageOffset()], imageEnd);
    storeU32(&out[layout.checkSumOffset()], peCheckSum(out, layout.checkSumOffset()));
    return out;
}

} // namespace lumbra
