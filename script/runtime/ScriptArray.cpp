#include "script/runtime/ScriptArray.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "script/runtime/Collector.h"
#include "script/runtime/RuntimeError.h"
#include "script/runtime/ScriptContext.h"

namespace orvet {

namespace {

constexpr std::uint32_t kMaxDense = 0x3FFFFFFF / sizeof(ScriptValue);

bool isHole(const ScriptValue& v)
{
    return v.kind == ValueKind::Hole;
}

ScriptValue hole()
{
    ScriptValue v;
    v.kind = ValueKind::Hole;
    return v;
}

std::uint32_t denseCapacity(const ScriptArray& a)
{
    return a.dense ? static_cast<std::uint32_t>(ScriptHeap::blockSize(a.dense) / sizeof(ScriptValue)) : 0;
}

std::uint32_t sparseCapacity(const ScriptArray& a)
{
    return a.sparse ? static_cast<std::uint32_t>(ScriptHeap::blockSize(a.sparse) / sizeof(SparseElement)) : 0;
}

// The first sparse entry with an index >= index.
SparseElement* sparseLowerBound(const ScriptArray& a, std::uint64_t index)
{
    return std::lower_bound(a.sparse, a.sparse + a.sparseCount, index,
                            [](const SparseElement& e, std::uint64_t i) { return e.index < i; });
}

// Grows the dense part to cover [0, size), taking over sparse entries below.
void growDense(ScriptContext& ctx, ScriptArray& a, std::uint32_t size)
{
    if (size > denseCapacity(a)) {
        std::size_t capacity = std::max<std::size_t>(size, std::size_t(a.denseSize) * 2);
        capacity = std::min<std::size_t>(capacity, kMaxDense);
        a.dense = static_cast<ScriptValue*>(ctx.heap.resize(a.dense, capacity * sizeof(ScriptValue)));
    }
    std::fill(a.dense + a.denseSize, a.dense + size, hole());
    a.denseSize = size;
    std::uint32_t taken = 0;
    while (taken < a.sparseCount && a.sparse[taken].index < size) {
        a.dense[a.sparse[taken].index] = a.sparse[taken].value;
        ++taken;
    }
    if (taken) {
        std::memmove(a.sparse, a.sparse + taken, (a.sparseCount - taken) * sizeof(SparseElement));
        a.sparseCount -= taken;
    }
}

// Dense storage is used for an index within reach of the dense part, or when
// the sparse entries have become at least half full of their span.
bool belongsToDense(const ScriptArray& a, std::uint64_t index)
{
    std::uint64_t reach = std::uint64_t(a.denseSize) * 2 + 16;
    if (index < reach)
        return index < kMaxDense;
    if (a.sparseCount < 64)
        return false;
    std::uint64_t span = std::max(index, a.sparse[a.sparseCount - 1].index) + 1;
    return span < kMaxDense && span <= (std::uint64_t(a.denseSize) + a.sparseCount) * 2;
}

void sparseInsert(ScriptContext& ctx, ScriptArray& a, SparseElement* at, std::uint64_t index, const ScriptValue& value)
{
    std::size_t pos = static_cast<std::size_t>(at - a.sparse);
    if (a.sparseCount == sparseCapacity(a)) {
        if (a.sparseCount >= 0x3FFFFFFF / sizeof(SparseElement) / 2)
            raiseOutOfMemory(ctx);
        std::size_t capacity = std::max<std::size_t>(4, std::size_t(a.sparseCount) * 2);
        a.sparse = static_cast<SparseElement*>(ctx.heap.resize(a.sparse, capacity * sizeof(SparseElement)));
    }
    std::memmove(a.sparse + pos + 1, a.sparse + pos, (a.sparseCount - pos) * sizeof(SparseElement));
    a.sparse[pos] = {index, value};
    ++a.sparseCount;
}

} // namespace

ScriptArray* newArray(ScriptContext& ctx)
{
    auto* a = static_cast<ScriptArray*>(ctx.heap.allocate(sizeof(ScriptArray)));
    *a = {};
    return a;
}

const ScriptValue* arrayGet(const ScriptArray& a, std::uint64_t index)
{
    if (index < a.denseSize)
        return isHole(a.dense[index]) ? nullptr : &a.dense[index];
    if (!a.sparseCount)
        return nullptr;
    SparseElement* e = sparseLowerBound(a, index);
    return e != a.sparse + a.sparseCount && e->index == index ? &e->value : nullptr;
}

void arraySet(ScriptContext& ctx, ScriptArray& a, std::uint64_t index, const ScriptValue& value)
{
    if (index < a.denseSize) {
        a.dense[index] = value;
        return;
    }
    if (belongsToDense(a, index)) {
        std::uint64_t top = a.sparseCount ? std::max(index, a.sparse[a.sparseCount - 1].index) : index;
        // Take over the whole sparse table when it now fits.
        std::uint64_t size = top < kMaxDense && top <= (std::uint64_t(a.denseSize) + a.sparseCount) * 2 + 16
                                 ? top + 1
                                 : index + 1;
        growDense(ctx, a, static_cast<std::uint32_t>(size));
        a.dense[index] = value;
        return;
    }
    SparseElement* at = sparseLowerBound(a, index);
    if (at != a.sparse + a.sparseCount && at->index == index)
        at->value = value;
    else
        sparseInsert(ctx, a, at, index, value);
}

void arrayPut(ScriptContext& ctx, ScriptArray& array, std::uint64_t index, const ScriptValue& value)
{
    arraySet(ctx, array, index, value);
    if (index >= array.length)
        array.length = index + 1;
}

bool arrayErase(ScriptContext& ctx, ScriptArray& a, std::uint64_t index)
{
    if (index < a.denseSize) {
        if (isHole(a.dense[index]))
            return false;
        a.dense[index] = hole();
        return true;
    }
    SparseElement* e = sparseLowerBound(a, index);
    if (e == a.sparse + a.sparseCount || e->index != index)
        return false;
    std::memmove(e, e + 1, (a.sparse + a.sparseCount - e - 1) * sizeof(SparseElement));
    --a.sparseCount;
    return true;
}

void arrayShift(ScriptContext& ctx, ScriptArray& a, std::uint64_t from, std::int64_t delta)
{
    if (delta == 0)
        return;
    // Collect the moving elements, remove them, store them at their new
    // indexes. Linear in the number of stored elements.
    std::vector<SparseElement> moving;
    std::uint64_t i = from;
    while (const ScriptValue* v = arrayNextStored(a, i, &i)) {
        moving.push_back({i, *v});
        if (i == UINT64_MAX)
            break;
        ++i;
    }
    if (from < a.denseSize) {
        std::fill(a.dense + from, a.dense + a.denseSize, hole());
        a.sparseCount = 0;
    } else {
        a.sparseCount = static_cast<std::uint32_t>(sparseLowerBound(a, from) - a.sparse);
    }
    for (const SparseElement& e : moving)
        arraySet(ctx, a, e.index + static_cast<std::uint64_t>(delta), e.value);
}

void arrayTruncate(ScriptContext& ctx, ScriptArray& a, std::uint64_t length)
{
    if (length < a.denseSize) {
        a.denseSize = static_cast<std::uint32_t>(length);
        a.sparseCount = 0;
    } else {
        a.sparseCount = static_cast<std::uint32_t>(sparseLowerBound(a, length) - a.sparse);
    }
    a.length = length;
}

const ScriptValue* arrayNextStored(const ScriptArray& a, std::uint64_t from, std::uint64_t* index)
{
    for (std::uint64_t i = from; i < a.denseSize; ++i) {
        if (!isHole(a.dense[i])) {
            *index = i;
            return &a.dense[i];
        }
    }
    SparseElement* e = sparseLowerBound(a, from);
    if (e == a.sparse + a.sparseCount)
        return nullptr;
    *index = e->index;
    return &e->value;
}

std::uint64_t arrayStoredCount(const ScriptArray& a)
{
    std::uint64_t n = a.sparseCount;
    for (std::uint32_t i = 0; i < a.denseSize; ++i)
        n += !isHole(a.dense[i]);
    return n;
}

void markArrayContents(ScriptContext& ctx, ScriptArray& a)
{
    if (a.dense) {
        ScriptHeap::mark(a.dense);
        for (std::uint32_t i = 0; i < a.denseSize; ++i)
            markValue(ctx, a.dense[i]);
    }
    if (a.sparse) {
        ScriptHeap::mark(a.sparse);
        for (std::uint32_t i = 0; i < a.sparseCount; ++i)
            markValue(ctx, a.sparse[i].value);
    }
    if (a.props)
        markValue(ctx, ScriptValue::ofObject(a.props));
}

} // namespace orvet
