// The code generator's instruction list: opcodes with their operands, plus
// the label pseudo-instructions that mark functions and jump targets.
#pragma once

#include <cstdint>
#include <list>
#include <string>
#include <variant>

#include "script/runtime/ConstantPool.h"
#include "script/runtime/Opcode.h"

namespace orvet {

inline constexpr int kFunctionLabel = 1000;
inline constexpr int kJumpLabel = 1001;

struct Instruction {
    int opcode = 0;  // an Opcode, kFunctionLabel or kJumpLabel
    int line = 0;    // source line; 0 for jump labels
    // Byte, 16-bit and 32-bit operands and label numbers (jumps, jump labels)
    // are numbers; names (identifiers, function labels) are texts.
    std::variant<std::monostate, std::int64_t, std::string, LiteralConstant> operand;
    int stackEffect = 0;     // net change of the operand stack height
    std::uint32_t offset = 0;
    std::uint32_t liveAfter = 0; // local slots (mod 32) read later: slot data-flow pass
    bool discardsResult = false; // the POP of the last top-level expression statement

    bool isLabel() const { return opcode == kFunctionLabel || opcode == kJumpLabel; }
    bool is(Opcode op) const { return opcode == static_cast<int>(op); }
    bool isJump() const { return !isLabel() && operandForm(static_cast<Opcode>(opcode)) == OperandForm::Jump; }
    std::int64_t number() const { return std::get<std::int64_t>(operand); }
    const std::string& name() const { return std::get<std::string>(operand); }
    // Encoded size in bytes; labels take none.
    unsigned size() const { return isLabel() ? 0 : instructionSize(static_cast<Opcode>(opcode)); }
};

using InstructionList = std::list<Instruction>;

} // namespace orvet
