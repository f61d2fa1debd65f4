#include "script/runtime/AtomTable.h"

#include "script/runtime/NameHash.h"

namespace orvet {

Atom AtomTable::find(std::string_view name) const
{
    auto it = index_.find(name);
    return it == index_.end() ? kNone : it->second;
}

Atom AtomTable::add(std::string_view name)
{
    Atom atom = static_cast<Atom>(names_.size());
    const std::string& stored = names_.emplace_back(name);
    hashes_.push_back(nameHash(stored));
    index_.emplace(stored, atom);
    return atom;
}

std::string_view AtomTable::name(Atom atom) const
{
    if (atom < 0 || static_cast<std::size_t>(atom) >= names_.size())
        return "???";
    return names_[static_cast<std::size_t>(atom)];
}

} // namespace orvet
