// Test support: a Wine virtual desktop of its own for one program. Unlike
// the desktop the other tests share, it has a taskbar along its bottom edge
// with a notification area, so tray icons can be seen and clicked there.
//
// What looks at or clicks that desktop runs in a process of its own there:
// a process that once used a virtual desktop keeps drawing into it, so this
// test program itself stays on the shared one.
#pragma once

#include "PlayerProcess.h"

#include <windows.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace lumbra::test {

class VirtualDesktop {
public:
    // Starts the desktop `name`, 1024 x 768, with `program` in it; the
    // program gets `environment` on top of this process's.
    VirtualDesktop(const std::string& name, const std::filesystem::path& program,
                   const std::map<std::string, std::string>& environment);
    // Ends the desktop: what runs in it, then its explorer (which would
    // otherwise linger for seconds).
    ~VirtualDesktop();

    // Runs one test of this test program, a disabled one (it makes sense
    // only there), in a process on this desktop; its exit code.
    DWORD runTest(const std::string& test, const std::map<std::string, std::string>& environment) const;

private:
    std::string name_;
    PlayerProcess explorer_;
};

// An icon of the notification area: its tip and the centre of its place on
// the screen.
struct ShownTrayIcon {
    std::string tip;
    POINT centre;
};

// The icons the notification area of the calling process's desktop shows,
// read from its tooltips as a person hovering over them would see them.
std::vector<ShownTrayIcon> shownTrayIcons();

} // namespace lumbra::test
