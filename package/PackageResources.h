// Reading the package's resources: raw copies and packed blocks.
#pragma once

#include "package/ErrorReporter.h"
#include "package/PackedBlock.h"
#include "package/ResourceSource.h"

#include <string_view>

namespace lumbra {

// Resource types of the package.
inline constexpr std::string_view packageResourceType = "LUMBRA";
inline constexpr std::string_view supportResourceType = "SUPPORT";
inline constexpr std::string_view scriptResourceType = "ORVET";

// A copy of a resource. Missing or empty: PlayerException with the system's
// message for the last error.
Bytes readResource(const ResourceSource& source, std::string_view type, std::string_view name);

// Finds and unpacks a packed resource. A missing resource throws
// PlayerException (left to the caller); a damaged block is reported and gives
// std::nullopt.
std::optional<Bytes> loadPackedResource(const ResourceSource& source, std::string_view type, std::string_view name,
                                        ErrorReporter& reporter);

// The same without any message; used for the Flash control, whose absence
// falls back to the installed one.
std::optional<Bytes> loadPackedResourceSilently(const ResourceSource& source, std::string_view type,
                                                std::string_view name);

} // namespace lumbra
