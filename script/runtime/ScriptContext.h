// One instance of the Orvet runtime: its heap, names, globals, constants,
// linked functions, interpreter stack, per-kind classes and recovery chain.
// Nothing is shared between contexts; a context is used by one thread.
//
//   ScriptContext ctx;                       // or ScriptContext ctx(options)
//   Atom a = ctx.intern("x");
//   ctx.global(a) = ScriptValue::ofInt(1);
//   if (!protectedCall(ctx, [&] { ... }))   // RuntimeError.h
//       puts(ctx.errorBuffer);
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "script/runtime/AtomTable.h"
#include "script/runtime/ScriptHeap.h"
#include "script/runtime/ScriptValue.h"

namespace orvet {

struct NativeClass;
struct ScriptFunction;

// What a path of word code that starts at a backward jump's or a handler's
// target needs: values already on the frame's stack, values it may add.
struct PathNeeds {
    std::uint32_t need;
    std::uint32_t growth;
};

// Called after each collection with (2, hook data); a non-zero answer stops
// the running script with the runtime error "hook break %d".
using HookRoutine = int (*)(int reason, void* data);
// Receives one line of trace output (warnings, "trace"), without line end.
using TraceSink = void (*)(void* data, std::string_view line);
// Builds the value of a regular-expression constant (pattern in UTF-16,
// flags bit 0 "g", bit 1 "i", bit 2 "m"); installed by the RegExp class.
using RegExpFactory = ScriptValue (*)(ScriptContext& ctx, std::u16string_view pattern, std::uint8_t flags);

// A point that a runtime error returns to: a host entry point (Protected,
// the call entries) or a script try block.
struct RecoveryRecord {
    enum class Kind : std::uint8_t { Host, ScriptTry };
    Kind kind = Kind::Host;
    ScriptValue thrown;                // what a throw hands to the handler
    ScriptValue* sp = nullptr;         // stack pointer at TRY
    ScriptValue* fp = nullptr;         // frame base at TRY
    const std::uint32_t* handler = nullptr;
    std::uint32_t check = 0;           // the TRY word: what the handler needs
};

struct ContextOptions {
    std::uint32_t stackSize = 4096; // interpreter stack, in values
    bool warnUndefinedVariables = false;
};

struct ScriptContext {
    explicit ScriptContext(const ContextOptions& options = {});
    // Every finalizer runs (native data is destroyed), then all memory goes.
    ~ScriptContext();
    ScriptContext(const ScriptContext&) = delete;
    ScriptContext& operator=(const ScriptContext&) = delete;

    // Interns a name, giving it a global slot when it is new.
    Atom intern(std::string_view name);
    // The global variable of an atom. References stay valid until the next
    // intern of a new name.
    ScriptValue& global(Atom atom) { return globals[static_cast<std::size_t>(atom)]; }
    std::string_view nameOf(Atom atom) const { return atoms.name(atom); }

    // Writes a warning line ("Warning: ...") to the trace output.
    void warn(std::string_view text) const;
    void trace(std::string_view line) const
    {
        if (traceSink)
            traceSink(traceData, line);
    }

    ScriptValue* stackLow() const { return stack.get(); }
    ScriptValue* stackEnd() const { return stack.get() + stackSize; }

    // Settings.
    std::uint32_t optionWord = 0;
    bool warnUndefinedVariables = false;

    ScriptHeap heap{*this};
    AtomTable atoms;
    std::vector<ScriptValue> globals;   // indexed by atom
    std::vector<ScriptValue> constants; // every linked module's constants
    std::vector<std::unique_ptr<char16_t[]>> constantText; // characters of constant strings
    std::vector<std::unique_ptr<ScriptFunction>> functions; // every linked function
    std::uint32_t functionBase = 0; // next number for "@F_" functions
    // Needs too large for the bits of a jump's opcode word, by target address
    // (CodeTranslator.h); linked code lives as long as the context.
    std::unordered_map<const std::uint32_t*, PathNeeds> widePathNeeds;

    // Interpreter stack, filled from the high end downward. sp is the stack
    // pointer saved before any call that may collect or fail; ip likewise.
    std::unique_ptr<ScriptValue[]> stack;
    std::uint32_t stackSize = 0;
    ScriptValue* sp = nullptr;
    const std::uint32_t* ip = nullptr;
    int runDepth = 0; // nested interpreter runs on the host stack

    // Classes of the value kinds (2 Boolean, 3/5/13 Number, 4 String,
    // 6 Array, 7 Object, 12 Function when registered).
    NativeClass* kindClasses[kKindCount] = {};
    // Every class made in this context: roots of each collection, whose
    // markData is called with null data for the values the class keeps.
    std::vector<NativeClass*> classes;

    std::vector<RecoveryRecord> recovery; // the newest record is last
    char errorBuffer[1024] = {};
    std::string runEndingError; // the last error, when it ends a whole run (RuntimeError.h)
    std::string compilerMessages;
    ScriptValue result; // of the last completed run or call

    HookRoutine hook = nullptr;
    void* hookData = nullptr;
    TraceSink traceSink = nullptr;
    void* traceData = nullptr;
    RegExpFactory makeRegExp = nullptr;

    bool makingErrorValue = false; // a runtime error is building its thrown string
    std::vector<ScriptValue> grayValues; // collector work list, kept for its capacity
};

} // namespace orvet
