// Script arrays: a length and the stored elements. Elements at the front are
// kept in a dense vector (holes marked as such); indexes far beyond it live in
// a sorted sparse table, so a[1e9] = x costs one entry. Which store holds an
// element is invisible: only stored elements exist, the length is kept by the
// callers (the interpreter raises it on stores; the Array class sets it).
#pragma once

#include <cstdint>

#include "script/runtime/ScriptValue.h"

namespace orvet {

struct ScriptContext;
struct ScriptObject;

struct SparseElement {
    std::uint64_t index;
    ScriptValue value;
};

struct ScriptArray {
    std::uint64_t length;
    ScriptValue* dense;          // indexes [0, denseSize); Hole where nothing is stored
    std::uint32_t denseSize;
    std::uint32_t sparseCount;
    SparseElement* sparse;       // indexes >= denseSize, ascending
    ScriptObject* props;         // property object, made on first use
};

ScriptArray* newArray(ScriptContext& ctx);

// The stored element, or null.
const ScriptValue* arrayGet(const ScriptArray& array, std::uint64_t index);
// Stores an element; the length is not changed.
void arraySet(ScriptContext& ctx, ScriptArray& array, std::uint64_t index, const ScriptValue& value);
// Stores an element and raises the length past it, as a script's a[i] = v
// does: what host code uses to fill an array.
void arrayPut(ScriptContext& ctx, ScriptArray& array, std::uint64_t index, const ScriptValue& value);
// Stores an element at the index `length` (which grows by one).
inline void arrayAppend(ScriptContext& ctx, ScriptArray& array, const ScriptValue& value)
{
    arrayPut(ctx, array, array.length, value);
}
// Removes a stored element; false when there was none.
bool arrayErase(ScriptContext& ctx, ScriptArray& array, std::uint64_t index);
// Moves every stored element with an index >= from by delta. With a negative
// delta the indexes [from + delta, from) must hold no element.
void arrayShift(ScriptContext& ctx, ScriptArray& array, std::uint64_t from, std::int64_t delta);
// Removes every stored element with an index >= length and sets the length.
void arrayTruncate(ScriptContext& ctx, ScriptArray& array, std::uint64_t length);
// The first stored element at an index >= from (its index in *index), or null.
const ScriptValue* arrayNextStored(const ScriptArray& array, std::uint64_t from, std::uint64_t* index);
std::uint64_t arrayStoredCount(const ScriptArray& array);

// For the collector.
void markArrayContents(ScriptContext& ctx, ScriptArray& array);

} // namespace orvet
