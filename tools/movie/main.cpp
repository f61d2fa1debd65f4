// lumbra-movie: builds movie files from text descriptions and reports on movies.
//   lumbra-movie build DESCRIPTION OUT.swf
//   lumbra-movie info MOVIE.swf
#include "control/movie/MovieDescription.h"
#include "control/movie/MoviePlayer.h"
#include "control/movie/TextCodec.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

using lumbra::movie::MoviePlayer;

bool readFile(const char* path, std::string& out)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    out.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

int build(const char* descriptionPath, const char* outPath)
{
    std::string description;
    if (!readFile(descriptionPath, description)) {
        std::fprintf(stderr, "lumbra-movie: cannot read %s\n", descriptionPath);
        return 1;
    }
    std::vector<std::uint8_t> movie;
    try {
        movie = lumbra::movie::buildMovie(description);
    } catch (const lumbra::movie::DescriptionError& e) {
        std::fprintf(stderr, "%s: %s\n", descriptionPath, e.what());
        return 1;
    }
    std::ofstream out(outPath, std::ios::binary);
    out.write(reinterpret_cast<const char*>(movie.data()), std::streamsize(movie.size()));
    out.close();
    if (!out) {
        std::fprintf(stderr, "lumbra-movie: cannot write %s\n", outPath);
        return 1;
    }
    return 0;
}

int info(const char* path)
{
    std::string bytes;
    if (!readFile(path, bytes)) {
        std::fprintf(stderr, "lumbra-movie: cannot read %s\n", path);
        return 1;
    }
    MoviePlayer player;
    if (!player.load({reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()}, false)) {
        std::fprintf(stderr, "lumbra-movie: %s: %s\n", path, player.error().c_str());
        return 1;
    }
    const auto& header = player.info();
    std::printf("version %d%s\nsize %.2f x %.2f pixels\nrate %.2f\nframes %d\nbackground #%06X\n",
                header.version, header.compressed ? " (compressed)" : "", header.frame.width() / 20,
                header.frame.height() / 20, header.frameRate, header.frameCount, unsigned(player.backgroundColor()));
    return 0;
}

void usage()
{
    std::fprintf(stderr, "usage: lumbra-movie build DESCRIPTION OUT.swf\n"
                         "       lumbra-movie info MOVIE.swf\n");
}

} // namespace

int main(int argc, char** argv)
{
    std::string command = argc > 1 ? argv[1] : "";
    if (command == "build" && argc == 4)
        return build(argv[2], argv[3]);
    if (command == "info" && argc == 3)
        return info(argv[2]);
    usage();
    return 2;
}
