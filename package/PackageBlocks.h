// The packager's side of the ML and RG records (before packing).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace lumbra {

struct MovieRecord {
    std::uint32_t kind = 1;
    std::string name; // ANSI file name
    std::vector<std::uint8_t> content; // written only for an embedded list
};

// flags 0x2 (embedded) stores each entry's content after its name.
std::vector<std::uint8_t> writeMovieListRecord(std::uint32_t flags, const std::vector<MovieRecord>& entries);

struct MaskRecord {
    std::string name; // without ".msk"
    std::vector<std::uint8_t> content;
};

std::vector<std::uint8_t> writeMaskRecord(const std::vector<MaskRecord>& masks);

} // namespace lumbra
