// Reading and rewriting the resource section of a PE image. The reader
// survives any input: every offset is checked, the directory is at most three
// levels deep and the amount of data it hands out is bounded by the image.
#pragma once

#include "package/ResourceTable.h"

#include <span>

namespace lumbra {

// All resources of the image. Throws PlayerException on a malformed image or
// resource directory. An image without resources gives an empty table.
ResourceTable readPeResources(std::span<const std::uint8_t> image);

// The image with its resources replaced by the table (which normally starts
// as readPeResources of the same image, so icons, dialogs, menus, version
// and accelerators survive). A resource section that is the image's last
// section is rebuilt in place; otherwise a new section is added. Bytes after
// the sections (symbols) are kept; a signature is dropped, since it no longer
// holds. Throws PlayerException when the image cannot take the new section.
std::vector<std::uint8_t> writePeResources(std::span<const std::uint8_t> image, const ResourceTable& table);

} // namespace lumbra
