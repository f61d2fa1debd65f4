// Repeating system timers without a window. The system names a timer only by
// its identifier when it expires, so the callbacks live in one process-wide
// table: the script timers of every engine share the one timer service.
#pragma once

#include <functional>

namespace lumbra::host {

// 0 when the system refuses a timer.
unsigned startSystemTimer(unsigned milliseconds, std::function<void(unsigned id)> tick);
void stopSystemTimer(unsigned id);

} // namespace lumbra::host
