// The ML and RG records, through the loaders that write their files: nothing
// escapes the working folder, whatever the names.
#include "FuzzFolder.h"

#include "package/MaskList.h"
#include "package/MovieList.h"
#include "package/PackageBlocks.h"
#include "package/PackedBlock.h"
#include "package/ResourceTable.h"

#include <cstdint>
#include <cstdlib>

namespace {

class Silent : public lumbra::ErrorReporter {
public:
    void report(std::string_view) override {}
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    auto working = lumbra::test::freshWorkingFolder();
    lumbra::ResourceTable resources;
    auto block = lumbra::packBlock({data, size}, 1);
    resources.put(lumbra::ResourceId::fromText("LUMBRA"), lumbra::ResourceId::fromText("ML"), block);
    resources.put(lumbra::ResourceId::fromText("LUMBRA"), lumbra::ResourceId::fromText("RG"), block);
    Silent silent;
    auto list = lumbra::loadMovieList(resources, working, working / "program.exe", silent);
    lumbra::loadMasks(resources, working, silent);
    lumbra::chooseFirstMovie(list);
    auto record = lumbra::readMovieListRecord({data, size});
    if (record.entries.size() > size)
        std::abort();
    if (!lumbra::test::nothingEscaped())
        std::abort();
    return 0;
}
