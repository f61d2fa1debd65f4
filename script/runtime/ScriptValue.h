// The tagged value of the Orvet runtime: a kind tag and an 8-byte payload.
// Values are copied whole and never own what they point to; heap records are
// owned by the context's ScriptHeap and live while they are reachable.
#pragma once

#include <cstdint>

namespace orvet {

struct ScriptString;
struct ScriptArray;
struct ScriptObject;
struct NativeObject;
struct Closure;
struct WithList;

// An interned name; also the index of the global variable of that name.
using Atom = std::int32_t;

// The kind codes are part of the compiled-image format: a constant record's
// tag is the kind of the value it produces.
enum class ValueKind : std::uint32_t {
    Undefined = 0,
    Null = 1,
    Boolean = 2,
    Integer = 3,
    String = 4,
    Float = 5,
    Array = 6,
    Object = 7,
    Hole = 8, // internal: an element slot of an array that holds no element
    Name = 10,
    Native = 11,
    Function = 12,
    NaN = 13,
    FrameLink = 14, // interpreter stack only
    FrameInfo = 15, // interpreter stack only
};

inline constexpr int kKindCount = 15; // kinds 0-14 may have a per-kind class

// What a FrameLink slot of a call frame holds.
enum class FrameLinkRole : std::uint32_t { CallerFrame, WithList, ReturnAddress };

struct alignas(8) ScriptValue {
    ValueKind kind = ValueKind::Undefined;
    // Unused by values; frame slots keep their role (FrameLink) or the number
    // of addressable argument slots (FrameInfo) here.
    std::uint32_t aux = 0;
    union {
        std::int64_t integer = 0;
        double number;
        std::uint32_t boolean;
        Atom atom;
        ScriptString* string;
        ScriptArray* array;
        ScriptObject* object;
        NativeObject* native;
        Closure* closure;
        ScriptValue* frame;
        const std::uint32_t* code;
        WithList* withList;
        struct {
            std::uint32_t argSlots; // argument slots before padding
            std::uint32_t padding;  // slots inserted by argument padding
        } info;
    };

    constexpr ScriptValue() = default;

    static constexpr ScriptValue undefined() { return {}; }
    static constexpr ScriptValue null() { return ofKind(ValueKind::Null); }
    static constexpr ScriptValue nan() { return ofKind(ValueKind::NaN); }
    static constexpr ScriptValue ofBool(bool b)
    {
        ScriptValue v = ofKind(ValueKind::Boolean);
        v.boolean = b ? 1 : 0;
        return v;
    }
    static constexpr ScriptValue ofInt(std::int64_t i)
    {
        ScriptValue v = ofKind(ValueKind::Integer);
        v.integer = i;
        return v;
    }
    static constexpr ScriptValue ofFloat(double d)
    {
        ScriptValue v = ofKind(ValueKind::Float);
        v.number = d;
        return v;
    }
    static constexpr ScriptValue ofName(Atom a)
    {
        ScriptValue v = ofKind(ValueKind::Name);
        v.atom = a;
        return v;
    }
    static ScriptValue ofString(ScriptString* s)
    {
        ScriptValue v = ofKind(ValueKind::String);
        v.string = s;
        return v;
    }
    static ScriptValue ofArray(ScriptArray* a)
    {
        ScriptValue v = ofKind(ValueKind::Array);
        v.array = a;
        return v;
    }
    static ScriptValue ofObject(ScriptObject* o)
    {
        ScriptValue v = ofKind(ValueKind::Object);
        v.object = o;
        return v;
    }
    static ScriptValue ofNative(NativeObject* n)
    {
        ScriptValue v = ofKind(ValueKind::Native);
        v.native = n;
        return v;
    }
    static ScriptValue ofFunction(Closure* c)
    {
        ScriptValue v = ofKind(ValueKind::Function);
        v.closure = c;
        return v;
    }

    constexpr bool is(ValueKind k) const { return kind == k; }
    constexpr bool isNumeric() const
    {
        return kind == ValueKind::Integer || kind == ValueKind::Float || kind == ValueKind::NaN;
    }

private:
    static constexpr ScriptValue ofKind(ValueKind k)
    {
        ScriptValue v;
        v.kind = k;
        return v;
    }
};

static_assert(sizeof(ScriptValue) == 16);

} // namespace orvet
