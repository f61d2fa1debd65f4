// Interned names. An atom id is also the index of the global variable of that
// name in the context (ScriptContext::intern keeps the two in step).
#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "script/runtime/ScriptValue.h"

namespace orvet {

// The five names every context interns first, in this order.
inline constexpr Atom kAtomProto = 0;     // "__proto__"
inline constexpr Atom kAtomPrototype = 1; // "prototype"
inline constexpr Atom kAtomToSource = 2;  // "toSource"
inline constexpr Atom kAtomToString = 3;  // "toString"
inline constexpr Atom kAtomValueOf = 4;   // "valueOf"

class AtomTable {
public:
    static constexpr Atom kNone = -1;

    Atom find(std::string_view name) const;
    // Adds a name that find() does not know; its id is the current size.
    Atom add(std::string_view name);
    // The name of an atom, or "???" for an unknown id.
    std::string_view name(Atom atom) const;
    // nameHash() of the atom's name.
    std::uint32_t hash(Atom atom) const { return hashes_[static_cast<std::size_t>(atom)]; }
    std::size_t size() const { return hashes_.size(); }

private:
    std::deque<std::string> names_; // stable addresses for the index keys
    std::vector<std::uint32_t> hashes_;
    std::unordered_map<std::string_view, Atom> index_;
};

} // namespace orvet
