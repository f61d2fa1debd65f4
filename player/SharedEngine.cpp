#include "player/SharedEngine.h"

#include "host/HostClasses.h"

namespace lumbra {

orvet::ScriptEngine* SharedEngine::get()
{
    if (destroyPending_)
        return engine_.get(); // still running; the next command gets a new one
    if (!engine_) {
        engine_ = createHostEngine(services_);
        if (!engine_)
            return nullptr;
        ++generation_;
        trace_.attach(*engine_);
    }
    return engine_.get();
}

void SharedEngine::destroy()
{
    if (uses_ > 0) {
        destroyPending_ = true;
        return;
    }
    destroyPending_ = false;
    orvet::DestroyEngine(std::move(engine_));
}

SharedEngine::Use::~Use()
{
    if (--shared_.uses_ == 0 && shared_.destroyPending_)
        shared_.destroy();
}

} // namespace lumbra
