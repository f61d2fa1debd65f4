// Calls that the host makes into the movie's scripts.
#include "control/movie/Playback.h"

#include "control/movie/actions/Machine.h"

namespace lumbra::movie {

Value Playback::callFromHost(const Value& object, const Value& function, std::span<const Value> args)
{
    Value result;
    guarded([&] { result = machine_->call(function, object, args); });
    runQueuedActions();
    return result;
}

} // namespace lumbra::movie
