// An object of the movie's scripts: named properties with their flags, a
// prototype (__proto__), and for some kinds a payload: the code of a script
// function, a built-in function, the elements of an array, or the primitive
// a Number, String, Boolean or Date wraps. Objects live in the Heap, which
// frees them once nothing reaches them.
#pragma once

#include "control/movie/Value.h"
#include "control/movie/Watchpoint.h"

#include <cstdint>
#include <map>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace lumbra::movie {

class BitmapData;
class StyleSheet;
class DisplayObject;
class Machine;
struct NativeCall;

// The low bits are the ones scripts set with ASSetPropFlags: the first three
// protect, the others hide the property from movies of some versions.
// Accessor: the value is an object holding the getter and setter (addProperty).
enum PropertyFlags : unsigned {
    DontEnum = 1, DontDelete = 2, ReadOnly = 4,
    OnlyFrom6 = 0x80, NotIn6 = 0x100, OnlyFrom7 = 0x400, OnlyFrom8 = 0x1000, OnlyFrom9 = 0x2000,
    ScriptFlags = 0xFFFF,
    Accessor = 0x10000,
};

// A function's code and what it was defined with.
struct FunctionCode {
    std::span<const std::uint8_t> body;
    std::shared_ptr<const std::vector<std::u16string>> constants;
    std::vector<std::pair<unsigned, std::u16string>> params; // register (0: none), name
    unsigned registerCount = 4;
    unsigned flags = 0; // the preload and suppress bits of DefineFunction2
    bool defineFunction2 = false;
};

// One link of a scope chain: an object (an activation, a with-object) or a clip.
struct ScopeLink {
    ActionObject* object = nullptr;
    std::weak_ptr<DisplayObject> clip;
};

using NativeFunction = Value (*)(NativeCall& call);

class ActionObject {
public:
    enum class Kind { Plain, Function, Array, Boolean, Number, String, Date, Super };

    // Names compare with case from version 7 on; the version also decides
    // which properties the version bits hide.
    ActionObject(Kind kind, ActionObject* proto, int version) : kind(kind), proto(proto), version_(version) {}

    struct Property {
        std::u16string name;
        Value value;
        unsigned flags = 0;
        std::uint64_t order = 0;
    };

    // Own properties only; the caller walks the prototype chain. A property
    // hidden from this version is not found.
    const Property* find(std::u16string_view name) const;
    Property* find(std::u16string_view name);
    // Hidden or not, for changing its flags.
    Property* findAny(std::u16string_view name);
    // Sets or adds; a read-only property keeps its value (false).
    bool set(std::u16string_view name, Value value, unsigned flags = 0);
    // False when absent or not deletable.
    bool remove(std::u16string_view name);
    // Enumerable own names, the newest first as for-in visits them.
    std::vector<std::u16string> names() const;
    // Every own property, for flags changes and the collector.
    std::map<std::u16string, Property>& properties() { return properties_; }

    using Watch = Watchpoint;
    Watch* watchOf(std::u16string_view name);

    Kind kind;
    ActionObject* proto;
    Watchpoints watches;
    // Functions: script code or a native entry, and the chain they were defined in.
    std::shared_ptr<FunctionCode> code;
    std::vector<ScopeLink> scope;
    NativeFunction native = nullptr;
    // Arrays: the elements; wrappers and dates: the primitive; super: the object.
    std::vector<Value> elements;
    Value primitive;
    // flash.display.BitmapData instances: the picture.
    std::shared_ptr<BitmapData> bitmap;
    // TextField.StyleSheet instances: the styles as fields apply them.
    std::shared_ptr<StyleSheet> styleSheet;
    bool marked = false;

private:
    std::u16string key(std::u16string_view name) const;
    bool visible(const Property& property) const;

    int version_;
    std::map<std::u16string, Property> properties_; // by key
    std::uint64_t nextOrder_ = 0;
};

} // namespace lumbra::movie
