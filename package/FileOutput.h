// Writing a whole file at once: created or truncated; a file that could not
// be written completely is removed again, so no partial file is left behind.
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>

namespace lumbra {

bool writeWholeFile(const std::filesystem::path& path, std::span<const std::uint8_t> bytes);

} // namespace lumbra
