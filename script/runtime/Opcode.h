// Orvet bytecode instruction set: opcode numbers, mnemonics, operand forms
// and stack effects, all derived from the one list in OpcodeList.h. The
// compiler writes these, the linker translates them into word code and the
// disassembler prints them.
#pragma once

#include <cstdint>
#include <string_view>

#include "script/runtime/OpcodeList.h"

namespace orvet {

// The operand that follows the opcode byte in a compiled image. Multi-byte
// operands are big-endian; jump displacements are signed and counted from the
// first byte after the jump instruction.
enum class OperandForm : std::uint8_t {
    None,       // no operand
    Byte,       // 1 byte
    Short,      // 2 bytes
    Int32,      // 4 bytes, a signed integer
    Jump,       // 4 bytes, a signed displacement
    Identifier, // 4 bytes, index of a name constant of the module
    Literal,    // 4 bytes, index of an integer, string, number or regexp constant
};

enum class Opcode : std::uint8_t {
#define ORVET_OPCODE_ENUM(name, number, form, takes, leaves) name = number,
    ORVET_OPCODES(ORVET_OPCODE_ENUM)
#undef ORVET_OPCODE_ENUM
};

inline constexpr std::uint8_t kFirstOpcode = 0x21;
inline constexpr std::uint8_t kLastOpcode = 0x70;

constexpr bool isOpcode(std::uint8_t byte)
{
    return byte >= kFirstOpcode && byte <= kLastOpcode;
}

constexpr OperandForm operandForm(Opcode op)
{
    switch (op) {
#define ORVET_OPCODE_FORM(name, number, form, takes, leaves) \
    case Opcode::name: return OperandForm::form;
        ORVET_OPCODES(ORVET_OPCODE_FORM)
#undef ORVET_OPCODE_FORM
    }
    return OperandForm::None;
}

// Bytes taken by an operand of the given form in a compiled image.
constexpr unsigned operandSize(OperandForm form)
{
    switch (form) {
    case OperandForm::None: return 0;
    case OperandForm::Byte: return 1;
    case OperandForm::Short: return 2;
    default: return 4;
    }
}

// Encoded size of a whole instruction: the opcode byte and its operand.
constexpr unsigned instructionSize(Opcode op)
{
    return 1 + operandSize(operandForm(op));
}

// What an instruction does to the operand stack: how many values it takes
// and how many it leaves (see OpcodeList.h for how calls are counted).
struct StackUse {
    int pops;
    int pushes;

    int effect() const { return pushes - pops; }
};

// operand is the instruction's numeric operand where the answer depends on
// it (LOCALS, ROLL, NIP, DROP).
StackUse stackUse(Opcode op, std::int64_t operand);

// The interpreter's mnemonic, e.g. "PUSH_CONST".
std::string_view opcodeName(Opcode op);

} // namespace orvet
