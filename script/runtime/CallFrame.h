// The layout of a script call's frame on the interpreter stack, which grows
// downward. The receiver slot of a call becomes the frame base fp:
//
//   fp[1 + n]    argument slot n: 0 the receiver, 1 the count, then the arguments
//   fp[0]        the caller's frame base (FrameLink), the result once it returns
//   fp[-1]       frame info: addressable argument slots, padding (FrameInfo)
//   fp[-2]       the with-scope list (FrameLink)
//   fp[-3]       the return address (FrameLink)
//   fp[-4 - n]   local n; below the locals, the function's own stack
//
// Accessors rather than bare offsets, so the layout is written down once;
// they are inline and cost nothing in the interpreter's loop.
#pragma once

#include <cstdint>

#include "script/runtime/ScriptValue.h"

namespace orvet::frame {

// Slots of the frame below the receiver slot, and the base's distance to the
// lowest of them (the top of an empty expression stack is just below it).
inline constexpr int kLinkSlots = 4;
inline constexpr int kLowestLink = 3;

inline ScriptValue& argument(ScriptValue* fp, std::int64_t n) { return fp[1 + n]; }
inline ScriptValue& callerLink(ScriptValue* fp) { return fp[0]; }
inline ScriptValue& info(ScriptValue* fp) { return fp[-1]; }
inline ScriptValue& withLink(ScriptValue* fp) { return fp[-2]; }
inline ScriptValue& returnLink(ScriptValue* fp) { return fp[-3]; }
inline ScriptValue& local(ScriptValue* fp, std::int64_t n) { return fp[-kLinkSlots - n]; }
// The stack pointer of a frame whose expression stack is empty.
inline ScriptValue* emptyStack(ScriptValue* fp) { return fp - kLowestLink; }
// Values on the frame's own stack (locals included) at sp.
inline std::ptrdiff_t stackDepth(ScriptValue* fp, const ScriptValue* sp) { return emptyStack(fp) - sp; }

} // namespace orvet::frame
