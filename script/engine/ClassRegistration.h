// What a built-in or host class uses to describe itself to an engine: "$"
// constants, global functions, the table of member atoms that a class keeps
// as its user data (with the engine and the host it was registered for), and
// the conversions of returned text. The class record and its instances come
// from NativeClass.h (newClass, newInstance, registerGlobalClass). A host
// class's setup routine, run through the engine's registration list
// (docs/host-classes.md tells the whole story):
//
//   void registerWindowClass(ScriptEngine& engine, void* host)
//   {
//       ScriptContext& ctx = *engine.context;
//       NativeClass* cls = newClass(ctx);
//       MemberAtoms::attach(engine, host, *cls, {"open", "close", "onMessage"});
//       cls->callMethod = windowMethod;          // and the other callbacks it needs
//       defineConstant(ctx, "$AW_BLEND", 0x80000);
//       registerGlobalClass(ctx, "Window", cls); // the class object, null data
//   }
#pragma once

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string_view>
#include <vector>

#include "script/runtime/NativeClass.h"
#include "script/runtime/ScriptContext.h"

namespace orvet {

struct ScriptEngine;

// A constant: an Integer global whose name begins with "$".
void defineConstant(ScriptContext& ctx, std::string_view name, std::int64_t value);
// A global function: a class with only `call`, as a Native global whose
// native data is `data`.
NativeClass* defineGlobalFunction(ScriptContext& ctx, std::string_view name, NativeCallFn call,
                                  void* data = nullptr);

// The atoms of a class's member names, interned in the order the callbacks
// test them, and the engine and host the class was registered for. Attached
// as the class's user data and freed with the class (after every instance
// has died); a class that keeps more per-engine data derives from it.
class MemberAtoms {
public:
    virtual ~MemberAtoms() = default;

    // For a host class: its callbacks reach the engine and the host (the
    // pointer the host handed to CreateEngine) through of(cls).
    template <class Data = MemberAtoms>
    static Data& attach(ScriptEngine& engine, void* host, NativeClass& cls,
                        std::initializer_list<std::string_view> names)
    {
        Data& attached = attach<Data>(contextOf(engine), cls, names);
        attached.engine = &engine;
        attached.host = host;
        return attached;
    }

    // For a built-in class, which needs neither.
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

    ScriptEngine* engine = nullptr;
    void* host = nullptr;

private:
    void intern(ScriptContext& ctx, std::initializer_list<std::string_view> names);
    static void release(void* userData);
    static ScriptContext& contextOf(ScriptEngine& engine);

    std::vector<Atom> atoms_;
};

// Arguments of a native call, counted from 1.
inline bool hasArgument(const ScriptValue* args, std::int64_t n) { return argumentCount(args) >= n; }

// A value as a new script string, from UTF-16 or from ANSI text.
ScriptValue stringValue(ScriptContext& ctx, std::u16string_view text);
ScriptValue ansiStringValue(ScriptContext& ctx, std::string_view text);
// A string over text that lives as long as the program (literals).
ScriptValue staticStringValue(ScriptContext& ctx, std::u16string_view text);

} // namespace orvet
