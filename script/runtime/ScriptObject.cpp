#include "script/runtime/ScriptObject.h"

#include <algorithm>
#include <string>

#include "script/runtime/AtomTable.h"
#include "script/runtime/Collector.h"
#include "script/runtime/RuntimeError.h"
#include "script/runtime/ScriptContext.h"
#include "script/runtime/ScriptString.h"

namespace orvet {

// 128 chains of the property names by name hash; enumeration walks them in
// bucket order, newest entry first within a bucket.
struct NameIndexEntry {
    NameIndexEntry* next;
    Atom atom;
    std::uint32_t slot;
};

struct NameIndex {
    static constexpr std::uint32_t kBuckets = 128;
    NameIndexEntry* buckets[kBuckets];
    std::uint32_t counts[kBuckets];
};

namespace {

std::uint32_t bucketOf(const ScriptContext& ctx, Atom atom)
{
    return ctx.atoms.hash(atom) & (NameIndex::kBuckets - 1);
}

void indexAdd(ScriptContext& ctx, NameIndex* index, Atom atom, std::uint32_t slot)
{
    auto* entry = static_cast<NameIndexEntry*>(ctx.heap.allocate(sizeof(NameIndexEntry)));
    std::uint32_t b = bucketOf(ctx, atom);
    entry->next = index->buckets[b];
    entry->atom = atom;
    entry->slot = slot;
    index->buckets[b] = entry;
    ++index->counts[b];
}

void indexRemove(ScriptContext& ctx, NameIndex* index, Atom atom, std::uint32_t slot)
{
    std::uint32_t b = bucketOf(ctx, atom);
    for (NameIndexEntry** link = &index->buckets[b]; *link; link = &(*link)->next) {
        if ((*link)->slot == slot) {
            NameIndexEntry* dead = *link;
            *link = dead->next;
            --index->counts[b];
            ctx.heap.free(dead);
            return;
        }
    }
}

NameIndex* buildIndex(ScriptContext& ctx, ScriptObject* object)
{
    if (object->index)
        return object->index;
    auto* index = static_cast<NameIndex*>(ctx.heap.allocate(sizeof(NameIndex)));
    *index = {};
    object->index = index;
    for (std::uint32_t i = 0; i < object->slotCount; ++i)
        if (object->slots[i].atom != PropertySlot::kDeleted)
            indexAdd(ctx, index, object->slots[i].atom, i);
    return index;
}

// Slots of an object's first slot block (a 128-byte block holds 5).
constexpr std::size_t kFirstSlots = 4;

std::uint32_t slotCapacity(const ScriptObject* object)
{
    return object->slots ? static_cast<std::uint32_t>(ScriptHeap::blockSize(object->slots) / sizeof(PropertySlot)) : 0;
}

// Appends a slot and returns its index.
std::uint32_t appendSlot(ScriptContext& ctx, ScriptObject* object, Atom atom, const ScriptValue& value)
{
    if (object->slotCount == slotCapacity(object)) {
        if (object->slotCount >= 0x3FFFFFFF / sizeof(PropertySlot))
            raiseOutOfMemory(ctx);
        // Room for a few properties at once: objects are mostly made empty
        // and filled one property after another, and growing them a slot at
        // a time cost a block for every property.
        std::size_t bytes = std::max<std::size_t>(object->slotCount + 1, kFirstSlots) * sizeof(PropertySlot);
        object->slots = static_cast<PropertySlot*>(ctx.heap.resize(object->slots, bytes));
    }
    std::uint32_t i = object->slotCount++;
    object->slots[i] = {atom, 0, value};
    if (object->index)
        indexAdd(ctx, object->index, atom, i);
    return i;
}

// The slot of a name in the index, or null.
PropertySlot* indexedSlot(ScriptContext& ctx, ScriptObject* object, Atom atom)
{
    NameIndex* index = buildIndex(ctx, object);
    for (NameIndexEntry* e = index->buckets[bucketOf(ctx, atom)]; e; e = e->next)
        if (e->atom == atom)
            return &object->slots[e->slot];
    return nullptr;
}

Atom knownAtomOfKey(ScriptContext& ctx, const ScriptValue& key)
{
    return ctx.atoms.find(toAnsi(*key.string));
}

// Slots an integer key appends are named by their position, so enumeration
// and string keys find them as "0", "1", ...
Atom positionAtom(ScriptContext& ctx, std::uint32_t position)
{
    return ctx.intern(std::to_string(position));
}

bool isSlotKey(const ScriptValue& key)
{
    return key.kind == ValueKind::Integer && key.integer >= 0;
}

void deleteSlot(ScriptContext& ctx, ScriptObject* object, std::uint32_t i)
{
    PropertySlot& slot = object->slots[i];
    if (slot.atom == PropertySlot::kDeleted)
        return;
    if (object->index)
        indexRemove(ctx, object->index, slot.atom, i);
    slot.atom = PropertySlot::kDeleted;
    slot.value = ScriptValue::undefined();
}

} // namespace

ScriptObject* newObject(ScriptContext& ctx)
{
    auto* object = static_cast<ScriptObject*>(ctx.heap.allocate(sizeof(ScriptObject)));
    *object = {};
    return object;
}

ScriptObject* newObjectWithProto(ScriptContext& ctx, const ScriptValue& proto)
{
    ScriptObject* object = newObject(ctx);
    appendSlot(ctx, object, kAtomProto, proto);
    return object;
}

bool getProperty(const ScriptObject* object, Atom atom, ScriptValue& out)
{
    for (int depth = 0; depth < kMaxPrototypeDepth; ++depth) {
        const ScriptObject* proto = nullptr;
        const PropertySlot* slots = object->slots;
        for (std::uint32_t i = 0, n = object->slotCount; i < n; ++i) {
            if (slots[i].atom == atom) {
                out = slots[i].value;
                return true;
            }
            if (slots[i].atom == kAtomProto && slots[i].value.kind == ValueKind::Object)
                proto = slots[i].value.object;
        }
        if (!proto)
            break;
        object = proto;
    }
    out = ScriptValue::undefined();
    return false;
}

void setProperty(ScriptContext& ctx, ScriptObject* object, Atom atom, const ScriptValue& value)
{
    PropertySlot* reuse = nullptr;
    PropertySlot* slots = object->slots;
    for (std::uint32_t i = 0, n = object->slotCount; i < n; ++i) {
        if (slots[i].atom == atom) {
            slots[i].value = value;
            return;
        }
        if (slots[i].atom == PropertySlot::kDeleted)
            reuse = &slots[i];
    }
    if (!reuse) {
        appendSlot(ctx, object, atom, value);
        return;
    }
    *reuse = {atom, 0, value};
    if (object->index)
        indexAdd(ctx, object->index, atom, static_cast<std::uint32_t>(reuse - slots));
}

void deleteProperty(ScriptContext& ctx, ScriptObject* object, Atom atom)
{
    if (PropertySlot* slot = findOwnSlot(object, atom))
        deleteSlot(ctx, object, static_cast<std::uint32_t>(slot - object->slots));
}

ScriptValue getByKey(ScriptContext& ctx, ScriptObject* object, const ScriptValue& key)
{
    if (isSlotKey(key))
        return key.integer < object->slotCount ? object->slots[key.integer].value : ScriptValue::undefined();
    if (key.kind == ValueKind::String) {
        Atom atom = knownAtomOfKey(ctx, key);
        if (atom != AtomTable::kNone)
            if (PropertySlot* slot = indexedSlot(ctx, object, atom))
                return slot->value;
    }
    return ScriptValue::undefined();
}

void setByKey(ScriptContext& ctx, ScriptObject* object, const ScriptValue& key, const ScriptValue& value)
{
    if (isSlotKey(key)) {
        if (key.integer >= 0x3FFFFFFF / std::int64_t(sizeof(PropertySlot)))
            raiseOutOfMemory(ctx);
        auto target = static_cast<std::uint32_t>(key.integer);
        while (object->slotCount <= target)
            appendSlot(ctx, object, positionAtom(ctx, object->slotCount), ScriptValue::undefined());
        PropertySlot& slot = object->slots[target];
        if (slot.atom == PropertySlot::kDeleted) {
            // A value stored into a deleted slot would be invisible to names
            // and lost to the next new property: the slot gets its name back.
            slot.atom = positionAtom(ctx, target);
            if (object->index)
                indexAdd(ctx, object->index, slot.atom, target);
        }
        object->slots[target].value = value;
        return;
    }
    if (key.kind != ValueKind::String)
        return;
    Atom atom = ctx.intern(toAnsi(*key.string));
    if (PropertySlot* slot = indexedSlot(ctx, object, atom))
        slot->value = value;
    else
        appendSlot(ctx, object, atom, value);
}

void deleteByKey(ScriptContext& ctx, ScriptObject* object, const ScriptValue& key)
{
    if (isSlotKey(key)) {
        if (key.integer < object->slotCount)
            deleteSlot(ctx, object, static_cast<std::uint32_t>(key.integer));
        return;
    }
    if (key.kind != ValueKind::String)
        return;
    Atom atom = knownAtomOfKey(ctx, key);
    if (atom == AtomTable::kNone)
        return;
    if (PropertySlot* slot = indexedSlot(ctx, object, atom))
        deleteSlot(ctx, object, static_cast<std::uint32_t>(slot - object->slots));
}

bool propertyNameAt(ScriptContext& ctx, ScriptObject* object, std::int64_t n, ScriptValue& out)
{
    out = ScriptValue::undefined();
    if (n < 0)
        return false;
    NameIndex* index = buildIndex(ctx, object);
    for (std::uint32_t b = 0; b < NameIndex::kBuckets; ++b) {
        if (n >= index->counts[b]) {
            n -= index->counts[b];
            continue;
        }
        NameIndexEntry* e = index->buckets[b];
        while (n-- > 0)
            e = e->next;
        out = ScriptValue::ofString(newStringFromAnsi(ctx, ctx.nameOf(e->atom)));
        return true;
    }
    return false;
}

void markObjectContents(ScriptContext& ctx, ScriptObject* object)
{
    if (NameIndex* index = object->index) {
        ScriptHeap::mark(index);
        for (NameIndexEntry* head : index->buckets)
            for (NameIndexEntry* e = head; e; e = e->next)
                ScriptHeap::mark(e);
    }
    if (!object->slots)
        return;
    ScriptHeap::mark(object->slots);
    for (std::uint32_t i = 0; i < object->slotCount; ++i)
        markValue(ctx, object->slots[i].value);
}

} // namespace orvet
