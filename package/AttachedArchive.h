// The archive appended to the program file: "SAF\0", a root folder entry
// named "Application", then u32 B and a non-zero u32 presence word; the
// magic sits B bytes before B itself. An entry is u32 folder flag, name text,
// u32 content size and the content: a folder's children, or a file's zlib
// stream followed by the u32 CRC-32 of the unpacked bytes.
#pragma once

#include "package/ErrorReporter.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lumbra {

// The absolute path of an additional file or folder ("/" reads as "\"),
// extracted on first request into the working folder's "_extra" folder, or
// taken from the program's folder when the program has no archive. A folder
// is extracted whole and its path ends in a separator. Every failure gives an
// empty path; errors are reported, a file whose CRC-32 does not match is
// deleted. A path that is absolute or climbs out with ".." gives nothing.
std::filesystem::path extractAdditionalFile(const std::filesystem::path& programFile, std::string_view relativePath,
                                            const std::filesystem::path& workingFolder, ErrorReporter& reporter);

// The archive's tree, for inspection. Nothing when the program has no
// archive; PlayerException when the file cannot be read, or the archive is
// damaged (a root that does not fit, an entry running past its folder) or
// nested too deeply.
struct ArchiveNode {
    std::string name;
    bool folder = false;
    std::uint32_t storedSize = 0; // content size as stored
    std::vector<ArchiveNode> children;
};
std::optional<ArchiveNode> readArchiveTree(const std::filesystem::path& programFile);

// Extracts the whole archive into the folder (its root's children become the
// folder's). False when the program has no archive; PlayerException on damage.
bool extractArchive(const std::filesystem::path& programFile, const std::filesystem::path& folder);

// Where the appended archive begins in the file, or nothing without one: the
// packager cuts it off before packaging the program again.
std::optional<std::uint64_t> archiveStart(const std::filesystem::path& programFile);

// The packager's side: the bytes to append to a program so that the folder's
// files and subfolders become its archive.
std::vector<std::uint8_t> buildArchive(const std::filesystem::path& folder, int level = 9);

} // namespace lumbra
