#include "package/PackageBlocks.h"

#include "package/ByteReader.h"
#include "package/ByteWriter.h"
#include "package/MovieList.h"
#include "package/StoredText.h"

namespace lumbra {

namespace {

std::vector<std::uint8_t> copy(std::span<const std::uint8_t> bytes) { return {bytes.begin(), bytes.end()}; }

} // namespace

RecordEntries<MovieRecord> readMovieListRecord(std::span<const std::uint8_t> record)
{
    RecordEntries<MovieRecord> result;
    try {
        ByteReader in(record);
        result.flags = in.u32();
        std::uint32_t count = in.u32();
        for (std::uint32_t i = 0; i < count; ++i) {
            MovieRecord entry;
            entry.kind = in.u32();
            entry.name = readStoredText(in).value_or("");
            if (result.flags & MovieList::embedded)
                entry.content = copy(in.bytes(in.u32()));
            result.entries.push_back(std::move(entry));
        }
    } catch (const PlayerException& error) {
        result.error = error.message();
    }
    return result;
}

RecordEntries<MaskRecord> readMaskRecord(std::span<const std::uint8_t> record)
{
    RecordEntries<MaskRecord> result;
    try {
        ByteReader in(record);
        std::uint32_t count = in.u32();
        for (std::uint32_t i = 0; i < count; ++i) {
            MaskRecord mask;
            mask.name = readStoredText(in).value_or("");
            mask.content = copy(in.bytes(in.u32()));
            result.entries.push_back(std::move(mask));
        }
    } catch (const PlayerException& error) {
        result.error = error.message();
    }
    return result;
}

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
