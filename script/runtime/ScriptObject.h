// Script objects: property slots in insertion order, looked up by atom with a
// linear scan (small objects are the common case). String keys and
// enumeration go through a NameIndex that is built on first need and then
// kept up to date.
//
// There is no hidden prototype: an object's prototype is the Object value of
// its "__proto__" property, which property reads follow and writes never do.
#pragma once

#include <cstdint>

#include "script/runtime/ScriptValue.h"

namespace orvet {

struct ScriptContext;
struct NameIndex;

struct PropertySlot {
    static constexpr Atom kDeleted = -1;
    Atom atom;
    std::int32_t attributes; // always 0; kept for the record layout
    ScriptValue value;
};

struct ScriptObject {
    NameIndex* index;        // null until first needed
    std::uint32_t slotCount; // including deleted slots
    PropertySlot* slots;     // heap block; capacity from its size
};

inline constexpr int kMaxPrototypeDepth = 1000;

ScriptObject* newObject(ScriptContext& ctx);
// An object whose first property "__proto__" holds proto.
ScriptObject* newObjectWithProto(ScriptContext& ctx, const ScriptValue& proto);

// Own slots first, then along "__proto__"; out is Undefined when not found.
// A prototype chain longer than kMaxPrototypeDepth (a cycle) ends the search.
bool getProperty(const ScriptObject* object, Atom atom, ScriptValue& out);
// The own slot of the atom, or null. Inline: the interpreter's property
// instructions try it first, and on the small objects scripts mostly use it
// is a few compares, cheaper than the call that would reach it.
inline PropertySlot* findOwnSlot(const ScriptObject* object, Atom atom)
{
    PropertySlot* slots = object->slots;
    for (std::uint32_t i = 0, n = object->slotCount; i < n; ++i)
        if (slots[i].atom == atom)
            return &slots[i];
    return nullptr;
}
void setProperty(ScriptContext& ctx, ScriptObject* object, Atom atom, const ScriptValue& value);
void deleteProperty(ScriptContext& ctx, ScriptObject* object, Atom atom);

// The [] operator: an Integer key addresses a slot by position, a String key
// a property by name (own properties only); other keys find nothing.
ScriptValue getByKey(ScriptContext& ctx, ScriptObject* object, const ScriptValue& key);
void setByKey(ScriptContext& ctx, ScriptObject* object, const ScriptValue& key, const ScriptValue& value);
void deleteByKey(ScriptContext& ctx, ScriptObject* object, const ScriptValue& key);

// The n-th property name in enumeration (NameIndex) order, as a new string.
bool propertyNameAt(ScriptContext& ctx, ScriptObject* object, std::int64_t n, ScriptValue& out);

// For the collector.
void markObjectContents(ScriptContext& ctx, ScriptObject* object);

} // namespace orvet
