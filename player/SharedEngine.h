// The one script engine that serves the movie's commands, the start-up
// script, script menus and timers: made on first use with every host
// class, its trace output the player's trace file, destroyed by
// "Orvet_Quit" and at close.
#pragma once

#include "player/TraceFile.h"

#include "script/engine/ScriptEngine.h"

#include <cstdint>

namespace lumbra {

class PlayerServices;

class SharedEngine {
public:
    SharedEngine(PlayerServices& services, TraceFile& trace) : services_(services), trace_(trace) {}
    SharedEngine(const SharedEngine&) = delete;
    SharedEngine& operator=(const SharedEngine&) = delete;

    // The engine, made now when there is none; null only when making it failed.
    orvet::ScriptEngine* get();
    // The engine if one exists.
    orvet::ScriptEngine* existing() const { return engine_.get(); }
    // Counts the engines made so far: what a module linked into one engine
    // remembers, so that it links afresh into the next.
    std::uint32_t generation() const { return generation_; }

    // Destroys the engine. While a script of it is running (a command sent
    // from inside a script), the engine goes when the outermost run ends.
    void destroy();

    // Marks a run of the engine; the engine outlives every mark.
    class Use {
    public:
        explicit Use(SharedEngine& shared) : shared_(shared) { ++shared_.uses_; }
        Use(const Use&) = delete;
        Use& operator=(const Use&) = delete;
        ~Use();

    private:
        SharedEngine& shared_;
    };

private:
    PlayerServices& services_;
    TraceFile& trace_;
    orvet::EnginePtr engine_;
    std::uint32_t generation_ = 0;
    int uses_ = 0;
    bool destroyPending_ = false;
};

} // namespace lumbra
