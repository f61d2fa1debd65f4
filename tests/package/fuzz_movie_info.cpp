// Movie headers (plain, compressed, appended to a projector) from any file.
#include "FuzzFolder.h"

#include "package/MovieInfo.h"

#include <cstdint>
#include <fstream>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    lumbra::test::freshWorkingFolder();
    auto movie = lumbra::test::fuzzFolder() / "program.exe";
    std::ofstream(movie, std::ios::binary).write(reinterpret_cast<const char*>(data), std::streamsize(size));
    lumbra::readMovieInfo(movie);
    return 0;
}
