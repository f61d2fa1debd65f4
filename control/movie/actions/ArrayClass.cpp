// Array: elements kept densely in the object, with the usual methods.
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
    for (std::size_t i = 0; i < a->elements.size(); ++i) {
        if (i)
            out += separator;
        out += c.machine.toString(a->elements[i]);
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

std::u16string lower(std::u16string s)
{
    for (auto& ch : s)
        if (ch >= u'A' && ch <= u'Z')
            ch = char16_t(ch + 32);
    return s;
}

// -1, 0 or 1 by the flags; a compare function decides when given.
Value sortWith(NativeCall& c, ActionObject* a, const Value& compare, unsigned flags,
               const std::function<Value(const Value&)>& key)
{
    std::vector<Value> keys;
    for (const auto& e : a->elements)
        keys.push_back(key(e));
    auto compareKeys = [&](std::size_t x, std::size_t y) -> double {
        const Value &p = keys[x], &q = keys[y];
        if (compare.isObject()) {
            Value args[2] = {a->elements[x], a->elements[y]};
            return c.machine.toNumber(c.machine.call(compare, Value(), args));
        }
        if (flags & Numeric) {
            double m = c.machine.toNumber(p), n = c.machine.toNumber(q);
            return m < n ? -1 : m > n ? 1 : 0;
        }
        std::u16string s = c.machine.toString(p), t = c.machine.toString(q);
        if (flags & CaseInsensitive) {
            s = lower(std::move(s));
            t = lower(std::move(t));
        }
        return s < t ? -1 : s > t ? 1 : 0;
    };
    std::vector<std::size_t> order(a->elements.size());
    for (std::size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    bool duplicate = false;
    mergeSort(order, [&](std::size_t x, std::size_t y) {
        double r = compareKeys(x, y);
        if (r == 0)
            duplicate = true;
        return (flags & Descending) ? r > 0 : r < 0;
    });
    if ((flags & UniqueSort) && duplicate)
        return 0.0;
    if (flags & ReturnIndexedArray) {
        std::vector<Value> indices;
        for (std::size_t i : order)
            indices.push_back(double(i));
        return Value(c.machine.newArray(std::move(indices)));
    }
    std::vector<Value> sorted;
    for (std::size_t i : order)
        sorted.push_back(a->elements[i]);
    a->elements = std::move(sorted);
    return Value(a);
}

Value sort(NativeCall& c)
{
    ActionObject* a = array(c);
    if (!a)
        return {};
    Value compare = c.arg(0).isObject() ? c.arg(0) : Value();
    unsigned flags = unsigned(c.machine.toInt32(compare.isObject() ? c.arg(1) : c.arg(0)));
    return sortWith(c, a, compare, flags, [](const Value& v) { return v; });
}

Value sortOn(NativeCall& c)
{
    ActionObject* a = array(c);
    if (!a)
        return {};
    std::u16string field = c.string(0);
    unsigned flags = unsigned(c.machine.toInt32(c.arg(1)));
    return sortWith(c, a, Value(), flags, [&](const Value& v) { return c.machine.get(v, field); });
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
