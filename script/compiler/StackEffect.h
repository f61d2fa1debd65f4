// The net change of the operand stack height that each instruction declares;
// the peephole pass uses it to pair a DUP with the POP that discards it.
#pragma once

#include <cstdint>

#include "script/runtime/Opcode.h"

namespace orvet {

// operand is the instruction's numeric operand where the effect depends on it
// (LOCALS, NIP, DROP).
int stackEffect(Opcode op, std::int64_t operand);

} // namespace orvet
