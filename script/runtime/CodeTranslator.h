// Link-time translation of one function's bytes into word code.
//
// Every instruction becomes an opcode word followed by at most one operand
// word with its operand resolved: identifiers to atoms, literals to indexes
// of the context's constant table, jump displacements to words. Anything
// that cannot run - an operand cut off, a jump into the middle of an
// instruction or out of the function, a constant index out of range or of
// the wrong kind, a stack that some path would pop below the frame - is
// rejected with the runtime error "Unimplemented Orvet Script bytecode".
//
// Stack depth is checked statically along every forward path. Backward jumps
// and try handlers start new paths whose needs (values that must already be
// on the frame's stack, values the path may add) are stored in the upper bits
// of the jump's opcode word and checked when the jump is taken, so the
// interpreter checks nothing else. Needs too large for those bits (a loop
// around a 5,000-element array literal, a function with 5,000 locals) set
// both fields to kCheckFieldWide and live in the context's widePathNeeds,
// keyed by the target's address.
#pragma once

#include <cstdint>
#include <span>

namespace orvet {

struct ScriptContext;
struct ScriptFunction;

// Upper bits of a backward jump's or a TRY's opcode word.
inline constexpr unsigned kCheckFieldBits = 12;
inline constexpr std::uint32_t kCheckFieldMax = (1u << kCheckFieldBits) - 1;
inline constexpr std::uint32_t kCheckFieldWide = kCheckFieldMax; // both fields: see widePathNeeds
constexpr std::uint32_t checkNeeded(std::uint32_t word) { return (word >> 8) & kCheckFieldMax; }
constexpr std::uint32_t checkGrowth(std::uint32_t word) { return word >> (8 + kCheckFieldBits); }
constexpr bool checkIsWide(std::uint32_t word)
{
    return checkNeeded(word) == kCheckFieldWide && checkGrowth(word) == kCheckFieldWide;
}

// Values on the stack that the interpreter keeps free beyond every check.
inline constexpr std::uint32_t kStackMargin = 10;
// Most slots one ARGS instruction can insert (its operand is a signed byte).
inline constexpr std::uint32_t kMaxPadding = 127;

struct ModuleConstants {
    std::uint32_t base;  // index of the module's first constant in the context
    std::uint32_t count; // the module's constants
};

// Translates bytes [0, size) of a function into fn.code and sets fn.frameNeed.
void translateFunction(ScriptContext& ctx, std::span<const std::uint8_t> bytes, ModuleConstants constants,
                       ScriptFunction& fn);

} // namespace orvet
