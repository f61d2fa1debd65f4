#include "script/runtime/PropertyAccess.h"

#include <string>

#include "script/runtime/Closure.h"
#include "script/runtime/Conversions.h"
#include "script/runtime/NativeClass.h"
#include "script/runtime/RuntimeError.h"
#include "script/runtime/ScriptArray.h"
#include "script/runtime/ScriptContext.h"
#include "script/runtime/ScriptObject.h"
#include "script/runtime/ScriptString.h"

namespace orvet {

namespace {

constexpr std::string_view kUndefinedProperty = "using undefined property";
constexpr std::string_view kInvalidIndex = "Warning: invalid index for operator []";

ScriptValue classPrototype(const ScriptContext& ctx, ValueKind kind)
{
    NativeClass* cls = kindClass(ctx, kind);
    return cls ? ScriptValue::ofObject(cls->prototype) : ScriptValue::null();
}

ScriptObject** ownSlot(const ScriptValue& v)
{
    switch (v.kind) {
    case ValueKind::String: return &v.string->props;
    case ValueKind::Array: return &v.array->props;
    case ValueKind::Function: return &v.closure->props;
    default: return nullptr;
    }
}

void warnWrongType(ScriptContext& ctx, Atom name)
{
    ctx.warn("Warning: can't set property \"" + std::string(ctx.nameOf(name)) + "\" with a wrong type");
}

bool getNative(ScriptContext& ctx, NativeObject& n, Atom name, ScriptValue& out)
{
    NativeClass& cls = *n.cls;
    out = ScriptValue::undefined();
    if (!cls.accessProperty)
        return false;
    if (cls.accessProperty(ctx, cls, n.data, name, 0, &out))
        return true;
    ScriptObject* props = n.props ? n.props : cls.prototype;
    if (name == kAtomProto) {
        out = ScriptValue::ofObject(props);
        return true;
    }
    return getProperty(props, name, out);
}

void setNative(ScriptContext& ctx, NativeObject& n, Atom name, const ScriptValue& value)
{
    NativeClass& cls = *n.cls;
    if (!cls.accessProperty) {
        warnName(ctx, kUndefinedProperty, ctx.nameOf(name));
        return;
    }
    ScriptValue copy = value;
    if (cls.accessProperty(ctx, cls, n.data, name, 1, &copy))
        return;
    if (name == kAtomProto) {
        if (value.kind != ValueKind::Object)
            warnWrongType(ctx, name);
        else if (n.props)
            n.props = value.object;
        else
            cls.prototype = value.object;
        return;
    }
    setProperty(ctx, n.props ? n.props : cls.prototype, name, value);
}

// Element access of a Native through a string key: the property rules.
ScriptValue getNativeByName(ScriptContext& ctx, NativeObject& n, const ScriptValue& key)
{
    Atom name = ctx.intern(toAnsi(*key.string));
    if (!n.cls->accessProperty)
        warnName(ctx, kUndefinedProperty, ctx.nameOf(name));
    ScriptValue out;
    getNative(ctx, n, name, out);
    return out;
}

bool isActiveXObject(ScriptContext& ctx, const NativeObject& n)
{
    Atom atom = ctx.atoms.find("ActiveXObject");
    if (atom == AtomTable::kNone)
        return false;
    const ScriptValue& global = ctx.global(atom);
    return global.kind == ValueKind::Native && global.native->cls == n.cls;
}

// The index of an Array element key, or false for keys of other kinds.
bool arrayIndex(const ScriptValue& key, std::uint64_t& index)
{
    if (key.kind == ValueKind::Integer)
        index = static_cast<std::uint64_t>(key.integer);
    else if (key.kind == ValueKind::Float)
        index = static_cast<std::uint64_t>(truncateToInt64(key.number));
    else
        return false;
    return true;
}

void storeStringChar(ScriptContext& ctx, ScriptString& s, std::int64_t index, const ScriptValue& value)
{
    if (s.isStatic()) {
        ctx.warn("Warning: can't change a static string");
        return;
    }
    char16_t c;
    if (value.kind == ValueKind::Integer)
        c = static_cast<std::uint8_t>(value.integer);
    else if (value.kind == ValueKind::String && value.string->length > 0)
        c = value.string->chars[0];
    else if (value.kind == ValueKind::String)
        return;
    else {
        ctx.warn("Warning: can't store a non-charactor value to string");
        return;
    }
    if (index >= 0x3FFFFFFF)
        raiseError(ctx, kErrOutOfMemory);
    auto i = static_cast<std::uint32_t>(index);
    if (i >= s.length) {
        std::uint32_t old = s.length;
        growString(ctx, s, i + 1);
        for (std::uint32_t k = old; k < i; ++k)
            s.chars[k] = u' ';
    }
    s.chars[i] = c;
}

} // namespace

void warnName(ScriptContext& ctx, std::string_view what, std::string_view name)
{
    std::string line = "Warning: ";
    line += what;
    line += " \"";
    line += name;
    line += '"';
    ctx.warn(line);
}

ScriptObject* ownPropertyObject(ScriptContext& ctx, const ScriptValue& v, ValueKind protoKind)
{
    ScriptObject** slot = ownSlot(v);
    if (!slot)
        return nullptr;
    if (!*slot) {
        ScriptObject* props = newObjectWithProto(ctx, classPrototype(ctx, protoKind));
        *slot = props;
    }
    return *slot;
}

bool getMember(ScriptContext& ctx, const ScriptValue& target, Atom name, ScriptValue& out)
{
    switch (target.kind) {
    case ValueKind::Object: return getProperty(target.object, name, out);
    case ValueKind::Native: return getNative(ctx, *target.native, name, out);
    default: break;
    }
    out = ScriptValue::undefined();
    NativeClass* cls = kindClass(ctx, target.kind);
    if (!cls)
        return false;
    ScriptValue self = target;
    if (cls->accessProperty && cls->accessProperty(ctx, *cls, &self, name, 0, &out))
        return true;
    if (name == kAtomProto) {
        ScriptObject* own = ownPropertyObject(ctx, target, target.kind);
        out = ScriptValue::ofObject(own ? own : cls->prototype);
        return true;
    }
    ScriptObject** own = ownSlot(target);
    if (own && *own && getProperty(*own, name, out))
        return true;
    return getProperty(cls->prototype, name, out);
}

void setMember(ScriptContext& ctx, const ScriptValue& target, Atom name, const ScriptValue& value)
{
    switch (target.kind) {
    case ValueKind::Object: setProperty(ctx, target.object, name, value); return;
    case ValueKind::Native: setNative(ctx, *target.native, name, value); return;
    default: break;
    }
    NativeClass* cls = kindClass(ctx, target.kind);
    if (!cls) {
        warnName(ctx, kUndefinedProperty, ctx.nameOf(name));
        return;
    }
    ScriptValue self = target;
    ScriptValue copy = value;
    if (cls->accessProperty && cls->accessProperty(ctx, *cls, &self, name, 1, &copy))
        return;
    ScriptObject** own = ownSlot(target);
    if (!own) {
        warnName(ctx, kUndefinedProperty, ctx.nameOf(name));
        return;
    }
    if (name == kAtomProto) {
        if (value.kind == ValueKind::Object)
            *own = value.object;
        else
            warnWrongType(ctx, name);
        return;
    }
    setProperty(ctx, ownPropertyObject(ctx, target, target.kind), name, value);
}

bool setScopeMember(ScriptContext& ctx, const ScriptValue& scope, Atom name, const ScriptValue& value)
{
    if (scope.kind == ValueKind::Object) {
        PropertySlot* slot = findOwnSlot(scope.object, name);
        if (!slot)
            return false;
        slot->value = value;
        return true;
    }
    NativeClass* cls = scope.kind == ValueKind::Native ? scope.native->cls : kindClass(ctx, scope.kind);
    if (!cls || !cls->accessProperty)
        return false;
    ScriptValue self = scope;
    void* data = scope.kind == ValueKind::Native ? scope.native->data : &self;
    ScriptValue copy = value;
    return cls->accessProperty(ctx, *cls, data, name, 1, &copy) != 0;
}

void deleteMember(ScriptContext& ctx, const ScriptValue& target, Atom name)
{
    if (target.kind == ValueKind::Object)
        deleteProperty(ctx, target.object, name);
}

ScriptValue getElement(ScriptContext& ctx, const ScriptValue& target, const ScriptValue& key)
{
    switch (target.kind) {
    case ValueKind::Native: {
        NativeObject& n = *target.native;
        if (isActiveXObject(ctx, n)) {
            ScriptValue args[2] = {ScriptValue::ofInt(1), key};
            ScriptValue result;
            if (n.cls->callMethod && n.cls->callMethod(ctx, *n.cls, n.data, ctx.intern("Item"), &result, args))
                return result;
            return ScriptValue::undefined();
        }
        if (key.kind == ValueKind::Integer)
            return ScriptValue::undefined();
        if (key.kind == ValueKind::String)
            return getNativeByName(ctx, n, key);
        ctx.warn(kInvalidIndex);
        return ScriptValue::undefined();
    }
    case ValueKind::Object: {
        if (key.kind == ValueKind::Name) {
            ScriptValue out;
            getProperty(target.object, key.atom, out);
            return out;
        }
        return getByKey(ctx, target.object, key);
    }
    case ValueKind::Array: {
        std::uint64_t index;
        if (!arrayIndex(key, index)) {
            ctx.warn(kInvalidIndex);
            return ScriptValue::undefined();
        }
        const ScriptValue* element = index < target.array->length ? arrayGet(*target.array, index) : nullptr;
        return element ? *element : ScriptValue::undefined();
    }
    case ValueKind::String: {
        if (key.kind != ValueKind::Integer) {
            ctx.warn(kInvalidIndex);
            return ScriptValue::undefined();
        }
        const ScriptString& s = *target.string;
        if (key.integer < 0 || key.integer >= s.length) {
            ctx.warn("Warning: string index out of range");
            return ScriptValue::undefined();
        }
        return ScriptValue::ofInt(s.chars[key.integer]);
    }
    default: return ScriptValue::undefined();
    }
}

void setElement(ScriptContext& ctx, const ScriptValue& target, const ScriptValue& key, const ScriptValue& value)
{
    switch (target.kind) {
    case ValueKind::Native:
        if (key.kind == ValueKind::String)
            setNative(ctx, *target.native, ctx.intern(toAnsi(*key.string)), value);
        else if (key.kind != ValueKind::Integer)
            ctx.warn(kInvalidIndex);
        return;
    case ValueKind::Object:
        if (key.kind == ValueKind::Name)
            setProperty(ctx, target.object, key.atom, value);
        else
            setByKey(ctx, target.object, key, value);
        return;
    case ValueKind::Array: {
        std::uint64_t index;
        if (!arrayIndex(key, index)) {
            ctx.warn(kInvalidIndex);
            return;
        }
        arrayPut(ctx, *target.array, index, value);
        return;
    }
    case ValueKind::String:
        if (key.kind == ValueKind::Integer && key.integer >= 0)
            storeStringChar(ctx, *target.string, key.integer, value);
        else
            ctx.warn(kInvalidIndex);
        return;
    default: return;
    }
}

void deleteElement(ScriptContext& ctx, const ScriptValue& target, const ScriptValue& key)
{
    if (target.kind == ValueKind::Object) {
        if (key.kind == ValueKind::Name)
            deleteProperty(ctx, target.object, key.atom);
        else
            deleteByKey(ctx, target.object, key);
        return;
    }
    if (target.kind != ValueKind::Array || key.kind != ValueKind::Integer || key.integer < 0)
        return;
    ScriptArray& a = *target.array;
    auto index = static_cast<std::uint64_t>(key.integer);
    if (index >= a.length)
        return;
    // Delete closes the gap: later elements move down by one.
    arrayErase(ctx, a, index);
    arrayShift(ctx, a, index + 1, -1);
    --a.length;
}

} // namespace orvet
