// The player's reading of what the packager wrote: resources found in a real
// packaged executable through the module loader, and packed blocks unpacked
// back to the packer's input byte for byte.
#include "PlayerProcess.h"

#include "package/PackageResources.h"
#include "package/win32/ModuleResources.h"

#include <gtest/gtest.h>

#include <fstream>
#include <random>

namespace lumbra::test {
namespace {

class RecordingReporter : public ErrorReporter {
public:
    void report(std::string_view message) override { messages.emplace_back(message); }
    std::vector<std::string> messages;
};

Bytes sample(std::size_t size, unsigned seed)
{
    std::mt19937 random(seed);
    Bytes bytes(size);
    for (std::size_t i = 0; i < size; ++i) // compressible but not trivially so
        bytes[i] = static_cast<std::uint8_t>(i % 7 == 0 ? random() : i / 13);
    return bytes;
}

TEST(PackagedResources, PackedBlocksUnpackToThePackersInput)
{
    const auto folder = scratchFolder("PackagedResources");
    const auto project = folder / "project";
    std::filesystem::create_directories(project);
    const Bytes big = sample(300000, 1), small = sample(17, 2);
    writeFile(project / "big.bin", big);
    writeFile(project / "small.bin", small);
    const auto exe = folder / "App.exe";
    packageProject(project,
                   packageSection("Acme/Viewer\\1.0") +
                   "[resources]\n"
                   "MyData/Big = packed big.bin\n"
                   "MYDATA/small = packed small.bin\n"
                   "MYDATA/RAW = raw small.bin\n",
                   exe);

    HMODULE module = LoadLibraryExA(exe.string().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(module, nullptr);
    const ModuleResources resources(module);
    RecordingReporter reporter;
    EXPECT_EQ(loadPackedResource(resources, "mydata", "BIG", reporter), big);
    EXPECT_EQ(loadPackedResource(resources, "MyData", "Small", reporter), small);
    EXPECT_EQ(readResource(resources, "mydata", "raw"), small);
    EXPECT_TRUE(reporter.messages.empty());
    // The player's own resources survive packaging.
    EXPECT_NE(FindResourceA(module, MAKEINTRESOURCEA(128), MAKEINTRESOURCEA(14)), nullptr) << "icon group 128";
    FreeLibrary(module);
}

} // namespace
} // namespace lumbra::test
