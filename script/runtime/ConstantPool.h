// The constant pool of one compilation: each distinct constant gets an index
// (from 0, in order of first use) and one record in the constants section.
// Keys are texts per kind, so the integer 7 and the number 7.0 are two
// constants; two doubles share one only when their bits are equal.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <variant>

#include "script/runtime/ByteStream.h"

namespace orvet {

// Converts 8-bit text of the system code page to UTF-16.
using AnsiDecoder = std::function<std::u16string(std::string_view)>;

struct StringConstant {
    std::string text; // 8-bit source text
};

struct RegExpConstant {
    std::string pattern; // 8-bit source text
    std::uint8_t flags = 0; // kRegExpGlobal | kRegExpIgnoreCase | kRegExpMultiline
};

// A constant pushed by PUSH_CONST.
using LiteralConstant = std::variant<std::int64_t, double, StringConstant, RegExpConstant>;

class ConstantPool {
public:
    explicit ConstantPool(AnsiDecoder decoder) : decoder_(std::move(decoder)) {}

    std::uint32_t identifier(std::string_view name);
    std::uint32_t literal(const LiteralConstant& constant);

    std::uint32_t count() const { return static_cast<std::uint32_t>(index_.size()); }
    // The constants section: one record per constant, in index order.
    const ByteStream& records() const { return records_; }

private:
    // Looks the key up; when it is new, assigns the next index and lets
    // writeRecord append its record.
    template <typename WriteRecord>
    std::uint32_t intern(char kind, std::string_view keyText, WriteRecord writeRecord);
    void writeUtf16(std::string_view ansiText);

    AnsiDecoder decoder_;
    std::unordered_map<std::string, std::uint32_t> index_; // kind byte + key text
    ByteStream records_ = ByteStream::memory();
};

} // namespace orvet
