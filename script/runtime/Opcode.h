// Orvet bytecode instruction set: opcode numbers, mnemonics and the operand
// form of each opcode. The compiler writes these, the linker translates them
// into word code and the disassembler prints them.
#pragma once

#include <cstdint>
#include <string_view>

namespace orvet {

enum class Opcode : std::uint8_t {
    CALL_NAME = 0x21,
    GET_NAME = 0x22,
    ADD2 = 0x23,
    INC = 0x24,
    JUMP_IF_TRUE_BOOL = 0x25,
    JUMP_IF_FALSE_BOOL = 0x26,
    THROW = 0x27,
    END_TRY = 0x28,
    TRY = 0x29,
    WITH_POP = 0x2A,
    WITH_PUSH = 0x2B,
    GET_FRAME_SLOT = 0x2C,
    ARGS = 0x2D,
    LOCALS = 0x2E,
    DELETE_ELEM = 0x2F,
    DELETE_PROP = 0x30,
    NEW = 0x31,
    TYPEOF = 0x32,
    RETURN = 0x33,
    CALL = 0x34,
    JUMP = 0x35,
    CALL_METHOD = 0x36,
    JUMP_IF_TRUE = 0x37,
    JUMP_IF_FALSE = 0x38,
    USHR = 0x39,
    SHR = 0x3A,
    SHL = 0x3B,
    BIT_XOR = 0x3C,
    BIT_OR = 0x3D,
    NOT = 0x3E,
    BIT_AND = 0x3F,
    NEG = 0x40,
    MOD = 0x41,
    DIV = 0x42,
    MUL = 0x43,
    ADD = 0x44,
    SUB = 0x45,
    STRICT_NE = 0x46,
    STRICT_EQ = 0x47,
    GE = 0x48,
    LE = 0x49,
    GT = 0x4A,
    LT = 0x4B,
    NE = 0x4C,
    EQ = 0x4D,
    ITER_NEXT = 0x4E,
    SET_ELEM = 0x4F,
    GET_ELEM = 0x50,
    SET_PROP = 0x51,
    GET_PROP = 0x52,
    SET_LOCAL = 0x53,
    GET_LOCAL = 0x54,
    SET_ARG = 0x55,
    GET_ARG = 0x56,
    SET_GLOBAL = 0x57,
    GET_GLOBAL = 0x58,
    PUSH_INT = 0x59,
    PUSH_3 = 0x5A,
    PUSH_2 = 0x5B,
    PUSH_1 = 0x5C,
    PUSH_0 = 0x5D,
    PUSH_UNDEFINED = 0x5E,
    PUSH_FALSE = 0x5F,
    PUSH_TRUE = 0x60,
    PUSH_NULL = 0x61,
    PUSH_CONST = 0x62,
    ROLL = 0x63,
    SWAP = 0x64,
    NIP = 0x65,
    DROP = 0x66,
    POP = 0x67,
    DUP = 0x68,
    NOP = 0x69,
    END = 0x6A,
    HALT = 0x6B,
    SET_NAME = 0x6C,
    DELETE_NAME = 0x6D,
    DISPOSE_GLOBAL = 0x6E,
    DISPOSE_LOCAL = 0x6F,
    DISPOSE_ARG = 0x70,
};

inline constexpr std::uint8_t kFirstOpcode = 0x21;
inline constexpr std::uint8_t kLastOpcode = 0x70;

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

constexpr bool isOpcode(std::uint8_t byte)
{
    return byte >= kFirstOpcode && byte <= kLastOpcode;
}

constexpr OperandForm operandForm(Opcode op)
{
    switch (op) {
    case Opcode::END_TRY: case Opcode::WITH_POP: case Opcode::ARGS:
    case Opcode::SET_ARG: case Opcode::GET_ARG: case Opcode::ROLL:
    case Opcode::NIP: case Opcode::DROP: case Opcode::DISPOSE_ARG:
        return OperandForm::Byte;
    case Opcode::LOCALS: case Opcode::SET_LOCAL: case Opcode::GET_LOCAL:
    case Opcode::DISPOSE_LOCAL:
        return OperandForm::Short;
    case Opcode::PUSH_INT:
        return OperandForm::Int32;
    case Opcode::JUMP_IF_TRUE_BOOL: case Opcode::JUMP_IF_FALSE_BOOL: case Opcode::TRY:
    case Opcode::JUMP: case Opcode::JUMP_IF_TRUE: case Opcode::JUMP_IF_FALSE:
        return OperandForm::Jump;
    case Opcode::CALL_NAME: case Opcode::GET_NAME: case Opcode::DELETE_PROP:
    case Opcode::CALL_METHOD: case Opcode::SET_PROP: case Opcode::GET_PROP:
    case Opcode::SET_GLOBAL: case Opcode::GET_GLOBAL: case Opcode::SET_NAME:
    case Opcode::DELETE_NAME: case Opcode::DISPOSE_GLOBAL:
        return OperandForm::Identifier;
    case Opcode::PUSH_CONST:
        return OperandForm::Literal;
    default:
        return OperandForm::None;
    }
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

// The interpreter's mnemonic, e.g. "PUSH_CONST".
std::string_view opcodeName(Opcode op);

} // namespace orvet
