// Keeps a value alive while native code works with it: the value is pushed
// on the interpreter stack, which the collector marks, and popped when the
// guard ends. Script code called meanwhile builds its frames below it.
#pragma once

#include "script/runtime/RuntimeError.h"
#include "script/runtime/ScriptContext.h"

namespace orvet {

class StackRoot {
public:
    StackRoot(ScriptContext& ctx, const ScriptValue& value) : ctx_(ctx), saved_(ctx.sp)
    {
        if (ctx.sp <= ctx.stackLow())
            raiseError(ctx, kErrStackOverflow);
        *--ctx.sp = value;
    }
    ~StackRoot() { ctx_.sp = saved_; }
    StackRoot(const StackRoot&) = delete;
    StackRoot& operator=(const StackRoot&) = delete;

private:
    ScriptContext& ctx_;
    ScriptValue* saved_;
};

} // namespace orvet
