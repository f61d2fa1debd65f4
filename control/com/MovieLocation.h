// Where a movie named by the `Movie` property or LoadMovie lives, and reading
// it from there.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lumbra::com {

// The file path that `location` names: a local path, or a file: URL with
// percent escapes (file:///C:/a.swf, file://C:/a.swf, file://server/share/a.swf).
// A relative location is taken relative to `base` (a folder as path or file:
// URL; empty: the current folder). Nothing for other URL schemes.
std::optional<std::u16string> resolveMovieLocation(std::u16string_view location,
                                                   std::u16string_view base);

// Whether `location` (relative to `base`) is on a network: a URL of another
// scheme than file:, which the control does not fetch.
bool isNetworkLocation(std::u16string_view location, std::u16string_view base);

// Movie files are at most this long (the format's own length field is 32 bits,
// but nothing we play comes near this).
inline constexpr std::uint64_t kMaxMovieFileSize = 64u << 20;

// The whole file, or nothing when it cannot be read or is too long.
std::optional<std::vector<std::uint8_t>> readMovieFile(const std::u16string& path);

} // namespace lumbra::com
