// The packaged movies and files (LUMBRA/ML) and the choice of the first movie.
#pragma once

#include "package/ErrorReporter.h"
#include "package/FixedText.h"
#include "package/ResourceSource.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace lumbra {

struct MovieEntry {
    static constexpr std::uint32_t movie = 1;
    static constexpr std::uint32_t plugIn = 2; // any other kind: another packaged file

    PathText path; // absolute ANSI path
    std::uint32_t kind = 0;

    friend bool operator==(const MovieEntry&, const MovieEntry&) = default;
};

struct MovieList {
    static constexpr std::uint32_t randomFirst = 0x1;
    static constexpr std::uint32_t embedded = 0x2; // files extracted to the working folder

    std::vector<MovieEntry> entries;
    std::uint32_t flags = 0;

    int count() const { return int(entries.size()); }
};

// Reads LUMBRA/ML. Embedded entries are written to the working folder
// (kind 2 into its "Plug_Ins" folder); external ones are the movies (kind 1
// only) beside the program file. An unreadable block leaves the list empty;
// a failed entry (damaged block, unsafe name, file not written) is reported
// and ends the loading, keeping the entries before it. A missing ML resource
// throws PlayerException.
MovieList loadMovieList(const ResourceSource& resources, const std::filesystem::path& workingFolder,
                        const std::filesystem::path& programFile, ErrorReporter& reporter);

// The entries of kind 1, in order.
std::vector<MovieEntry> movies(const MovieList& list);

// The script's "onGetMovie" handler: a path, or nothing to leave the choice
// to the list.
using MovieHook = std::function<std::optional<std::string>()>;

// The hook's answer if it gives one; else a random entry when the list asks
// for it (random() % count, any kind); else the first entry; "" when empty.
std::string chooseFirstMovie(const MovieList& list, const MovieHook& onGetMovie = {},
                             const std::function<std::uint32_t()>& random = {});

} // namespace lumbra
