// The fixed improvement passes over a finished instruction list.
#pragma once

#include "script/compiler/Instruction.h"

namespace orvet {

// Peephole, first rule: a DUP whose copy is discarded by a later POP (an
// assignment used as a statement) is removed together with that POP.
void removeDiscardedCopies(InstructionList& code);

// The rest, in order: the other peephole rules, jump threading, removal of
// stores that are reloaded at once and never read again, dead code.
void optimize(InstructionList& code);

} // namespace orvet
