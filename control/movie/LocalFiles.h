// Data files a movie's scripts ask for (XML.load, LoadVars.load,
// loadVariables, SharedObject): they come only from the movie's own folder or
// below it, never from a network and never through "..", so a movie cannot
// read what its author did not ship beside it.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lumbra::movie {

// Data files larger than this are refused: nothing a movie loads comes near it.
inline constexpr std::uintmax_t kMaxDataFileSize = 16u << 20;

// Whether the URL names another scheme than file: (http:, ftp:, ...).
bool isNetworkUrl(std::u16string_view url);

// The file that `url` names inside `folder`: a relative path (either slash,
// percent escapes in UTF-8, a query or fragment after ? or # ignored) or a
// file: URL / absolute path that lies inside the folder. Nothing for network
// URLs and for anything outside the folder.
std::optional<std::filesystem::path> fileInFolder(const std::filesystem::path& folder, std::u16string_view url);

// The whole file, or nothing when it cannot be read or is too long.
std::optional<std::vector<std::uint8_t>> readDataFile(const std::filesystem::path& file);

} // namespace lumbra::movie
