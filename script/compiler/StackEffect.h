// What each instruction does to the operand stack: how many values it takes
// and how many it leaves. The peephole pass uses them to pair a DUP with the
// POP that discards its copy.
#pragma once

#include <cstdint>

#include "script/runtime/Opcode.h"

namespace orvet {

struct StackUse {
    int pops;
    int pushes;

    int effect() const { return pushes - pops; }
};

// operand is the instruction's numeric operand where the answer depends on
// it (LOCALS, ROLL, NIP, DROP). A call is counted as taking the count and
// the callee and leaving the count, the receiver slot and the result; the
// arguments below it are not counted.
StackUse stackUse(Opcode op, std::int64_t operand);

} // namespace orvet
