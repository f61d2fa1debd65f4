// What a built-in or host class uses to describe itself to an engine: names,
// globals, the class record and its instances, "$" constants, global
// functions, and the table of member atoms that a class keeps as its user
// data. A class's setup routine, run through the engine's registration list:
//
//   NativeClass* cls = NewClass(ctx);
//   MemberAtoms::attach(ctx, *cls, {"open", "close", "onMessage"});
//   cls->callMethod = windowMethod;          // and the other callbacks it needs
//   defineConstant(ctx, "$AW_BLEND", 0x80000);
//   registerGlobalClass(ctx, "Window", cls); // the class object, null data
#pragma once

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string_view>
#include <vector>

#include "script/runtime/NativeClass.h"
#include "script/runtime/ScriptContext.h"

namespace orvet {

Atom Intern(ScriptContext& ctx, std::string_view name);
// The global slot of an atom; the reference holds until a new name is interned.
ScriptValue& Global(ScriptContext& ctx, Atom atom);
// A class record with no callbacks and a fresh prototype.
NativeClass* NewClass(ScriptContext& ctx);
// A Native value of the class; with data it also gets its property object.
void NewInstance(ScriptContext& ctx, ScriptValue* out, NativeClass* cls, void* data);

// A constant: an Integer global whose name begins with "$".
void defineConstant(ScriptContext& ctx, std::string_view name, std::int64_t value);
// A global function: a class with only `call`, as a Native global whose
// native data is `data`.
NativeClass* defineGlobalFunction(ScriptContext& ctx, std::string_view name, NativeCallFn call,
                                  void* data = nullptr);

// The atoms of a class's member names, interned in the order the callbacks
// test them. Attached as the class's user data and freed with the class; a
// class that keeps more per-context data derives from it.
class MemberAtoms {
public:
    virtual ~MemberAtoms() = default;

    template <class Data = MemberAtoms>
    static Data& attach(ScriptContext& ctx, NativeClass& cls, std::initializer_list<std::string_view> names)
    {
        auto data = std::make_unique<Data>();
        data->intern(ctx, names);
        Data& attached = *data;
        cls.userData = static_cast<MemberAtoms*>(data.release());
        cls.finalize = &MemberAtoms::release;
        return attached;
    }

    template <class Data = MemberAtoms>
    static Data& of(const NativeClass& cls)
    {
        return static_cast<Data&>(*static_cast<MemberAtoms*>(cls.userData));
    }

    // The member's position in the list, or -1.
    int find(Atom atom) const
    {
        for (std::size_t i = 0; i < atoms_.size(); ++i)
            if (atoms_[i] == atom)
                return static_cast<int>(i);
        return -1;
    }

private:
    void intern(ScriptContext& ctx, std::initializer_list<std::string_view> names);
    static void release(void* userData);

    std::vector<Atom> atoms_;
};

// Arguments of a native call (args[0] is the count).
inline std::int64_t argumentCount(const ScriptValue* args) { return args[0].integer; }
inline bool hasArgument(const ScriptValue* args, std::int64_t n) { return argumentCount(args) >= n; }

// A value as a new script string, from UTF-16 or from ANSI text.
ScriptValue stringValue(ScriptContext& ctx, std::u16string_view text);
ScriptValue ansiStringValue(ScriptContext& ctx, std::string_view text);
// A string over text that lives as long as the program (literals).
ScriptValue staticStringValue(ScriptContext& ctx, std::u16string_view text);

} // namespace orvet
