#include "VirtualDesktop.h"

#include "UserInput.h"

#include "win32/UniqueHandle.h"

#include <commctrl.h>

#include <set>

namespace lumbra::test {

namespace {

std::filesystem::path explorerProgram()
{
    char folder[MAX_PATH] = "";
    GetWindowsDirectoryA(folder, sizeof folder);
    return std::filesystem::path(folder) / "explorer.exe";
}

// A block of memory in another process: the taskbar's tooltips take and
// fill their records in their own address space.
class RemoteMemory {
public:
    RemoteMemory(HANDLE process, std::size_t size)
        : process_(process), address_(VirtualAllocEx(process, nullptr, size, MEM_COMMIT, PAGE_READWRITE))
    {
    }
    ~RemoteMemory()
    {
        if (address_)
            VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
    }
    RemoteMemory(const RemoteMemory&) = delete;
    RemoteMemory& operator=(const RemoteMemory&) = delete;

    char* address() const { return static_cast<char*>(address_); }
    bool write(std::size_t offset, const void* data, std::size_t size) const
    {
        return WriteProcessMemory(process_, address() + offset, data, size, nullptr) != FALSE;
    }
    bool read(std::size_t offset, void* data, std::size_t size) const
    {
        return ReadProcessMemory(process_, address() + offset, data, size, nullptr) != FALSE;
    }

private:
    HANDLE process_;
    void* address_;
};

struct TooltipSearch {
    HWND tray;
    std::vector<HWND> tooltips;
};

// Wine's taskbar gives each icon a tooltip owned by the taskbar or by a
// window of its own inside it.
BOOL CALLBACK collectTooltip(HWND window, LPARAM param)
{
    auto* search = reinterpret_cast<TooltipSearch*>(param);
    char className[64] = "";
    GetClassNameA(window, className, sizeof className);
    const HWND owner = GetWindow(window, GW_OWNER);
    if (lstrcmpiA(className, TOOLTIPS_CLASSA) == 0 && owner && (owner == search->tray || IsChild(search->tray, owner)))
        search->tooltips.push_back(window);
    return TRUE;
}

std::string narrow(const wchar_t* text)
{
    char buffer[512] = "";
    WideCharToMultiByte(CP_ACP, 0, text, -1, buffer, sizeof buffer, nullptr, nullptr);
    return buffer;
}

// The tools of one tooltip, read through a record in the tooltip's process.
void readTools(HWND tooltip, HANDLE process, std::vector<ShownTrayIcon>& icons)
{
    constexpr std::size_t kTextOffset = 512, kTextUnits = 1024;
    const RemoteMemory remote(process, kTextOffset + kTextUnits * sizeof(wchar_t));
    if (!remote.address())
        return;
    const int count = static_cast<int>(SendMessageW(tooltip, TTM_GETTOOLCOUNT, 0, 0));
    for (int index = 0; index < count; ++index) {
        TTTOOLINFOW tool{};
        tool.cbSize = sizeof tool;
        tool.lpszText = reinterpret_cast<wchar_t*>(remote.address() + kTextOffset);
        const wchar_t empty = 0;
        remote.write(kTextOffset, &empty, sizeof empty);
        if (!remote.write(0, &tool, sizeof tool) ||
            !SendMessageW(tooltip, TTM_ENUMTOOLSW, index, reinterpret_cast<LPARAM>(remote.address())))
            continue;
        wchar_t text[kTextUnits] = L"";
        remote.read(0, &tool, sizeof tool);
        remote.read(kTextOffset, text, sizeof text - sizeof(wchar_t));
        // A removed icon may leave its tool behind, without a place.
        RECT place = tool.rect;
        if (tool.uFlags & TTF_IDISHWND) {
            const HWND window = reinterpret_cast<HWND>(tool.uId);
            if (!IsWindowVisible(window))
                continue;
            GetWindowRect(window, &place);
        } else {
            if (IsRectEmpty(&place))
                continue;
            MapWindowPoints(tool.hwnd, nullptr, reinterpret_cast<POINT*>(&place), 2);
        }
        icons.push_back({narrow(text), {(place.left + place.right) / 2, (place.top + place.bottom) / 2}});
    }
}

BOOL CALLBACK collectProcess(HWND window, LPARAM param)
{
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    reinterpret_cast<std::set<DWORD>*>(param)->insert(processId);
    return TRUE;
}

} // namespace

VirtualDesktop::VirtualDesktop(const std::string& name, const std::filesystem::path& program,
                               const std::map<std::string, std::string>& environment)
    : name_(name), explorer_(explorerProgram(), "/desktop=" + name + ",1024x768 \"" + program.string() + "\"",
                             environment)
{
}

// A test that failed half-way may leave its program running: whatever the
// desktop's explorer started ends with it.
VirtualDesktop::~VirtualDesktop()
{
    std::set<DWORD> processes;
    if (const HDESK desktop = OpenDesktopA(name_.c_str(), 0, FALSE, DESKTOP_READOBJECTS)) {
        EnumDesktopWindows(desktop, collectProcess, reinterpret_cast<LPARAM>(&processes));
        CloseDesktop(desktop);
    }
    processes.erase(explorer_.id());
    for (DWORD id : processes) {
        const win32::KernelHandle process(OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, id));
        if (process && WaitForSingleObject(process.get(), 0) == WAIT_TIMEOUT) {
            TerminateProcess(process.get(), 1);
            WaitForSingleObject(process.get(), 5000);
        }
    }
}

DWORD VirtualDesktop::runTest(const std::string& test, const std::map<std::string, std::string>& environment) const
{
    // The desktop exists once its explorer has made it.
    if (!waitFor([&] {
            const HDESK desktop = OpenDesktopA(name_.c_str(), 0, FALSE, DESKTOP_READOBJECTS);
            if (desktop)
                CloseDesktop(desktop);
            return desktop != nullptr;
        }, std::chrono::seconds(20)))
        return static_cast<DWORD>(-1);
    char self[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, self, sizeof self);
    const PlayerProcess probe(self, "--gtest_also_run_disabled_tests --gtest_brief=1 --gtest_filter=" + test,
                              environment, name_);
    return probe.waitForExit(std::chrono::seconds(120));
}

std::vector<ShownTrayIcon> shownTrayIcons()
{
    std::vector<ShownTrayIcon> icons;
    TooltipSearch search{FindWindowA("Shell_TrayWnd", nullptr), {}};
    if (!search.tray)
        return icons;
    DWORD processId = 0;
    GetWindowThreadProcessId(search.tray, &processId);
    const win32::KernelHandle process(
        OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId));
    if (!process)
        return icons;
    EnumWindows(collectTooltip, reinterpret_cast<LPARAM>(&search));
    for (HWND tooltip : search.tooltips)
        readTools(tooltip, process.get(), icons);
    return icons;
}

} // namespace lumbra::test
