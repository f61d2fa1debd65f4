// The script timers of "Application.setInterval": each system timer calls a
// stored target (a function, or a method of any value) with copied
// arguments until "clearInterval". The table belongs to the Application
// class of one engine; its values are marked with the class, and every
// timer is killed when the class dies with the engine.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "script/runtime/ScriptValue.h"

namespace orvet {
struct ScriptContext;
}

namespace lumbra {
class HostPlayer;
}

namespace lumbra::host {

class ScriptTimers {
public:
    ScriptTimers(orvet::ScriptContext& ctx, HostPlayer& player) : ctx_(ctx), player_(player) {}
    ~ScriptTimers() { clear(); }
    ScriptTimers(const ScriptTimers&) = delete;
    ScriptTimers& operator=(const ScriptTimers&) = delete;

    // Starts a timer; `method` empty calls the target as a function. The
    // identifier, or 0 when the system refused a timer.
    unsigned start(const orvet::ScriptValue& target, std::string method, unsigned milliseconds,
                   std::vector<orvet::ScriptValue> arguments);
    // Kills the timer and forgets it; unknown identifiers are ignored.
    void stop(unsigned id);
    // Kills every timer.
    void clear();

    void mark() const;
    std::size_t size() const { return timers_.size(); }

    // One expiry: calls the target. Errors stay in the engine's error buffer
    // and the timer keeps running.
    void tick(unsigned id);

private:
    struct Timer {
        orvet::ScriptValue target;
        std::string method; // ANSI; empty for a function target
        // The argument block: entry 0 holds the count.
        std::vector<orvet::ScriptValue> block;
    };

    orvet::ScriptContext& ctx_;
    HostPlayer& player_;
    std::map<unsigned, Timer> timers_;
};

} // namespace lumbra::host
