#include "PlayerProcess.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <thread>

namespace lumbra::test {

namespace {

// Test environment paths are Unix paths under Wine; Z: maps the root.
std::filesystem::path fromEnvironment(const char* name)
{
    const char* value = std::getenv(name);
    if (!value)
        throw std::runtime_error(std::string(name) + " is not set");
    std::string path = value;
    if (!path.empty() && path.front() == '/')
        path = "Z:" + path;
    return std::filesystem::path(path).make_preferred();
}

std::string quoted(const std::filesystem::path& path)
{
    return '"' + path.string() + '"';
}

// An environment block: this process's variables with `overrides` applied.
std::string environmentBlock(const std::map<std::string, std::string>& overrides)
{
    std::map<std::string, std::string, decltype([](const std::string& a, const std::string& b) {
        return lstrcmpiA(a.c_str(), b.c_str()) < 0;
    })> variables;
    char* block = GetEnvironmentStringsA();
    for (const char* entry = block; *entry; entry += std::strlen(entry) + 1) {
        const std::string text = entry;
        const auto equals = text.find('=', 1);
        if (equals != std::string::npos)
            variables[text.substr(0, equals)] = text.substr(equals + 1);
    }
    FreeEnvironmentStringsA(block);
    for (const auto& [name, value] : overrides)
        variables[name] = value;
    std::string result;
    for (const auto& [name, value] : variables)
        result += name + '=' + value + '\0';
    return result + '\0';
}

} // namespace

std::filesystem::path scratchFolder(const std::string& name)
{
    const auto folder = fromEnvironment("LUMBRA_BUILD_DIR") / "tests" / "scratch" / name;
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    return folder;
}

std::filesystem::path builtPlayer()
{
    return fromEnvironment("LUMBRA_BUILD_DIR") / "player" / "LumbraPlayer.exe";
}

std::filesystem::path builtPackager()
{
    return fromEnvironment("LUMBRA_BUILD_DIR") / "tools" / "lumbra-pack.exe";
}

std::filesystem::path builtControl()
{
    return fromEnvironment("LUMBRA_BUILD_DIR") / "control" / "LumbraFlash.ocx";
}

std::string packageSection(const std::string& identity)
{
    return "[package]\nidentity = " + identity + "\nflashControl = " + builtControl().string() + "\n";
}

DWORD runToEnd(const std::string& commandLine)
{
    STARTUPINFOA startup{sizeof startup};
    PROCESS_INFORMATION process{};
    std::string line = commandLine;
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return static_cast<DWORD>(-1);
    WaitForSingleObject(process.hProcess, 60000);
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return code;
}

void packageProject(const std::filesystem::path& project, const std::string& manifest,
                    const std::filesystem::path& output)
{
    std::ofstream(project / "lumbra.manifest", std::ios::binary) << manifest;
    const DWORD code = runToEnd(quoted(builtPackager()) + " build --player " + quoted(builtPlayer()) +
                                " --project " + quoted(project) + " --output " + quoted(output));
    ASSERT_EQ(code, 0u) << "packaging " << project;
}

PlayerProcess::PlayerProcess(const std::filesystem::path& exe, const std::string& arguments,
                             const std::map<std::string, std::string>& environment, const std::string& desktop)
{
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    std::string desktopName = desktop;
    if (!desktopName.empty())
        startup.lpDesktop = desktopName.data();
    std::string line = quoted(exe) + (arguments.empty() ? "" : " " + arguments);
    std::string block = environmentBlock(environment);
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, block.data(), nullptr, &startup, &process_))
        ADD_FAILURE() << "cannot start " << exe;
}

PlayerProcess::~PlayerProcess()
{
    if (!process_.hProcess)
        return;
    if (waitForExit(std::chrono::milliseconds(0)) == STILL_ACTIVE) {
        TerminateProcess(process_.hProcess, 1);
        WaitForSingleObject(process_.hProcess, 5000);
    }
    CloseHandle(process_.hThread);
    CloseHandle(process_.hProcess);
}

namespace {

struct WindowSearch {
    DWORD processId;
    HWND found;
};

BOOL CALLBACK matchVisibleWindow(HWND window, LPARAM param)
{
    auto* search = reinterpret_cast<WindowSearch*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != search->processId || !IsWindowVisible(window))
        return TRUE;
    search->found = window;
    return FALSE;
}

} // namespace

HWND PlayerProcess::waitForMainWindow(std::chrono::milliseconds timeout) const
{
    WindowSearch search{process_.dwProcessId, nullptr};
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (std::chrono::steady_clock::now() < deadline) {
        EnumWindows(matchVisibleWindow, reinterpret_cast<LPARAM>(&search));
        if (search.found)
            return search.found;
        if (waitForExit(std::chrono::milliseconds(0)) != STILL_ACTIVE)
            return nullptr;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return nullptr;
}

DWORD PlayerProcess::waitForExit(std::chrono::milliseconds timeout) const
{
    WaitForSingleObject(process_.hProcess, static_cast<DWORD>(timeout.count()));
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(process_.hProcess, &code);
    return code;
}

std::vector<std::uint8_t> readFile(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void writeFile(const std::filesystem::path& file, const std::vector<std::uint8_t>& bytes)
{
    std::ofstream(file, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

std::vector<std::string> readLines(const std::filesystem::path& file)
{
    std::vector<std::string> lines;
    std::ifstream in(file);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

} // namespace lumbra::test
