#include "player/SystemRestrictions.h"

namespace lumbra {

namespace {

class WindowsSwitches final : public SystemSwitches {
public:
    bool isWindows9x() const override { return (GetVersion() & 0x80000000u) != 0; }
    int showCursor(bool show) override { return ShowCursor(show); }
    bool setScreenSaverRunning(bool running) override
    {
        BOOL previous = FALSE;
        SystemParametersInfoA(SPI_SETSCREENSAVERRUNNING, running, &previous, 0);
        return previous != FALSE;
    }
    bool screenSaverActive() const override
    {
        BOOL active = FALSE;
        SystemParametersInfoA(SPI_GETSCREENSAVEACTIVE, 0, &active, 0);
        return active != FALSE;
    }
    void setScreenSaverActive(bool active) override
    {
        SystemParametersInfoA(SPI_SETSCREENSAVEACTIVE, active, nullptr, 0);
    }
    bool taskbarEnabled() const override
    {
        const HWND taskbar = FindWindowA("Shell_traywnd", nullptr);
        return taskbar && IsWindowEnabled(taskbar);
    }
    void enableTaskbar(bool enable) override
    {
        if (const HWND taskbar = FindWindowA("Shell_traywnd", nullptr))
            EnableWindow(taskbar, enable);
    }
};

// The display counter hides the cursor while it is negative; each call moves
// it by one, so the loop ends after as many steps as the counter is away.
void stepCursor(bool show, SystemSwitches& system)
{
    if (show)
        while (system.showCursor(true) < 0) {}
    else
        while (system.showCursor(false) >= 0) {}
}

constexpr WPARAM kScreenSaverCommands = 0xF140; // 0xF140 to 0xF14F

} // namespace

SystemSwitches& systemSwitches()
{
    static WindowsSwitches system;
    return system;
}

std::uint32_t applyRestrictions(std::uint32_t interactionFlags, SystemSwitches& system)
{
    stepCursor(!(interactionFlags & interactionHideCursor), system);
    if (!system.isWindows9x())
        return 0;
    std::uint32_t applied = 0;
    if ((interactionFlags & interactionNoTaskSwitch) && !system.setScreenSaverRunning(true))
        applied |= restrictedTaskSwitch;
    if ((interactionFlags & interactionNoScreenSaver) && system.screenSaverActive()) {
        system.setScreenSaverActive(false);
        applied |= restrictedScreenSaver;
    }
    if ((interactionFlags & interactionNoTaskSwitch) && system.taskbarEnabled()) {
        system.enableTaskbar(false);
        applied |= restrictedTaskbar;
    }
    return applied;
}

void undoRestrictions(std::uint32_t applied, SystemSwitches& system)
{
    if (!applied || !system.isWindows9x())
        return;
    if (applied & restrictedTaskSwitch)
        system.setScreenSaverRunning(false);
    if (applied & restrictedScreenSaver)
        system.setScreenSaverActive(true);
    if (applied & restrictedTaskbar)
        system.enableTaskbar(true);
}

void AppliedRestrictions::apply(std::uint32_t interactionFlags)
{
    undo();
    applied_ = applyRestrictions(interactionFlags, system_);
}

void AppliedRestrictions::undo()
{
    undoRestrictions(applied_, system_);
    applied_ = 0;
}

bool refusesSystemCommand(std::uint32_t interactionFlags, WPARAM command)
{
    return (interactionFlags & interactionNoScreenSaver) && (command & 0xFFF0) == kScreenSaverCommands;
}

} // namespace lumbra
