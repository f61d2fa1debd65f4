// A small assembler for compiled images, so tests can build exactly the code
// they need: constants, functions, instructions with label-based jumps and an
// optional line table.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "script/runtime/Opcode.h"

namespace orvet::test {

class ImageBuilder {
public:
    using Label = int;

    // Constant records; each returns the constant's index (names are shared).
    std::uint32_t name(std::string_view text);
    std::uint32_t integer(std::int64_t value);
    std::uint32_t number(double value);
    std::uint32_t string(std::u16string_view text);
    std::uint32_t regexp(std::u16string_view pattern, std::uint8_t flags);
    // A raw constant record (tag and payload).
    std::uint32_t rawConstant(std::vector<std::uint8_t> record);

    // Starts a function at the current code position.
    ImageBuilder& function(std::string_view functionName);
    // A function table entry at any offset (for malformed tables).
    ImageBuilder& functionAt(std::string_view functionName, std::uint32_t offset);
    // The standard prologue of a function with `params` parameters and
    // `locals` local slots.
    ImageBuilder& prologue(int params, int locals = 0);

    ImageBuilder& op(Opcode code);
    // An instruction with a numeric operand (byte, 16-bit, 32-bit, or a raw
    // constant index for identifier and literal forms).
    ImageBuilder& op(Opcode code, std::int64_t operand);
    // An instruction with an identifier operand.
    ImageBuilder& op(Opcode code, std::string_view identifier);
    ImageBuilder& pushInt(std::int64_t value);
    ImageBuilder& pushString(std::u16string_view text);
    ImageBuilder& pushNumber(double value);

    Label label();
    ImageBuilder& bind(Label l);
    ImageBuilder& jump(Opcode code, Label target);
    // Raw bytes into the code section.
    ImageBuilder& bytes(std::vector<std::uint8_t> raw);
    // A line record for the instruction just written.
    ImageBuilder& line(std::uint32_t number);
    ImageBuilder& sourceName(std::string_view name);

    std::uint32_t codeSize() const { return static_cast<std::uint32_t>(code_.size()); }
    std::vector<std::uint8_t> build() const;

private:
    struct Fixup {
        std::size_t at;     // operand position in code_
        std::size_t end;    // byte after the jump
        Label target;
    };

    std::vector<std::uint8_t> constants_;
    std::uint32_t constantCount_ = 0;
    std::map<std::string, std::uint32_t, std::less<>> names_;
    std::vector<std::uint8_t> code_;
    std::vector<std::pair<std::string, std::uint32_t>> functions_;
    std::vector<std::uint8_t> lines_;
    std::vector<std::int64_t> labels_;
    std::vector<Fixup> fixups_;
};

} // namespace orvet::test
