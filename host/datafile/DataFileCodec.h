// Script variables in an initialisation file. Every stored value is one
// section named by its path from the variable: "v", "v.0" for an element,
// "v.0.x" for a property of that element. A section holds "type" (boolean,
// integer, string, float, array or object) and, for the scalars, "value":
// the number's text, or the string percent-encoded as UTF-8 so that any text
// survives the trip through an 8-bit line-oriented file. A container's own
// section comes before those of its members.
#pragma once

#include <string>
#include <vector>

#include "script/runtime/ScriptContext.h"

namespace lumbra {

class ProfileStore;

// Writes the global variables of these names (empty names skipped) in this
// order, each replacing what the file held for it. Undefined, Null,
// functions and native objects are not written, and neither are members that
// could not be read back where they were (names with ".", blanks or line
// breaks, the empty name) or that would repeat a container already being
// written (a cycle).
void saveVariables(orvet::ScriptContext& ctx, ProfileStore& store, const std::vector<std::string>& names);

// Reads every section in file order into the globals; a section whose path
// cannot be followed is skipped. False when the section list could not be read.
bool loadVariables(orvet::ScriptContext& ctx, ProfileStore& store);

} // namespace lumbra
