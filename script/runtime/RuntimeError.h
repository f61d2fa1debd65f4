// Runtime errors and the recovery protocol.
//
// A runtime error writes "Runtime error: <text>" into the context's error
// buffer and returns control to the newest recovery record. When that record
// belongs to a script try block, the text also becomes the thrown value, so
// scripts can catch it. Control crosses host frames as a ScriptError
// exception; the interpreter catches it where a script try block waits, and
// protectedCall() where a host entry point waits.
#pragma once

#include <new>
#include <string_view>

#include "script/runtime/ScriptContext.h"

namespace orvet {

// The runtime's error texts.
inline constexpr std::string_view kErrOutOfMemory = "Out of memory";
inline constexpr std::string_view kErrStackOverflow = "stack overflow";
inline constexpr std::string_view kErrBadBytecode = "Unimplemented Orvet Script bytecode";
inline constexpr std::string_view kErrToObject = "Can't convert to object";
inline constexpr std::string_view kErrToPrimitive = "Can't convert to primitive type";
inline constexpr std::string_view kErrHookBreak = "hook break "; // + the hook's answer

// Unwinds to the newest recovery record; the message is in the error buffer
// and, for a script try record, the thrown value is in the record.
struct ScriptError {};

// Formats the error buffer and the thrown value without unwinding.
void noteError(ScriptContext& ctx, std::string_view text);
[[noreturn]] void raiseError(ScriptContext& ctx, std::string_view text);
[[noreturn]] void raiseOutOfMemory(ScriptContext& ctx);
// A script throw that must leave the current interpreter run: to a host
// record the value's text becomes the message (without a prefix), to a script
// try record of an outer run it is handed over as it is.
[[noreturn]] void throwValue(ScriptContext& ctx, const ScriptValue& value);
// Errors that end a whole run rather than one step of it: "stack overflow",
// "Out of memory" and "hook break". A conversion that calls a script method
// under its own record (an object's toString) gives up on any other failure
// and answers a default, but passes these on: retrying them at every level
// would never end.
bool lastErrorEndsRun(const ScriptContext& ctx);
// Raises the last error again; only when lastErrorEndsRun().
[[noreturn]] void raiseLastErrorAgain(ScriptContext& ctx);
// Copies text into the error buffer, cut to fit.
void setErrorText(ScriptContext& ctx, std::string_view text);

// A host entry record for the lifetime of the object: on exit (normal or by
// error) every newer record is dropped and the stack pointer restored.
class HostRecovery {
public:
    explicit HostRecovery(ScriptContext& ctx);
    ~HostRecovery();
    HostRecovery(const HostRecovery&) = delete;
    HostRecovery& operator=(const HostRecovery&) = delete;

private:
    ScriptContext& ctx_;
    std::size_t depth_;
    ScriptValue* sp_;
};

// Runs work under a host recovery record. Returns 1 when it completed, 0 when
// a runtime error (or an uncaught script throw) ended it; the error buffer
// then holds the message. The buffer is cleared and the result slot set to
// Undefined before the work starts.
template <class Work>
int protectedCall(ScriptContext& ctx, Work&& work)
{
    HostRecovery record(ctx);
    ctx.errorBuffer[0] = '\0';
    ctx.runEndingError.clear();
    ctx.result = ScriptValue::undefined();
    try {
        work();
        return 1;
    } catch (const ScriptError&) {
        return 0;
    } catch (const std::bad_alloc&) {
        noteError(ctx, kErrOutOfMemory);
        return 0;
    }
}

} // namespace orvet
