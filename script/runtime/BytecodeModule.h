// A compiled Orvet image ("OV1b") loaded into memory: its sections, found by
// type, and the constant base it received when it was linked into a context.
//
// Image layout: an optional first line beginning with "#" (skipped), then the
// little-endian magic, a directory of little-endian (type word, offset,
// length) triples ended by a type word 0xFFFFFFFF, and the section bytes.
// Offsets count from the magic. Only the low byte of a type word is the type.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <optional>
#include <vector>

namespace orvet {

inline constexpr std::uint32_t kImageMagic = 0x6231564F; // "OV1b" read little-endian
inline constexpr std::uint32_t kDirectoryEnd = 0xFFFFFFFF;

enum class SectionType : std::uint8_t {
    Code = 0,
    Constants = 1,
    Functions = 2,
    Lines = 3,
};

// Tags of constant records (section 1): the value kind each one produces.
enum class ConstantTag : std::uint8_t {
    Null = 1,
    Boolean = 2,
    Integer = 3,
    String = 4,
    Number = 5,
    Name = 10,
    RegExp = 11,
    NaN = 13,
};

// Tags of line-table records (section 3).
enum class LineTag : std::uint8_t {
    SourceName = 1,
    Offset = 2,
};

// Flag bits of a regular-expression constant.
inline constexpr std::uint8_t kRegExpGlobal = 1;
inline constexpr std::uint8_t kRegExpIgnoreCase = 2;
inline constexpr std::uint8_t kRegExpMultiline = 4;

struct ModuleSection {
    std::uint8_t type = 0;    // the masked low byte of the type word
    std::uint32_t length = 0; // in bytes
    // A copy of the section, one byte longer than length; the extra byte is 0,
    // so a NUL-terminated text at the very end cannot run past the buffer.
    std::unique_ptr<std::uint8_t[]> bytes;

    const std::uint8_t* data() const { return bytes.get(); }
};

struct BytecodeModule {
    std::vector<ModuleSection> sections; // in directory order

    // Where this module's constants start in the context's constant table;
    // set by the first link, so that a second link reuses it.
    std::optional<std::uint32_t> constantBase;

    std::uint32_t sectionCount() const { return static_cast<std::uint32_t>(sections.size()); }

    // The first section of the type (the linker's choice for code, constants
    // and functions), or nullptr.
    const ModuleSection* firstSection(SectionType type) const;
    // The last section of the type (the linker's choice for lines), or nullptr.
    const ModuleSection* lastSection(SectionType type) const;
};

// Freeing a module releases its section buffers: a plain unique_ptr.
using ModulePtr = std::unique_ptr<BytecodeModule>;

// Loads an image from memory. Returns nullptr for anything that is not a
// well-formed image; writes no message.
ModulePtr loadModule(const std::uint8_t* data, std::size_t length);

// Loads an image from a stream positioned at the file start (opened "rb").
// Returns nullptr on a malformed image or a short read; writes no message.
ModulePtr loadModule(std::FILE* stream);

} // namespace orvet
