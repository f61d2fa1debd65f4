#include "package/MovieList.h"

#include "package/ByteReader.h"
#include "package/FileOutput.h"
#include "package/PackageResources.h"
#include "package/PackagePaths.h"
#include "package/StoredText.h"

#include <chrono>
#include <random>

namespace lumbra {

namespace {

PathText entryPath(const std::filesystem::path& path)
{
    std::string text = ansiFromPath(path);
    if (text.size() > PathText::capacity)
        throw PlayerException("Path too long: " + text);
    return PathText(text);
}

void readEmbedded(ByteReader& in, std::uint32_t count, const std::filesystem::path& workingFolder, MovieList& list)
{
    for (std::uint32_t i = 0; i < count; ++i) {
        std::uint32_t kind = in.u32();
        std::string name = readStoredText(in).value_or("");
        std::filesystem::path folder = workingFolder;
        if (kind == MovieEntry::plugIn) {
            folder /= "Plug_Ins";
            std::error_code ignored;
            std::filesystem::create_directory(folder, ignored);
        }
        auto target = pathInside(folder, name);
        if (!target)
            throw PlayerException("Invalid file name in the package: " + name);
        PathText path = entryPath(*target);
        auto content = in.bytes(in.u32());
        if (!writeWholeFile(*target, content))
            throw PlayerException("Cannot write " + path.str());
        list.entries.push_back({path, kind});
    }
}

void readExternal(ByteReader& in, std::uint32_t count, const std::filesystem::path& programFile, MovieList& list)
{
    std::filesystem::path folder = programFile.parent_path();
    for (std::uint32_t i = 0; i < count; ++i) {
        std::uint32_t kind = in.u32();
        std::string name = readStoredText(in).value_or("");
        if (kind == MovieEntry::movie)
            list.entries.push_back({entryPath(folder / pathFromAnsi(name)), kind});
    }
}

} // namespace

MovieList loadMovieList(const ResourceSource& resources, const std::filesystem::path& workingFolder,
                        const std::filesystem::path& programFile, ErrorReporter& reporter)
{
    MovieList list;
    auto block = loadPackedResource(resources, packageResourceType, "ML", reporter);
    if (!block)
        return list;
    try {
        ByteReader in(*block);
        list.flags = in.u32();
        std::uint32_t count = in.u32();
        if (list.flags & MovieList::embedded)
            readEmbedded(in, count, workingFolder, list);
        else
            readExternal(in, count, programFile, list);
    } catch (const PlayerException& error) {
        reporter.report(error.message());
    }
    return list;
}

std::vector<MovieEntry> movies(const MovieList& list)
{
    std::vector<MovieEntry> result;
    for (const MovieEntry& entry : list.entries)
        if (entry.kind == MovieEntry::movie)
            result.push_back(entry);
    return result;
}

std::string chooseFirstMovie(const MovieList& list, const MovieHook& onGetMovie,
                             const std::function<std::uint32_t()>& random)
{
    if (onGetMovie)
        if (auto path = onGetMovie())
            return *path;
    if (list.entries.empty())
        return "";
    if (list.flags & MovieList::randomFirst) {
        std::uint32_t draw;
        if (random) {
            draw = random();
        } else {
            std::minstd_rand generator(std::uint32_t(std::chrono::system_clock::now().time_since_epoch().count()));
            draw = std::uint32_t(generator());
        }
        return list.entries[draw % list.entries.size()].path.str();
    }
    return list.entries.front().path.str();
}

} // namespace lumbra
