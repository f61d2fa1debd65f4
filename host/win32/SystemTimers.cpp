#include "host/win32/SystemTimers.h"

#include <windows.h>

#include <map>

namespace lumbra::host {

namespace {

std::map<UINT_PTR, std::function<void(unsigned)>>& ticks()
{
    static std::map<UINT_PTR, std::function<void(unsigned)>> table;
    return table;
}

void CALLBACK expired(HWND, UINT, UINT_PTR id, DWORD)
{
    auto found = ticks().find(id);
    if (found == ticks().end())
        return;
    // A copy: the tick may stop its own timer (or every timer).
    const std::function<void(unsigned)> tick = found->second;
    tick(static_cast<unsigned>(id));
}

} // namespace

unsigned startSystemTimer(unsigned milliseconds, std::function<void(unsigned)> tick)
{
    const UINT_PTR id = SetTimer(nullptr, 0, milliseconds, expired);
    if (id == 0)
        return 0;
    ticks()[id] = std::move(tick);
    return static_cast<unsigned>(id);
}

void stopSystemTimer(unsigned id)
{
    KillTimer(nullptr, id);
    ticks().erase(id);
}

} // namespace lumbra::host
