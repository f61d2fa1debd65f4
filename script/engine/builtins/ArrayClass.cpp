#include "script/engine/builtins/ArrayClass.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "script/runtime/Conversions.h"
#include "script/runtime/RuntimeError.h"
#include "script/runtime/ScriptArray.h"
#include "script/runtime/ScriptObject.h"
#include "script/runtime/ScriptString.h"
#include "script/engine/builtins/ArrayClassSort.h"
#include "script/engine/ClassRegistration.h"
#include "script/engine/NestedCall.h"
#include "script/engine/StackRoot.h"

namespace orvet {

namespace {

enum Member { Concat, Join, Pop, Push, Reverse, Shift, Slice, Splice, Sort, Unshift, Length };

// Joining converts elements to text, and an element may be an array that is
// being joined already (a = [1]; a[1] = a) or nest arrays very deeply.
constexpr std::size_t kMaxJoinDepth = 200;
// The longest string a join may build, in code units.
constexpr std::uint64_t kMaxStringLength = std::uint64_t{1} << 28;

struct ArrayClassData : MemberAtoms {
    std::vector<const ScriptArray*> joining; // arrays whose join is under way
};

std::int64_t integerArgument(const ScriptValue* args, int n, std::int64_t otherwise)
{
    return hasArgument(args, n) && args[n].is(ValueKind::Integer) ? args[n].integer : otherwise;
}

// A start position: negative counts from the end, and is then at least 0.
std::uint64_t startArgument(const ScriptValue* args, int n, std::uint64_t length)
{
    const std::int64_t start = integerArgument(args, n, 0);
    if (start >= 0)
        return static_cast<std::uint64_t>(start);
    const std::int64_t fromEnd = start + static_cast<std::int64_t>(length);
    return fromEnd > 0 ? static_cast<std::uint64_t>(fromEnd) : 0;
}

ScriptArray* makeArray(ScriptContext& ctx, const ScriptValue* args)
{
    ScriptArray* array = newArray(ctx);
    ScriptValue value = ScriptValue::ofArray(array);
    StackRoot root(ctx, value);
    const std::int64_t n = argumentCount(args);
    if (n == 1 && !isArrayLiteralCall(args) && args[1].is(ValueKind::Integer)) {
        array->length = args[1].integer > 0 ? static_cast<std::uint64_t>(args[1].integer) : 0;
        return array;
    }
    for (std::int64_t i = 0; i < n; ++i)
        arraySet(ctx, *array, static_cast<std::uint64_t>(i), args[i + 1]);
    array->length = static_cast<std::uint64_t>(n);
    return array;
}

void arrayCall(ScriptContext& ctx, NativeClass&, void*, ScriptValue* result, ScriptValue* args)
{
    *result = ScriptValue::ofArray(makeArray(ctx, args));
}

void arrayConstruct(ScriptContext& ctx, NativeClass&, ScriptValue* args, ScriptValue* result)
{
    *result = ScriptValue::ofArray(makeArray(ctx, args));
}

// Every stored element with an index in [from, end), in index order.
template <class Visit>
void forEachStored(const ScriptArray& array, std::uint64_t from, std::uint64_t end, Visit visit)
{
    std::uint64_t index;
    for (const ScriptValue* v = arrayNextStored(array, from, &index); v && index < end;
         v = arrayNextStored(array, index + 1, &index))
        visit(index, *v);
}

struct StoredElement {
    std::uint64_t index;
    ScriptValue value;
};

std::vector<StoredElement> storedElements(const ScriptArray& array)
{
    std::vector<StoredElement> elements;
    elements.reserve(arrayStoredCount(array));
    forEachStored(array, 0, UINT64_MAX, [&](std::uint64_t i, const ScriptValue& v) { elements.push_back({i, v}); });
    return elements;
}

ScriptValue concat(ScriptContext& ctx, ScriptArray& array, const ScriptValue* args)
{
    ScriptArray* out = newArray(ctx);
    StackRoot root(ctx, ScriptValue::ofArray(out));
    for (const StoredElement& e : storedElements(array))
        arraySet(ctx, *out, e.index, e.value);
    std::uint64_t offset = array.length;
    for (std::int64_t i = 1; i <= argumentCount(args); ++i) {
        if (args[i].is(ValueKind::Array)) {
            for (const StoredElement& e : storedElements(*args[i].array))
                arraySet(ctx, *out, offset + e.index, e.value);
            offset += args[i].array->length;
        } else {
            arraySet(ctx, *out, offset++, args[i]);
        }
    }
    out->length = offset;
    return ScriptValue::ofArray(out);
}

// Elements' toString methods run script code, which may change the array or
// drop the last reference to it: the array is re-read at every step and kept
// alive on the stack.
std::u16string joinText(ScriptContext& ctx, NativeClass& cls, ScriptArray& array, std::u16string_view separator)
{
    auto& joining = MemberAtoms::of<ArrayClassData>(cls).joining;
    if (std::find(joining.begin(), joining.end(), &array) != joining.end())
        return {};
    if (joining.size() >= kMaxJoinDepth)
        raiseError(ctx, kErrStackOverflow);
    const std::uint64_t separators = array.length ? array.length - 1 : 0;
    if (!separator.empty() && separators > kMaxStringLength / separator.size())
        raiseOutOfMemory(ctx);

    StackRoot root(ctx, ScriptValue::ofArray(&array));
    joining.push_back(&array);
    struct Done {
        std::vector<const ScriptArray*>& joining;
        ~Done() { joining.pop_back(); }
    } done{joining};

    std::u16string text;
    std::uint64_t written = 0; // separators so far
    const auto addSeparators = [&](std::uint64_t upTo) {
        for (; written < upTo; ++written)
            text += separator;
    };
    std::uint64_t index = 0;
    while (index < array.length) {
        const ScriptValue* v = arrayNextStored(array, index, &index);
        if (!v || index >= array.length)
            break;
        addSeparators(index);
        text += toString(ctx, *v)->view();
        if (text.size() > kMaxStringLength)
            raiseOutOfMemory(ctx);
        ++index;
    }
    addSeparators(separators);
    return text;
}

ScriptValue pop(ScriptContext& ctx, ScriptArray& array)
{
    if (array.length == 0)
        return ScriptValue::undefined();
    const std::uint64_t last = array.length - 1;
    const ScriptValue* v = arrayGet(array, last);
    const ScriptValue value = v ? *v : ScriptValue::undefined();
    arrayErase(ctx, array, last);
    array.length = last;
    return value;
}

void push(ScriptContext& ctx, ScriptArray& array, const ScriptValue* args)
{
    for (std::int64_t i = 1; i <= argumentCount(args); ++i)
        arrayAppend(ctx, array, args[i]);
}

// Re-stores the elements at new indexes with the given length.
void restore(ScriptContext& ctx, ScriptArray& array, const std::vector<StoredElement>& elements,
             std::uint64_t length)
{
    arrayTruncate(ctx, array, 0);
    for (const StoredElement& e : elements)
        arraySet(ctx, array, e.index, e.value);
    array.length = length;
}

void reverse(ScriptContext& ctx, ScriptArray& array)
{
    std::vector<StoredElement> elements = storedElements(array);
    for (StoredElement& e : elements)
        e.index = array.length - 1 - e.index;
    restore(ctx, array, elements, array.length);
}

ScriptValue shift(ScriptContext& ctx, ScriptArray& array)
{
    if (array.length == 0)
        return ScriptValue::undefined();
    const ScriptValue* v = arrayGet(array, 0);
    const ScriptValue value = v ? *v : ScriptValue::undefined();
    arrayErase(ctx, array, 0);
    arrayShift(ctx, array, 1, -1);
    --array.length;
    return value;
}

ScriptValue slice(ScriptContext& ctx, const ScriptArray& array, const ScriptValue* args)
{
    const std::uint64_t start = startArgument(args, 1, array.length);
    std::int64_t endArg = integerArgument(args, 2, static_cast<std::int64_t>(array.length));
    std::uint64_t end;
    if (endArg >= 0) {
        end = static_cast<std::uint64_t>(endArg);
    } else {
        endArg += static_cast<std::int64_t>(array.length);
        end = endArg >= 0 ? static_cast<std::uint64_t>(endArg) : start;
    }
    const std::uint64_t from = std::min(start, end);
    const std::uint64_t count = std::max(start, end) - from;

    ScriptArray* out = newArray(ctx);
    StackRoot root(ctx, ScriptValue::ofArray(out));
    forEachStored(array, from, from + count < from ? UINT64_MAX : from + count,
                  [&](std::uint64_t i, const ScriptValue& v) { arraySet(ctx, *out, i - from, v); });
    out->length = count;
    return ScriptValue::ofArray(out);
}

// Unlike a plain reading of the rule, items inserted past the end go to the
// end: storing them beyond the new length would hide them from every index.
ScriptValue splice(ScriptContext& ctx, ScriptArray& array, const ScriptValue* args)
{
    const std::uint64_t length = array.length;
    const std::uint64_t start = std::min(startArgument(args, 1, length), length);
    std::uint64_t count = length - start;
    if (hasArgument(args, 2) && args[2].is(ValueKind::Integer))
        count = std::min<std::uint64_t>(args[2].integer > 0 ? args[2].integer : 0, count);
    const std::int64_t items = std::max<std::int64_t>(argumentCount(args) - 2, 0);

    ScriptArray* removed = newArray(ctx);
    StackRoot root(ctx, ScriptValue::ofArray(removed));
    std::vector<std::uint64_t> erased;
    forEachStored(array, start, start + count, [&](std::uint64_t i, const ScriptValue& v) {
        arraySet(ctx, *removed, i - start, v);
        erased.push_back(i);
    });
    removed->length = count;
    for (const std::uint64_t i : erased)
        arrayErase(ctx, array, i);
    arrayShift(ctx, array, start + count, items - static_cast<std::int64_t>(count));
    for (std::int64_t i = 0; i < items; ++i)
        arraySet(ctx, array, start + static_cast<std::uint64_t>(i), args[3 + i]);
    array.length = length - count + static_cast<std::uint64_t>(items);
    return ScriptValue::ofArray(removed);
}

// The sign of a comparison function's answer.
int answerSign(const ScriptValue& answer)
{
    if (answer.is(ValueKind::Integer))
        return (answer.integer > 0) - (answer.integer < 0);
    if (answer.is(ValueKind::Float))
        return (answer.number > 0) - (answer.number < 0);
    return 0;
}

// The default order: undefined after everything else, the rest by their
// text, compared by code units. Each text is made once, not once for every
// comparison.
std::vector<ScriptValue> sortedByText(ScriptContext& ctx, const std::vector<ScriptValue>& values)
{
    std::vector<std::u16string> texts(values.size());
    for (std::size_t i = 0; i < values.size(); ++i)
        if (!values[i].is(ValueKind::Undefined))
            texts[i] = toString(ctx, values[i])->view();
    std::vector<std::size_t> order(values.size());
    for (std::size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    mergeSort(std::span(order), [&](std::size_t a, std::size_t b) {
        const bool undefinedA = values[a].is(ValueKind::Undefined), undefinedB = values[b].is(ValueKind::Undefined);
        if (undefinedA || undefinedB)
            return undefinedA && !undefinedB;
        return texts[a] > texts[b];
    });
    std::vector<ScriptValue> sorted;
    sorted.reserve(values.size());
    for (const std::size_t i : order)
        sorted.push_back(values[i]);
    return sorted;
}

// The length stays as it was when the sort began, even if the comparison
// changes the array meanwhile.
void sort(ScriptContext& ctx, ScriptArray& array, const ScriptValue* args)
{
    const std::uint64_t length = array.length;
    std::vector<ScriptValue> values;
    values.reserve(arrayStoredCount(array));
    forEachStored(array, 0, UINT64_MAX, [&](std::uint64_t, const ScriptValue& v) { values.push_back(v); });

    // The comparison may change the array: a copy keeps every value alive.
    ScriptArray* keep = newArray(ctx);
    StackRoot root(ctx, ScriptValue::ofArray(keep));
    for (std::size_t i = 0; i < values.size(); ++i)
        arraySet(ctx, *keep, i, values[i]);

    const bool byFunction = hasArgument(args, 1)
        && (args[1].is(ValueKind::Function) || args[1].is(ValueKind::Native));
    if (byFunction) {
        const ScriptValue compare = args[1];
        mergeSort(std::span(values), [&](const ScriptValue& a, const ScriptValue& b) {
            ScriptValue block[3] = {ScriptValue::ofInt(2), a, b};
            return answerSign(callNested(ctx, ScriptValue::null(), compare, 3, block)) > 0;
        });
    } else {
        values = sortedByText(ctx, values);
    }
    std::vector<StoredElement> sorted;
    sorted.reserve(values.size());
    for (std::size_t i = 0; i < values.size(); ++i)
        sorted.push_back({i, values[i]});
    restore(ctx, array, sorted, length);
}

std::int64_t unshift(ScriptContext& ctx, ScriptArray& array, const ScriptValue* args)
{
    const std::int64_t items = argumentCount(args);
    arrayShift(ctx, array, 0, items);
    for (std::int64_t i = 0; i < items; ++i)
        arraySet(ctx, array, static_cast<std::uint64_t>(i), args[1 + i]);
    array.length += static_cast<std::uint64_t>(items);
    return static_cast<std::int64_t>(array.length);
}

int arrayMethod(ScriptContext& ctx, NativeClass& cls, void* data, Atom name, ScriptValue* result, ScriptValue* args)
{
    const auto* receiver = static_cast<const ScriptValue*>(data); // null: the class object
    if (!receiver) {
        if (name != kAtomToString)
            return 0;
        *result = staticStringValue(ctx, u"[object Array]");
        return 1;
    }
    ScriptArray& array = *receiver->array;
    if (name == kAtomToString) {
        *result = stringValue(ctx, joinText(ctx, cls, array, u","));
        return 1;
    }
    switch (MemberAtoms::of(cls).find(name)) {
    case Concat:
        *result = concat(ctx, array, args);
        return 1;
    case Join: {
        const std::u16string separator = hasArgument(args, 1) ? std::u16string(toString(ctx, args[1])->view()) : u",";
        *result = stringValue(ctx, joinText(ctx, cls, array, separator));
        return 1;
    }
    case Pop:
        *result = pop(ctx, array);
        return 1;
    case Push:
        push(ctx, array, args);
        return 1;
    case Reverse:
        reverse(ctx, array);
        return 1;
    case Shift:
        *result = shift(ctx, array);
        return 1;
    case Slice:
        *result = slice(ctx, array, args);
        return 1;
    case Splice:
        *result = splice(ctx, array, args);
        return 1;
    case Sort:
        sort(ctx, array, args);
        return 1;
    case Unshift:
        *result = ScriptValue::ofInt(unshift(ctx, array, args));
        return 1;
    default:
        return 0;
    }
}

// "length": the array's length; a store of a non-negative Integer or Float
// truncates or extends it. On the class object it reads 1 and stays.
int arrayProperty(ScriptContext& ctx, NativeClass& cls, void* data, Atom name, int set, ScriptValue* value)
{
    if (MemberAtoms::of(cls).find(name) != Length)
        return 0;
    const auto* receiver = static_cast<const ScriptValue*>(data);
    if (!set) {
        *value = ScriptValue::ofInt(receiver ? static_cast<std::int64_t>(receiver->array->length) : 1);
        return 1;
    }
    if (!receiver)
        return 1;
    std::int64_t length = -1;
    if (value->is(ValueKind::Integer))
        length = value->integer;
    else if (value->is(ValueKind::Float) && value->number >= 0 && value->number < 9.2e18)
        length = static_cast<std::int64_t>(value->number);
    if (length >= 0)
        arrayTruncate(ctx, *receiver->array, static_cast<std::uint64_t>(length));
    return 1;
}

} // namespace

void registerArrayClass(ScriptContext& ctx)
{
    NativeClass* cls = newClass(ctx);
    MemberAtoms::attach<ArrayClassData>(
        ctx, *cls, {"concat", "join", "pop", "push", "reverse", "shift", "slice", "splice", "sort", "unshift", "length"});
    cls->call = arrayCall;
    cls->construct = arrayConstruct;
    cls->callMethod = arrayMethod;
    cls->accessProperty = arrayProperty;
    setKindClass(ctx, ValueKind::Array, cls);
    registerGlobalClass(ctx, "Array", cls);
}

} // namespace orvet
