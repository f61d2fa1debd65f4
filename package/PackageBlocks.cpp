#include "package/PackageBlocks.h"

#include "package/ByteWriter.h"
#include "package/MovieList.h"
#include "package/StoredText.h"

namespace lumbra {

std::vector<std::uint8_t> writeMovieListRecord(std::uint32_t flags, const std::vector<MovieRecord>& entries)
{
    ByteWriter out;
    out.u32(flags);
    out.u32(std::uint32_t(entries.size()));
    for (const MovieRecord& entry : entries) {
        out.u32(entry.kind);
        writeStoredText(out, entry.name);
        if (flags & MovieList::embedded) {
            out.u32(std::uint32_t(entry.content.size()));
            out.bytes(entry.content);
        }
    }
    return out.release();
}

std::vector<std::uint8_t> writeMaskRecord(const std::vector<MaskRecord>& masks)
{
    ByteWriter out;
    out.u32(std::uint32_t(masks.size()));
    for (const MaskRecord& mask : masks) {
        writeStoredText(out, mask.name);
        out.u32(std::uint32_t(mask.content.size()));
        out.bytes(mask.content);
    }
    return out.release();
}

} // namespace lumbra
