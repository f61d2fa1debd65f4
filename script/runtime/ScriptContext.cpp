#include "script/runtime/ScriptContext.h"

#include <string>

#include "script/runtime/ScriptFunction.h"

namespace orvet {

namespace {

constexpr std::size_t kGlobalGrowth = 1024;

} // namespace

ScriptContext::ScriptContext(const ContextOptions& options)
    : warnUndefinedVariables(options.warnUndefinedVariables),
      stack(std::make_unique<ScriptValue[]>(options.stackSize)),
      stackSize(options.stackSize)
{
    sp = stackEnd();
    for (std::string_view name : {"__proto__", "prototype", "toSource", "toString", "valueOf"})
        intern(name);
}

ScriptContext::~ScriptContext()
{
    // Nothing is marked outside a collection: the sweep finalizes everything.
    heap.sweep();
}

Atom ScriptContext::intern(std::string_view name)
{
    Atom atom = atoms.find(name);
    if (atom != AtomTable::kNone)
        return atom;
    if (globals.size() == globals.capacity())
        globals.reserve(globals.size() + kGlobalGrowth);
    atom = atoms.add(name);
    globals.emplace_back();
    return atom;
}

void ScriptContext::warn(std::string_view text) const
{
    trace(text);
}

} // namespace orvet
