// Short instruction sequences that the linker marks for the interpreter to
// run as one instruction.
//
// Profiles of loop-heavy scripts show the interpreter spending most of its
// time between instructions: every GET_LOCAL, PUSH_1 and ADD pays a dispatch
// (an indirect jump that the processor often mispredicts) and moves a value
// through the stack in memory. The statements of a typical loop - i = i + 1,
// k = k + p, i < n, a[i], s % 1000003 - are a few fixed shapes, so the linker
// recognises them and the interpreter runs each in one step with the values
// in registers.
//
// A sequence is marked in place: only the low byte of its first opcode word
// changes, to a fused opcode; every other word stays as it was. So addresses,
// jump displacements and line records are untouched, a jump into the middle
// of a sequence runs the original instructions, and a fused instruction whose
// operands are not what its fast path handles (not integers, an index outside
// an array's dense part) simply runs the first instruction of its sequence
// and lets the rest follow one by one. Nothing a script can see differs.
//
// The upper bits of a fused opcode word hold the sequence's length in words
// and, where the sequence pushes an integer constant, that constant.
#pragma once

#include <cstdint>
#include <vector>

#include "script/runtime/Opcode.h"

namespace orvet {

struct ScriptContext;

// The sources of a compare-and-branch: local a compared with local b, with
// argument b or with a constant, argument a compared with a constant, or the
// stack's top compared with a constant.
#define ORVET_FUSED_COMPARE_JUMPS(X, form) \
    X(form##_LT_JUMP_FALSE) X(form##_LE_JUMP_FALSE) X(form##_GT_JUMP_FALSE) \
    X(form##_GE_JUMP_FALSE) X(form##_EQ_JUMP_FALSE) X(form##_NE_JUMP_FALSE)

// Every fused opcode, numbered on from the last plain opcode. The names spell
// the sequence: LOCALS is GET_LOCAL a; GET_LOCAL b, CONST an integer push
// (PUSH_0-PUSH_3, PUSH_INT, an integer PUSH_CONST), TO_LOCAL a final
// SET_LOCAL, JUMP_FALSE a final JUMP_IF_FALSE_BOOL; ENTER is a function's
// prologue GET_ARG 1; ADD2; ARGS n.
#define ORVET_FUSED_OPCODES(X) \
    X(LOCALS_ADD) X(LOCALS_SUB) X(LOCALS_MUL) X(LOCALS_BIT_AND) X(LOCALS_BIT_OR) X(LOCALS_BIT_XOR) \
    X(CONST_ADD) X(CONST_SUB) X(CONST_MUL) X(CONST_MOD) X(CONST_BIT_AND) X(CONST_BIT_OR) X(CONST_BIT_XOR) \
    X(LOCALS_ADD_TO_LOCAL) X(LOCALS_SUB_TO_LOCAL) X(LOCALS_MUL_TO_LOCAL) \
    X(LOCAL_CONST_ADD_TO_LOCAL) X(LOCAL_CONST_SUB_TO_LOCAL) \
    X(LT_JUMP_FALSE) X(LE_JUMP_FALSE) X(GT_JUMP_FALSE) X(GE_JUMP_FALSE) X(EQ_JUMP_FALSE) X(NE_JUMP_FALSE) \
    ORVET_FUSED_COMPARE_JUMPS(X, LOCALS) \
    ORVET_FUSED_COMPARE_JUMPS(X, LOCAL_ARG) \
    ORVET_FUSED_COMPARE_JUMPS(X, LOCAL_CONST) \
    ORVET_FUSED_COMPARE_JUMPS(X, ARG_CONST) \
    ORVET_FUSED_COMPARE_JUMPS(X, CONST) \
    X(CONST_ADD_TO_LOCAL) X(CONST_SUB_TO_LOCAL) X(CONST_MUL_TO_LOCAL) X(CONST_MOD_TO_LOCAL) \
    X(LOCALS_GET_ELEM) X(LOCALS_SET_ELEM) \
    X(LOCAL_GET_PROP) X(LOCAL_SET_PROP) X(ARG_GET_PROP) X(ARG_SET_PROP) \
    X(ENTER)

enum class FusedOp : std::uint8_t {
    BeforeFirst = kLastOpcode,
#define ORVET_FUSED_ENUM(name) name,
    ORVET_FUSED_OPCODES(ORVET_FUSED_ENUM)
#undef ORVET_FUSED_ENUM
    End
};

// Fields of a fused opcode word: bits 8-10 the sequence's length in words,
// bits 11-31 its integer constant (signed).
inline constexpr unsigned kFusedLengthShift = 8;
inline constexpr unsigned kFusedConstantShift = 11;
inline constexpr std::int32_t kFusedConstantMax = (1 << (31 - kFusedConstantShift)) - 1;
inline constexpr std::int32_t kFusedConstantMin = -kFusedConstantMax - 1;

constexpr std::uint32_t fusedLength(std::uint32_t word) { return (word >> kFusedLengthShift) & 7; }
constexpr std::int64_t fusedConstant(std::uint32_t word)
{
    return static_cast<std::int32_t>(word) >> kFusedConstantShift;
}

// Marks the sequences of one function's finished word code (translated by
// translateFunction, no sequence marked yet).
void fuseInstructions(const ScriptContext& ctx, std::vector<std::uint32_t>& code);

} // namespace orvet
