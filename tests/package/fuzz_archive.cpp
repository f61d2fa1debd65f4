// A program file with a hostile appended archive: walking and extracting
// never crash, loop or write outside the working folder.
#include "FuzzFolder.h"

#include "package/AttachedArchive.h"
#include "package/PlayerException.h"

#include <cstdint>
#include <cstdlib>
#include <fstream>

namespace {

class Silent : public lumbra::ErrorReporter {
public:
    void report(std::string_view) override {}
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    auto working = lumbra::test::freshWorkingFolder();
    auto program = lumbra::test::fuzzFolder() / "program.exe";
    std::ofstream(program, std::ios::binary).write(reinterpret_cast<const char*>(data), std::streamsize(size));
    try {
        lumbra::readArchiveTree(program);
    } catch (const lumbra::PlayerException&) {
    }
    Silent silent;
    for (const char* path : {"a", "a/b", "docs\\readme.txt", "A"})
        lumbra::extractAdditionalFile(program, path, working, silent);
    if (!lumbra::test::nothingEscaped())
        std::abort();
    return 0;
}
