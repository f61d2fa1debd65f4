// The class of dates, registered as the global "Date": each instance holds
// one time value (ms since the epoch, UTC). The local time zone is fixed when
// the class is registered and kept for the life of the context.
#pragma once

namespace orvet {

struct ScriptContext;

// With the system's current time-zone adjustment.
void registerDateClass(ScriptContext& ctx);
// With a given adjustment (UTC minus local time, in ms).
void registerDateClass(ScriptContext& ctx, double localTZA);

}  // namespace orvet
