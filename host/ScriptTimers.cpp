#include "host/ScriptTimers.h"

#include "host/HostPlayer.h"
#include "script/engine/EngineCalls.h"
#include "script/runtime/Collector.h"
#include "script/runtime/ScriptContext.h"

namespace lumbra::host {

using orvet::ScriptValue;

unsigned ScriptTimers::start(const ScriptValue& target, std::string method, unsigned milliseconds,
                             std::vector<ScriptValue> arguments)
{
    const unsigned id = player_.startTimer(milliseconds, [this](unsigned expired) { tick(expired); });
    if (id == 0)
        return 0;
    std::vector<ScriptValue> block;
    block.reserve(arguments.size() + 1);
    block.push_back(ScriptValue::ofInt(static_cast<std::int64_t>(arguments.size())));
    block.insert(block.end(), arguments.begin(), arguments.end());
    timers_[id] = Timer{target, std::move(method), std::move(block)};
    return id;
}

void ScriptTimers::stop(unsigned id)
{
    if (timers_.erase(id))
        player_.stopTimer(id);
}

void ScriptTimers::clear()
{
    for (const auto& [id, timer] : timers_)
        player_.stopTimer(id);
    timers_.clear();
}

void ScriptTimers::mark() const
{
    for (const auto& [id, timer] : timers_) {
        orvet::markValue(ctx_, timer.target);
        for (const ScriptValue& v : timer.block)
            orvet::markValue(ctx_, v);
    }
}

void ScriptTimers::tick(unsigned id)
{
    auto found = timers_.find(id);
    if (found == timers_.end())
        return;
    // A copy: the call may clear this very timer (or all of them). The call
    // entries root their arguments on the interpreter stack.
    Timer timer = found->second;
    const int n = static_cast<int>(timer.block.size());
    if (timer.method.empty())
        orvet::CallFunction(ctx_, nullptr, timer.target, n, timer.block.data());
    else
        orvet::CallMethod(ctx_, timer.target, timer.method.c_str(), n, timer.block.data());
}

} // namespace lumbra::host
