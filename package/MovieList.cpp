#include "package/MovieList.h"

#include "package/FileOutput.h"
#include "package/PackageBlocks.h"
#include "package/PackageResources.h"
#include "package/PackagePaths.h"

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

void addEmbedded(const MovieRecord& record, const std::filesystem::path& workingFolder, MovieList& list)
{
    std::filesystem::path folder = workingFolder;
    if (record.kind == MovieEntry::plugIn) {
        folder /= "Plug_Ins";
        std::error_code ignored;
        std::filesystem::create_directory(folder, ignored);
    }
    auto target = pathInside(folder, record.name);
    if (!target)
        throw PlayerException("Invalid file name in the package: " + record.name);
    PathText path = entryPath(*target);
    if (!writeWholeFile(*target, record.content))
        throw PlayerException("Cannot write " + path.str());
    list.entries.push_back({path, record.kind});
}

} // namespace

MovieList loadMovieList(const ResourceSource& resources, const std::filesystem::path& workingFolder,
                        const std::filesystem::path& programFile, ErrorReporter& reporter)
{
    MovieList list;
    auto block = loadPackedResource(resources, packageResourceType, "ML", reporter);
    if (!block)
        return list;
    auto record = readMovieListRecord(*block);
    list.flags = record.flags;
    try {
        std::filesystem::path programFolder = programFile.parent_path();
        for (const MovieRecord& entry : record.entries) {
            if (list.flags & MovieList::embedded)
                addEmbedded(entry, workingFolder, list);
            else if (entry.kind == MovieEntry::movie)
                list.entries.push_back({entryPath(programFolder / pathFromAnsi(entry.name)), entry.kind});
        }
        if (record.error)
            reporter.report(*record.error);
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
