// Paths of the files the package layer writes. Names come from package
// records and are untrusted: a name that is empty, absolute, carries a drive
// or a ".." component never yields a path, so nothing lands outside the
// working folder. "\" and "/" both separate folders, as on Windows.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace lumbra {

std::filesystem::path pathFromAnsi(std::string_view ansi);
std::string ansiFromPath(const std::filesystem::path& path);

bool isSafeRelativeName(std::string_view name);

// folder plus name, or nothing when the name is not safe.
std::optional<std::filesystem::path> pathInside(const std::filesystem::path& folder, std::string_view name);

} // namespace lumbra
