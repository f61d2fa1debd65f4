#include "MinimalPe.h"

#include "package/ByteReader.h"
#include "package/ByteWriter.h"
#include "package/PeLayout.h"
#include "package/PeResources.h"
#include "package/PlayerException.h"

#include <gtest/gtest.h>

#include <random>

#ifdef _WIN32
#include "package/PackageResources.h"
#include "package/win32/ModuleResources.h"
#include <filesystem>
#include <fstream>
#include <windows.h>
#endif

namespace lumbra {
namespace {

using Bytes = std::vector<std::uint8_t>;

ResourceId id(std::string_view text) { return ResourceId::fromText(text); }

ResourceTable sampleTable()
{
    ResourceTable table;
    table.put(id("LUMBRA"), id("ID"), Bytes{1, 2, 3});
    table.put(id("LUMBRA"), id("ST"), Bytes(1000, 0x5A));
    table.put(id("ORVET"), id("Initialize"), Bytes{9});
    table.put(id("#3"), id("#1"), Bytes(40, 7));      // an icon
    table.put(id("#14"), id("#128"), Bytes(20, 8));   // its group
    table.add({id("#16"), id("#1"), 0x409, 0, Bytes{0x11}}); // version, two languages
    table.add({id("#16"), id("#1"), 0x407, 1252, Bytes{0x22, 0x33}});
    return table;
}

void expectSameEntries(const ResourceTable& actual, const ResourceTable& expected)
{
    ASSERT_EQ(actual.entries().size(), expected.entries().size());
    for (const ResourceEntry& want : expected.entries()) {
        bool found = false;
        for (const ResourceEntry& got : actual.entries())
            if (got.type.sameAs(want.type) && got.name.sameAs(want.name) && got.language == want.language) {
                EXPECT_EQ(got.data, want.data) << want.type.text() << "/" << want.name.text();
                EXPECT_EQ(got.codePage, want.codePage);
                found = true;
            }
        EXPECT_TRUE(found) << want.type.text() << "/" << want.name.text() << " " << want.language;
    }
}

TEST(ResourceId, ParsesIdsAndComparesNamesWithoutCase)
{
    EXPECT_TRUE(id("#12").isNumber());
    EXPECT_EQ(id("#12").number, 12);
    EXPECT_FALSE(id("12").isNumber());
    EXPECT_FALSE(id("#70000").isNumber());
    EXPECT_FALSE(id("#1x").isNumber());
    EXPECT_TRUE(id("Lumbra").matches("LUMBRA"));
    EXPECT_FALSE(id("#12").matches("12"));
    EXPECT_EQ(id("#7").text(), "#7");
}

TEST(PeResources, ImageWithoutResourcesHasNone)
{
    EXPECT_TRUE(readPeResources(test::minimalPe()).entries().empty());
}

TEST(PeResources, WrittenResourcesReadBack)
{
    Bytes image = writePeResources(test::minimalPe(), sampleTable());
    ResourceTable read = readPeResources(image);
    expectSameEntries(read, sampleTable());
    EXPECT_EQ(read.find("lumbra", "st"), Bytes(1000, 0x5A));
    EXPECT_EQ(read.find("Orvet", "INITIALIZE"), Bytes{9});
    EXPECT_FALSE(read.find("LUMBRA", "ML"));
    // The code section is untouched.
    EXPECT_EQ(image[0x200], 0xC3);
}

TEST(PeResources, RewritingKeepsExistingResourcesAndReplacesNamedOnes)
{
    Bytes once = writePeResources(test::minimalPe(), sampleTable());
    ResourceTable table = readPeResources(once);
    table.put(id("lumbra"), id("id"), Bytes{4, 5});
    table.put(id("LUMBRA"), id("CS"), Bytes(16, 1));
    Bytes twice = writePeResources(once, table);
    ResourceTable read = readPeResources(twice);
    EXPECT_EQ(read.find("LUMBRA", "ID"), (Bytes{4, 5}));
    EXPECT_EQ(read.find("LUMBRA", "CS"), Bytes(16, 1));
    EXPECT_EQ(read.find("#3", "#1"), Bytes(40, 7));
    EXPECT_EQ(read.entries().size(), sampleTable().entries().size() + 1);
    // The last section was rebuilt in place: no section was added.
    EXPECT_EQ(parsePeLayout(twice).sections.size(), 2u);
}

TEST(PeResources, LayoutStaysConsistent)
{
    Bytes image = writePeResources(test::minimalPe(), sampleTable());
    PeLayout layout = parsePeLayout(image);
    const PeSection& rsrc = layout.sections.back();
    EXPECT_EQ(rsrc.rawOffset % layout.fileAlignment, 0u);
    EXPECT_EQ(rsrc.virtualAddress % layout.sectionAlignment, 0u);
    EXPECT_EQ(rsrc.rawEnd(), image.size());
    std::uint32_t sizeOfImage = loadU32(&image[layout.sizeOfImageOffset()]);
    EXPECT_GE(sizeOfImage, rsrc.virtualAddress + rsrc.virtualSize);
    EXPECT_EQ(sizeOfImage % layout.sectionAlignment, 0u);
    EXPECT_EQ(loadU32(&image[layout.checkSumOffset()]), peCheckSum(image, layout.checkSumOffset()));
}

// An image whose resource section is followed by another section and by a
// symbol table: a new section is added and the symbols move with the tail.
TEST(PeResources, ResourceSectionInTheMiddleIsReplacedByANewOne)
{
    Bytes image = writePeResources(test::minimalPe(), sampleTable());
    PeLayout layout = parsePeLayout(image);
    // Append a ".reloc" section after the resources and 8 bytes of symbols.
    const PeSection& rsrc = layout.sections.back();
    std::size_t header = rsrc.headerOffset + PeLayout::sectionHeaderSize;
    std::copy_n(".reloc", 6, &image[header]);
    std::uint32_t va = rsrc.virtualAddress + 0x1000 * ((rsrc.virtualSize + 0xFFF) / 0x1000);
    storeU32(&image[header + 8], 0x10);
    storeU32(&image[header + 12], va);
    storeU32(&image[header + 16], 0x200);
    storeU32(&image[header + 20], std::uint32_t(image.size()));
    storeU16(&image[layout.fileHeader + 2], 3);
    storeU32(&image[layout.sizeOfImageOffset()], va + 0x1000);
    image.resize(image.size() + 0x200, 0xAB);
    storeU32(&image[layout.fileHeader + 8], std::uint32_t(image.size())); // symbols
    image.insert(image.end(), {'S', 'Y', 'M', 'B', 'O', 'L', 'S', '!'});

    ResourceTable table = readPeResources(image);
    table.put(id("LUMBRA"), id("ML"), Bytes(5000, 3));
    Bytes rewritten = writePeResources(image, table);
    PeLayout after = parsePeLayout(rewritten);
    ASSERT_EQ(after.sections.size(), 4u);
    EXPECT_EQ(rewritten[after.sections[2].rawOffset], 0xAB); // .reloc untouched
    std::uint32_t symbols = loadU32(&rewritten[after.fileHeader + 8]);
    ASSERT_LE(symbols + 8u, rewritten.size());
    EXPECT_EQ(std::string(rewritten.begin() + symbols, rewritten.begin() + symbols + 8), "SYMBOLS!");
    ResourceTable read = readPeResources(rewritten);
    EXPECT_EQ(read.find("LUMBRA", "ML"), Bytes(5000, 3));
    EXPECT_EQ(read.find("#14", "#128"), Bytes(20, 8));
}

TEST(PeResources, RejectsWhatIsNotAnImage)
{
    EXPECT_THROW(readPeResources(Bytes{}), PlayerException);
    EXPECT_THROW(readPeResources(Bytes(100, 'M')), PlayerException);
    Bytes image = test::minimalPe();
    storeU32(&image[0x3C], 0xFFFFFFF0);
    EXPECT_THROW(readPeResources(image), PlayerException);
    EXPECT_THROW(writePeResources(Bytes{'M', 'Z'}, sampleTable()), PlayerException);
}

TEST(PeResources, SelfReferencingDirectoryIsRejected)
{
    Bytes image = writePeResources(test::minimalPe(), sampleTable());
    PeLayout layout = parsePeLayout(image);
    std::size_t root = layout.sections.back().rawOffset;
    storeU32(&image[root + 16 + 4], 0x80000000); // first type points back at the root
    EXPECT_THROW(readPeResources(image), PlayerException);
}

// Images whose headers lie about their sections are refused: the writer must
// neither write outside its buffer nor place the new section on an old one.
TEST(PeResources, LyingSectionHeadersAreRefused)
{
    Bytes image = writePeResources(test::minimalPe(), sampleTable());
    PeLayout layout = parsePeLayout(image);
    std::size_t rsrcHeader = layout.sections.back().headerOffset;

    Bytes insideHeaders = image;
    storeU32(&insideHeaders[rsrcHeader + 20], 0); // its data "begins" at the MZ header
    ResourceTable table = readPeResources(image);
    EXPECT_THROW(writePeResources(insideHeaders, table), PlayerException);

    Bytes wrapping = image;
    storeU32(&wrapping[layout.sections.front().headerOffset + 8], 0xFFFFF000); // .text's size
    try {
        writePeResources(wrapping, table);
        ADD_FAILURE() << "an address beyond 4 GB was accepted";
    } catch (const PlayerException& error) {
        EXPECT_NE(error.message().find("address space"), std::string::npos) << error.message();
    }
}

// Every truncation and many random corruptions either read or fail with
// PlayerException; none may crash or hang.
TEST(PeResources, SurvivesDamagedImages)
{
    Bytes image = writePeResources(test::minimalPe(), sampleTable());
    for (std::size_t size = 0; size < image.size(); size += 7) {
        Bytes cut(image.begin(), image.begin() + std::ptrdiff_t(size));
        try {
            readPeResources(cut);
        } catch (const PlayerException&) {
        }
    }
    std::mt19937 random(42);
    std::size_t rsrc = parsePeLayout(image).sections.back().rawOffset;
    for (int round = 0; round < 2000; ++round) {
        Bytes damaged = image;
        for (int flips = 0; flips < 4; ++flips) {
            std::size_t at = round % 2 ? rsrc + random() % 256 : random() % damaged.size();
            damaged[at] = std::uint8_t(random());
        }
        try {
            ResourceTable table = readPeResources(damaged);
            writePeResources(damaged, table);
        } catch (const PlayerException&) {
        }
    }
}

#ifdef _WIN32
// The loader itself must find what the writer stored, in a real program.
TEST(PeResources, WindowsLoaderFindsWrittenResources)
{
    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::ifstream in(self, std::ios::binary);
    Bytes image((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ResourceTable table = readPeResources(image);
    std::size_t before = table.entries().size();
    table.put(id("LUMBRA"), id("ST"), Bytes(3000, 0x42));
    table.put(id("ORVET"), id("Initialize"), Bytes{1, 2, 3});
    table.put(id("#10"), id("#77"), Bytes{4});
    auto copy = std::filesystem::temp_directory_path() / "lumbra-pe-resources-test.exe";
    {
        Bytes out = writePeResources(image, table);
        std::ofstream(copy, std::ios::binary).write(reinterpret_cast<const char*>(out.data()), std::streamsize(out.size()));
    }
    HMODULE module = LoadLibraryExA(copy.string().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(module, nullptr);
    ModuleResources resources(module);
    EXPECT_EQ(resources.find("lumbra", "st"), Bytes(3000, 0x42));
    EXPECT_EQ(resources.find("ORVET", "initialize"), (Bytes{1, 2, 3}));
    EXPECT_EQ(resources.find("#10", "#77"), Bytes{4});
    EXPECT_FALSE(resources.find("LUMBRA", "ML"));
    EXPECT_THROW(readResource(resources, "LUMBRA", "ML"), PlayerException);
    FreeLibrary(module);
    EXPECT_EQ(readPeResources(Bytes(image)).entries().size(), before);
    std::filesystem::remove(copy);
}
#endif

} // namespace
} // namespace lumbra
