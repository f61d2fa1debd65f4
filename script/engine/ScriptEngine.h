// The engine: what a host keeps to run Orvet scripts. It owns one context
// with every built-in class and the host classes the host hands in, and the
// settings it was created with.
//
//   EnginePtr engine = CreateEngine();
//   SetTraceOutput(*engine, writeLine, file);
//   if (RunSourceText(*engine, "trace(1 + 2)") != 1)
//       report(engine->context->errorBuffer);
#pragma once

#include <cstdint>
#include <memory>

#include "script/runtime/ScriptContext.h"
#include "script/engine/EngineConfig.h"

namespace orvet {

struct ScriptEngine {
    EngineConfig config;
    std::unique_ptr<ScriptContext> context;

    // What every compilation of this engine is handed.
    std::uint32_t compileOptions() const { return compileOptionsOf(config); }
};

using EnginePtr = std::unique_ptr<ScriptEngine>;

// Registers one class (or group of globals) in the engine's context; errors
// are raised as runtime errors. `host` is HostClasses::host, for the class to
// keep in its user data (MemberAtoms::attach).
using ClassRegistration = void (*)(ScriptEngine& engine, void* host);

// The host classes, each registered after the built-in ones in the order of
// the fields. A host that lacks a class leaves its field empty.
struct HostClasses {
    void* host = nullptr; // handed to every registration (the player, for the player's classes)
    ClassRegistration dialogs = nullptr;
    ClassRegistration shell = nullptr;
    ClassRegistration mci = nullptr;
    ClassRegistration flashPlayer = nullptr;
    ClassRegistration movieClip = nullptr;
    ClassRegistration applicationFunctions = nullptr; // "getMainWnd" ... "encodeURIComponent"
    ClassRegistration window = nullptr;
    ClassRegistration menu = nullptr;
    ClassRegistration application = nullptr; // with its settings objects
    ClassRegistration directX = nullptr;
    ClassRegistration encryption = nullptr;
    ClassRegistration diskInfo = nullptr;
    ClassRegistration desktopToy = nullptr;
    ClassRegistration dataFile = nullptr;
};

// A new engine, or null when memory is short or a registration failed.
EnginePtr CreateEngine(const EngineConfig& config = {}, const HostClasses& hostClasses = {});
// Every finalizer of the context runs, then all its memory is released.
void DestroyEngine(EnginePtr engine);

// Where "trace" and warnings write their lines; none: they are dropped.
void SetTraceOutput(ScriptEngine& engine, TraceSink sink, void* data);

} // namespace orvet
