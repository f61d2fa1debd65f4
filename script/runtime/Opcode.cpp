#include "script/runtime/Opcode.h"

#include <iterator>

namespace orvet {

namespace {

// A stack count that stackUse computes from the operand.
constexpr int kByOperand = -1;

constexpr std::uint8_t kNumbers[] = {
#define ORVET_OPCODE_NUMBER(name, number, form, takes, leaves) number,
    ORVET_OPCODES(ORVET_OPCODE_NUMBER)
#undef ORVET_OPCODE_NUMBER
};

constexpr std::string_view kNames[] = {
#define ORVET_OPCODE_NAME(name, number, form, takes, leaves) #name,
    ORVET_OPCODES(ORVET_OPCODE_NAME)
#undef ORVET_OPCODE_NAME
};

constexpr StackUse kUses[] = {
#define ORVET_OPCODE_USE(name, number, form, takes, leaves) {takes, leaves},
    ORVET_OPCODES(ORVET_OPCODE_USE)
#undef ORVET_OPCODE_USE
};

// The tables are indexed by number - kFirstOpcode.
constexpr bool numberedWithoutGaps()
{
    for (std::size_t i = 0; i < std::size(kNumbers); ++i)
        if (kNumbers[i] != kFirstOpcode + i)
            return false;
    return std::size(kNumbers) == kLastOpcode - kFirstOpcode + 1;
}
static_assert(numberedWithoutGaps(), "OpcodeList.h: numbers must run from kFirstOpcode to kLastOpcode in order");

constexpr bool countsByOperandWhereStackUseComputesThem()
{
    for (std::size_t i = 0; i < std::size(kUses); ++i) {
        const auto op = static_cast<Opcode>(kFirstOpcode + i);
        const bool computed = op == Opcode::LOCALS || op == Opcode::NIP || op == Opcode::DROP || op == Opcode::ROLL;
        if ((kUses[i].pops == kByOperand || kUses[i].pushes == kByOperand) != computed)
            return false;
    }
    return true;
}
static_assert(countsByOperandWhereStackUseComputesThem());

} // namespace

StackUse stackUse(Opcode op, std::int64_t operand)
{
    const int n = static_cast<int>(operand);
    switch (op) {
    case Opcode::LOCALS: return {0, n};
    case Opcode::NIP: return {n + 1, 1};
    case Opcode::DROP: return {n, 0};
    case Opcode::ROLL: {
        const int depth = n > 1 ? n : n < -1 ? -n : 0;
        return {depth, depth};
    }
    default: {
        const auto byte = static_cast<std::uint8_t>(op);
        return isOpcode(byte) ? kUses[byte - kFirstOpcode] : StackUse{0, 0};
    }
    }
}

std::string_view opcodeName(Opcode op)
{
    auto byte = static_cast<std::uint8_t>(op);
    return isOpcode(byte) ? kNames[byte - kFirstOpcode] : std::string_view("?");
}

} // namespace orvet
