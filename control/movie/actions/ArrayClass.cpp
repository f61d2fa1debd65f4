// Array: elements kept densely in the object, with the usual methods.
#include "control/movie/actions/CaseMapping.h"
#include "control/movie/actions/Machine.h"

#include <algorithm>
#include <cmath>
#include <functional>

namespace lumbra::movie {

namespace {

enum SortFlags : unsigned { CaseInsensitive = 1, Descending = 2, UniqueSort = 4, ReturnIndexedArray = 8, Numeric = 16 };

// Arrays beyond this many elements are refused (memory is bounded).
constexpr double kMaxLength = 1 << 20;

ActionObject* array(NativeCall& c)
{
    ActionObject* self = c.self();
    return self && self->kind == ActionObject::Kind::Array ? self : nullptr;
}

Value construct(NativeCall& c)
{
    ActionObject* self = c.constructing ? c.self() : c.machine.newArray();
    self->kind = ActionObject::Kind::Array;
    if (c.args.size() == 1 && c.arg(0).isNumber()) {
        double n = c.number(0);
        if (n >= 0 && n < kMaxLength)
            self->elements.resize(std::size_t(n));
    } else {
        self->elements.assign(c.args.begin(), c.args.end());
    }
    return Value(self);
}

std::u16string join(NativeCall& c, ActionObject* a, const std::u16string& separator)
{
    std::u16string out;
    // A copy: an element's toString may change the array.
    const std::vector<Value> items = a->elements;
    for (std::size_t i = 0; i < items.size() && out.size() < kMaxBuiltText; ++i) {
        if (i)
            out += separator;
        out += c.machine.toString(items[i]);
    }
    return out;
}

Value joinMethod(NativeCall& c)
{
    ActionObject* a = array(c);
    if (!a)
        return {};
    return join(c, a, c.args.empty() || c.arg(0).isUndefined() ? u"," : c.string(0));
}

Value toString(NativeCall& c)
{
    ActionObject* a = array(c);
    return a ? Value(join(c, a, u",")) : Value();
}

Value push(NativeCall& c)
{
    ActionObject* a = array(c);
    if (!a)
        return {};
    if (a->elements.size() + c.args.size() < kMaxLength)
        a->elements.insert(a->elements.end(), c.args.begin(), c.args.end());
    return double(a->elements.size());
}

Value pop(NativeCall& c)
{
    ActionObject* a = array(c);
    if (!a || a->elements.empty())
        return {};
    Value v = a->elements.back();
    a->elements.pop_back();
    return v;
}

Value shift(NativeCall& c)
{
    ActionObject* a = array(c);
    if (!a || a->elements.empty())
        return {};
    Value v = a->elements.front();
    a->elements.erase(a->elements.begin());
    return v;
}

Value unshift(NativeCall& c)
{
    ActionObject* a = array(c);
    if (!a)
        return {};
    if (a->elements.size() + c.args.size() < kMaxLength)
        a->elements.insert(a->elements.begin(), c.args.begin(), c.args.end());
    return double(a->elements.size());
}

// A relative index (negative counts from the end) clamped to [0, size].
std::size_t relativeIndex(double n, std::size_t size)
{
    if (std::isnan(n))
        return 0;
    n = std::trunc(n);
    if (n < 0)
        n = std::max(0.0, double(size) + n);
    return std::size_t(std::min(n, double(size)));
}

Value slice(NativeCall& c)
{
    ActionObject* a = array(c);
    if (!a)
        return {};
    std::size_t size = a->elements.size();
    std::size_t from = relativeIndex(c.args.empty() ? 0 : c.number(0), size);
    std::size_t to = c.args.size() < 2 || c.arg(1).isUndefined() ? size : relativeIndex(c.number(1), size);
    std::vector<Value> out;
    if (from < to)
        out.assign(a->elements.begin() + std::ptrdiff_t(from), a->elements.begin() + std::ptrdiff_t(to));
    return Value(c.machine.newArray(std::move(out)));
}

Value splice(NativeCall& c)
{
    ActionObject* a = array(c);
    if (!a || c.args.empty())
        return {};
    std::size_t size = a->elements.size();
    std::size_t from = relativeIndex(c.number(0), size);
    std::size_t count = size - from;
    if (c.args.size() > 1) {
        double n = c.number(1);
        count = std::isnan(n) || n < 0 ? 0 : std::size_t(std::min(n, double(size - from)));
    }
    auto begin = a->elements.begin() + std::ptrdiff_t(from);
    std::vector<Value> removed(begin, begin + std::ptrdiff_t(count));
    a->elements.erase(begin, begin + std::ptrdiff_t(count));
    if (c.args.size() > 2 && a->elements.size() + c.args.size() < kMaxLength)
        a->elements.insert(a->elements.begin() + std::ptrdiff_t(from), c.args.begin() + 2, c.args.end());
    return Value(c.machine.newArray(std::move(removed)));
}

Value concat(NativeCall& c)
{
    ActionObject* a = array(c);
    if (!a)
        return {};
    std::vector<Value> out = a->elements;
    for (const Value& arg : c.args) {
        ActionObject* other = arg.toObject();
        if (other && other->kind == ActionObject::Kind::Array)
            out.insert(out.end(), other->elements.begin(), other->elements.end());
        else
            out.push_back(arg);
        if (out.size() >= kMaxLength)
            break;
    }
    return Value(c.machine.newArray(std::move(out)));
}

Value reverse(NativeCall& c)
{
    ActionObject* a = array(c);
    if (a)
        std::ranges::reverse(a->elements);
    return c.thisValue;
}

// A merge sort: a script's compare function need not be consistent, and
// whatever it answers the sort stays within bounds.
void mergeSort(std::vector<std::size_t>& order, const std::function<bool(std::size_t, std::size_t)>& less)
{
    std::vector<std::size_t> buffer(order.size());
    for (std::size_t width = 1; width < order.size(); width *= 2) {
        for (std::size_t lo = 0; lo < order.size(); lo += 2 * width) {
            std::size_t mid = std::min(lo + width, order.size()), hi = std::min(lo + 2 * width, order.size());
            std::size_t i = lo, j = mid, k = lo;
            while (i < mid && j < hi)
                buffer[k++] = less(order[j], order[i]) ? order[j++] : order[i++];
            while (i < mid)
                buffer[k++] = order[i++];
            while (j < hi)
                buffer[k++] = order[j++];
        }
        order.swap(buffer);
    }
}

// One level of an ordering: the flags, and for sortOn the field it reads.
struct SortKey {
    std::u16string field; // empty: the element itself
    unsigned flags = 0;
};

// Sorts `a` by the keys in turn (or by a script's compare function), as the
// flags ask: -1/0/1 per comparison, DESCENDING turning the order round,
// UNIQUESORT refusing equal elements with 0, RETURNINDEXEDARRAY giving the
// order as indices and leaving the array as it was.
Value sortWith(NativeCall& c, ActionObject* a, const Value& compare, const std::vector<SortKey>& keys)
{
    // A snapshot: the compare function may change the array while we sort.
    const std::vector<Value> items = a->elements;
    // Each key's values are converted once, before sorting: as numbers or
    // texts by the flags, or kept for the compare function.
    struct Column {
        std::vector<Value> values;
        std::vector<double> numbers;
        std::vector<std::u16string> texts;
    };
    std::vector<Column> columns(keys.size());
    for (std::size_t k = 0; k < keys.size(); ++k) {
        for (const auto& item : items) {
            Value v = keys[k].field.empty() ? item : c.machine.get(item, keys[k].field);
            if (compare.isObject())
                columns[k].values.push_back(v);
            else if (keys[k].flags & Numeric)
                columns[k].numbers.push_back(c.machine.toNumber(v));
            else if (keys[k].flags & CaseInsensitive)
                columns[k].texts.push_back(toLower(c.machine.toString(v)));
            else
                columns[k].texts.push_back(c.machine.toString(v));
        }
    }
    auto order3 = [](const auto& p, const auto& q) { return p < q ? -1.0 : q < p ? 1.0 : 0.0; };
    auto compareOne = [&](std::size_t k, std::size_t x, std::size_t y) -> double {
        const Column& column = columns[k];
        double r;
        if (compare.isObject()) {
            Value args[2] = {column.values[x], column.values[y]};
            r = c.machine.toNumber(c.machine.call(compare, Value(), args));
            r = r < 0 ? -1 : r > 0 ? 1 : 0;
        } else if (keys[k].flags & Numeric) {
            r = order3(column.numbers[x], column.numbers[y]);
        } else {
            r = order3(column.texts[x], column.texts[y]);
        }
        return (keys[k].flags & Descending) ? -r : r;
    };
    bool duplicate = false;
    std::vector<std::size_t> order(items.size());
    for (std::size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    mergeSort(order, [&](std::size_t x, std::size_t y) {
        for (std::size_t k = 0; k < keys.size(); ++k)
            if (double r = compareOne(k, x, y); r != 0)
                return r < 0;
        duplicate = true;
        return false;
    });
    unsigned flags = keys.empty() ? 0 : keys.front().flags;
    if ((flags & UniqueSort) && duplicate)
        return 0.0;
    std::vector<Value> sorted;
    for (std::size_t i : order)
        sorted.push_back(flags & ReturnIndexedArray ? Value(double(i)) : items[i]);
    if (flags & ReturnIndexedArray)
        return Value(c.machine.newArray(std::move(sorted)));
    a->elements = std::move(sorted);
    return Value(a);
}

// sort(), sort(flags), sort(compare), sort(compare, flags)
Value sort(NativeCall& c)
{
    ActionObject* a = array(c);
    if (!a)
        return {};
    ActionObject* first = c.arg(0).toObject();
    Value compare = first && first->kind == ActionObject::Kind::Function ? c.arg(0) : Value();
    unsigned flags = unsigned(c.machine.toInt32(compare.isObject() ? c.arg(1) : c.arg(0)));
    return sortWith(c, a, compare, {SortKey{{}, flags}});
}

// sortOn("field", flags) or sortOn(["a", "b"], flags or [flagsA, flagsB]).
Value sortOn(NativeCall& c)
{
    ActionObject* a = array(c);
    if (!a || c.args.empty())
        return {};
    ActionObject* names = c.arg(0).toObject();
    ActionObject* flagList = c.arg(1).toObject();
    bool flagsPerField = flagList && flagList->kind == ActionObject::Kind::Array;
    unsigned common = flagsPerField ? 0 : unsigned(c.machine.toInt32(c.arg(1)));
    std::vector<SortKey> keys;
    if (names && names->kind == ActionObject::Kind::Array) {
        // Flags per field count only when there is one for each field.
        flagsPerField = flagsPerField && flagList->elements.size() == names->elements.size();
        for (std::size_t i = 0; i < names->elements.size(); ++i) {
            unsigned flags = flagsPerField ? unsigned(c.machine.toInt32(flagList->elements[i])) : common;
            keys.push_back({c.machine.toString(names->elements[i]), flags});
        }
    } else {
        keys.push_back({c.string(0), common});
    }
    if (keys.empty())
        return Value(a);
    // The whole-sort flags (unique, indexed) follow the first field.
    return sortWith(c, a, Value(), keys);
}

} // namespace

void installArray(Machine& m)
{
    ActionObject* proto = m.heap().make(ActionObject::Kind::Array, m.prototypes().object);
    m.prototypes().array = proto;
    ActionObject* ctor = m.defineClass(u"Array", construct, proto);
    const std::pair<const char16_t*, double> constants[] = {
        {u"CASEINSENSITIVE", CaseInsensitive}, {u"DESCENDING", Descending}, {u"UNIQUESORT", UniqueSort},
        {u"RETURNINDEXEDARRAY", ReturnIndexedArray}, {u"NUMERIC", Numeric}};
    for (auto [name, value] : constants)
        ctor->set(name, value, DontEnum | DontDelete | ReadOnly);
    m.method(proto, u"join", joinMethod);
    m.method(proto, u"toString", toString);
    m.method(proto, u"push", push);
    m.method(proto, u"pop", pop);
    m.method(proto, u"shift", shift);
    m.method(proto, u"unshift", unshift);
    m.method(proto, u"slice", slice);
    m.method(proto, u"splice", splice);
    m.method(proto, u"concat", concat);
    m.method(proto, u"reverse", reverse);
    m.method(proto, u"sort", sort);
    m.method(proto, u"sortOn", sortOn);
}

} // namespace lumbra::movie
