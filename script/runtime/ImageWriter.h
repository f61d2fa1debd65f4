// Writes a compiled image ("OV1b") from a finished instruction sequence: the
// code generator walks its instruction list in order and hands each function
// label and instruction over; finish() lays out header and sections.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>

#include "script/runtime/ByteStream.h"
#include "script/runtime/ConstantPool.h"
#include "script/runtime/Opcode.h"

namespace orvet {

struct IdentifierOperand {
    std::string name;
};

// The operand of one instruction: nothing, a number (byte, 16-bit, 32-bit or
// jump displacement, as the opcode's form says), a name or a literal constant.
using ImageOperand = std::variant<std::monostate, std::int64_t, IdentifierOperand, LiteralConstant>;

class ImageWriter {
public:
    // With debugInfo the line section gets the source name and the line
    // records; without, it stays empty.
    ImageWriter(bool debugInfo, std::string_view sourceName, AnsiDecoder decoder);

    // A function starts at the given code offset.
    void function(std::string_view name, std::uint32_t offset);
    // An instruction at the given code offset, from the given source line.
    void instruction(Opcode op, int line, std::uint32_t offset, const ImageOperand& operand);

    // The whole image: header, code, constants, functions and, with debug
    // information, lines.
    ByteStream finish();

private:
    void writeOperand(Opcode op, const ImageOperand& operand);

    bool debugInfo_;
    ByteStream code_ = ByteStream::memory();
    ByteStream functions_ = ByteStream::memory();
    ByteStream lines_ = ByteStream::memory();
    ConstantPool constants_;
    std::uint32_t functionCount_ = 0;
    int lastLine_ = 0;
};

} // namespace orvet
