// The path of a special folder on this system, without a trailing backslash
// (some systems end shell folders with one, others not); none when the
// folder has no file-system path.
#pragma once

#include <optional>
#include <string>

#include "host/SpecialFolders.h"

namespace lumbra::host {

std::optional<std::wstring> specialFolderPath(const SpecialFolder& folder);

} // namespace lumbra::host
