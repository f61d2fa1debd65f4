// The strings of one action block, numbered in order of first use. A push of
// a pooled string takes one or two bytes instead of the whole text; the pool
// itself is written once, ahead of the block's code, and the block's
// functions read the same pool.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace lumbra::actionscript {

class ConstantPool {
public:
    // The string's index, or nothing once the pool is full (the record that
    // holds it has a 16-bit length); such strings are pushed as text.
    std::optional<std::uint16_t> indexOf(std::string_view text);

    bool empty() const { return strings_.empty(); }
    // The ConstantPool record.
    std::vector<std::uint8_t> record() const;

private:
    std::vector<std::string> strings_;
    std::unordered_map<std::string, std::uint16_t> indexes_;
    std::size_t bodySize_ = 2; // the count, then each string and its NUL
};

} // namespace lumbra::actionscript
