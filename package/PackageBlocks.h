// The ML (movie list) and RG (masks) records, after unpacking: readers that
// the loaders and the packager's inspection share, and the packager's writers.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace lumbra {

// An ML entry as stored; content is present only in an embedded list.
struct MovieRecord {
    std::uint32_t kind = 1;
    std::string name; // ANSI
    std::vector<std::uint8_t> content;
};

struct MaskRecord {
    std::string name; // without ".msk"
    std::vector<std::uint8_t> content;
};

// A record read as far as it goes: the entries before the first damaged one,
// and the error that stopped the reading, if any. Counts and sizes are
// checked against the bytes present before anything is allocated.
template <typename Entry>
struct RecordEntries {
    std::uint32_t flags = 0; // ML only
    std::vector<Entry> entries;
    std::optional<std::string> error;
};

RecordEntries<MovieRecord> readMovieListRecord(std::span<const std::uint8_t> record);
RecordEntries<MaskRecord> readMaskRecord(std::span<const std::uint8_t> record);

// flags 0x2 (embedded) stores each entry's content after its name.
std::vector<std::uint8_t> writeMovieListRecord(std::uint32_t flags, const std::vector<MovieRecord>& entries);
std::vector<std::uint8_t> writeMaskRecord(const std::vector<MaskRecord>& masks);

} // namespace lumbra
