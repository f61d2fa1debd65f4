// The restrictions a kiosk-like presentation may put on the machine: hidden
// cursor, blocked task switching, no taskbar, no screen saver. Only what this
// run switched on is recorded, and only that is undone: a state the machine
// was already in stays as it was.
#pragma once

#include <windows.h>

#include <cstdint>

namespace lumbra {

// The system calls the restrictions make, so that tests can watch them.
class SystemSwitches {
public:
    virtual ~SystemSwitches() = default;
    // The Windows 95 family: the only systems where the machine-wide switches apply.
    virtual bool isWindows9x() const = 0;
    // Steps the cursor display counter; returns the new count.
    virtual int showCursor(bool show) = 0;
    // SPI_SETSCREENSAVERRUNNING; returns the previous state.
    virtual bool setScreenSaverRunning(bool running) = 0;
    virtual bool screenSaverActive() const = 0;
    virtual void setScreenSaverActive(bool active) = 0;
    // The taskbar window's enabled state; false when there is no taskbar.
    virtual bool taskbarEnabled() const = 0;
    virtual void enableTaskbar(bool enable) = 0;
};

// The real system.
SystemSwitches& systemSwitches();

// Bits of what a run applied.
enum RestrictionBits : std::uint32_t {
    restrictedTaskSwitch = 0x1,
    restrictedScreenSaver = 0x10,
    restrictedTaskbar = 0x100,
};

// interactionFlags bits.
enum InteractionBits : std::uint32_t {
    interactionNoTaskSwitch = 0x1,
    interactionHideCursor = 0x10,
    interactionNoScreenSaver = 0x100,
};

// Applies the restrictions of `interactionFlags`; returns what it applied.
std::uint32_t applyRestrictions(std::uint32_t interactionFlags, SystemSwitches& system = systemSwitches());
// Undoes what `applied` records.
void undoRestrictions(std::uint32_t applied, SystemSwitches& system = systemSwitches());

// The restrictions applied by this run; whatever it holds is undone when it
// goes, so that no way out of the player leaves the machine restricted.
class AppliedRestrictions {
public:
    explicit AppliedRestrictions(SystemSwitches& system = systemSwitches()) : system_(system) {}
    AppliedRestrictions(const AppliedRestrictions&) = delete;
    AppliedRestrictions& operator=(const AppliedRestrictions&) = delete;
    ~AppliedRestrictions() { undo(); }

    // Undoes the previous restrictions, then applies those of `interactionFlags`.
    void apply(std::uint32_t interactionFlags);
    void undo();
    std::uint32_t bits() const { return applied_; }

private:
    SystemSwitches& system_;
    std::uint32_t applied_ = 0;
};

// Whether the main window refuses a system command: while screen savers are
// disabled, the screen-saver commands are refused on every system.
bool refusesSystemCommand(std::uint32_t interactionFlags, WPARAM command);

} // namespace lumbra
