// lumbra-movie: builds movie files from text descriptions, reports on movies
// and plays them without a window.
//   lumbra-movie build DESCRIPTION OUT.swf
//   lumbra-movie info MOVIE.swf
//   lumbra-movie play MOVIE.swf [--frames N]
//   lumbra-movie compile SOURCE.as OUT.swf [--version N] [--frames N]
#include "control/movie/HeadlessPlay.h"
#include "control/movie/MovieDescription.h"
#include "control/movie/MoviePlayer.h"
#include "control/movie/TextCodec.h"
#include "tools/actionscript/SourceCompiler.h"

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <filesystem>
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

bool writeFile(const char* path, const std::vector<std::uint8_t>& bytes)
{
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    out.close();
    if (!out)
        std::fprintf(stderr, "lumbra-movie: cannot write %s\n", path);
    return bool(out);
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
    return writeFile(outPath, movie) ? 0 : 1;
}

int compile(const char* sourcePath, const char* outPath, int version, long frames)
{
    std::string source;
    if (!readFile(sourcePath, source)) {
        std::fprintf(stderr, "lumbra-movie: cannot read %s\n", sourcePath);
        return 1;
    }
    std::vector<std::uint8_t> movie;
    try {
        movie = lumbra::actionscript::compileMovie(source, version, int(frames));
    } catch (const lumbra::actionscript::SourceError& e) {
        std::fprintf(stderr, "%s: %s\n", sourcePath, e.what());
        return 1;
    }
    return writeFile(outPath, movie) ? 0 : 1;
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

// Data files come from the movie's folder. Shared objects persist per movie
// file name under LUMBRA_SHARED_OBJECTS when it is set; otherwise they last
// for the run only, so playing a movie twice prints the same both times.
lumbra::movie::HeadlessFolders foldersOf(const char* path)
{
    namespace fs = std::filesystem;
    std::error_code error;
    fs::path movie = fs::absolute(fs::path(path), error);
    fs::path store;
    if (const char* chosen = std::getenv("LUMBRA_SHARED_OBJECTS"); chosen && *chosen)
        store = fs::path(chosen) / movie.filename();
    return {movie.parent_path(), store};
}

int play(const char* path, long frames)
{
    std::string bytes;
    if (!readFile(path, bytes)) {
        std::fprintf(stderr, "lumbra-movie: cannot read %s\n", path);
        return 1;
    }
    auto error = lumbra::movie::playHeadless({reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()},
                                             frames, [](std::string_view line) {
                                                 std::fwrite(line.data(), 1, line.size(), stdout);
                                             },
                                             foldersOf(path));
    std::fflush(stdout);
    if (error) {
        std::fprintf(stderr, "lumbra-movie: %s: %s\n", path, error->c_str());
        return 1;
    }
    return 0;
}

bool positiveNumber(const std::string& text, long& value)
{
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size() && value >= 1;
}

// "--frames N" with N a positive count; the movie's own frame count when absent.
bool playFrames(const std::vector<std::string>& args, long& frames)
{
    frames = -1;
    for (std::size_t i = 2; i < args.size(); i += 2)
        if (args[i] != "--frames" || i + 1 >= args.size() || !positiveNumber(args[i + 1], frames))
            return false;
    return true;
}

// "--version N" (8 when absent) and "--frames N" (1 when absent) after the
// two file names.
bool compileOptions(const std::vector<std::string>& args, long& version, long& frames)
{
    version = 8;
    frames = 1;
    for (std::size_t i = 3; i < args.size(); i += 2) {
        if (i + 1 >= args.size())
            return false;
        if (args[i] == "--version") {
            if (!positiveNumber(args[i + 1], version) || version < lumbra::actionscript::kMinVersion
                || version > lumbra::actionscript::kMaxVersion)
                return false;
        } else if (args[i] != "--frames" || !positiveNumber(args[i + 1], frames) || frames > 0xFFFF) {
            return false;
        }
    }
    return true;
}

constexpr const char* usageText =
    "usage: lumbra-movie build DESCRIPTION OUT.swf\n"
    "       lumbra-movie info MOVIE.swf\n"
    "       lumbra-movie play MOVIE.swf [--frames N]\n"
    "       lumbra-movie compile SOURCE.as OUT.swf [--version N] [--frames N]\n"
    "       lumbra-movie COMMAND --help\n";

constexpr const char* buildHelp =
    "usage: lumbra-movie build DESCRIPTION OUT.swf\n"
    "\n"
    "Writes the movie a text description describes: its size, rate and\n"
    "background, shapes, texts, buttons and frames with their actions. The\n"
    "description language is in tools/movie/FORMAT.md. An error names the\n"
    "description's line.\n";

constexpr const char* infoHelp =
    "usage: lumbra-movie info MOVIE.swf\n"
    "\n"
    "Prints a movie's version, size in pixels, frame rate, frame count and\n"
    "background colour.\n";

constexpr const char* playHelp =
    "usage: lumbra-movie play MOVIE.swf [--frames N]\n"
    "\n"
    "Plays a movie without a window for N frames (the movie's frame count\n"
    "when not given; the first frame is the load) and writes each trace text\n"
    "followed by a line feed to standard output, carriage returns inside a\n"
    "text becoming line feeds. fscommand(\"quit\") ends the run after its\n"
    "frame. Status 0 when the movie played, 1 with a message when it could\n"
    "not be loaded. The movie's scripts load data files from the movie's own\n"
    "folder or below it. SharedObject data lasts for the run only, unless\n"
    "LUMBRA_SHARED_OBJECTS names a folder to keep it in (one folder per movie\n"
    "file name).\n";

constexpr const char* compileHelp =
    "usage: lumbra-movie compile SOURCE.as OUT.swf [--version N] [--frames N]\n"
    "\n"
    "Compiles ActionScript 1.0 source (UTF-8) into a movie of version N (5 to\n"
    "10, 8 when not given) whose first frame's actions are the code. A line\n"
    "that reads #frame starts the next frame's script, #label NAME names the\n"
    "frame, #initclip ... #endinitclip holds its init actions and #clip NAME\n"
    "... #endclip places a clip NAME running the script between. --frames N\n"
    "makes the movie at least N frames long. An error names the source's\n"
    "line. See tools/actionscript/README.md.\n";

bool isHelp(const std::string& word)
{
    return word == "--help" || word == "-h";
}

} // namespace

int main(int argc, char** argv)
{
    std::vector<std::string> args(argv + 1, argv + argc);
    std::string command = args.empty() ? "" : args[0];
    bool help = std::ranges::any_of(args, isHelp);
    if (help && (command == "build" || command == "info" || command == "play" || command == "compile")) {
        std::fputs(command == "build"     ? buildHelp
                   : command == "info"    ? infoHelp
                   : command == "compile" ? compileHelp
                                          : playHelp,
                   stdout);
        return 0;
    }
    if (help || command == "help") {
        std::fputs(usageText, stdout);
        return 0;
    }
    if (command == "build" && args.size() == 3)
        return build(argv[2], argv[3]);
    if (command == "info" && args.size() == 2)
        return info(argv[2]);
    long frames = 0;
    if (command == "play" && args.size() >= 2 && playFrames(args, frames))
        return play(argv[2], frames);
    long version = 0;
    if (command == "compile" && args.size() >= 3 && compileOptions(args, version, frames))
        return compile(argv[2], argv[3], int(version), frames);
    std::string problem = command.empty() ? "no command given"
                          : command == "play" ? "play takes a movie file name and optionally --frames N"
                          : command == "compile"
                              ? "compile takes a source and a movie file name, optionally --version N (5 to 10) "
                                "and --frames N"
                          : command != "build" && command != "info"
                              ? "unknown command " + command
                              : command + " takes " + (command == "build" ? "two" : "one") + " file names";
    std::fprintf(stderr, "lumbra-movie: %s (see lumbra-movie --help)\n", problem.c_str());
    return 2;
}
