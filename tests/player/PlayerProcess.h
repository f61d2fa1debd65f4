// Test support: packaging projects with the real packager and running the
// packaged player as a separate process, the way a user starts it.
#pragma once

#include <windows.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace lumbra::test {

// A folder of the build tree for one test's files, emptied first.
std::filesystem::path scratchFolder(const std::string& name);

// The built player and packager.
std::filesystem::path builtPlayer();
std::filesystem::path builtPackager();
std::filesystem::path builtControl();

// The [package] section of a manifest for a package that carries the movie
// control, so that it plays on a machine without an installed one.
std::string packageSection(const std::string& identity);

// Runs a command line to its end; returns its exit code.
DWORD runToEnd(const std::string& commandLine);

// Writes `manifest` as the project's manifest and packages the project
// folder into `output`; fails the calling test when the packager fails.
void packageProject(const std::filesystem::path& project, const std::string& manifest,
                    const std::filesystem::path& output);

// A running packaged player with its own environment.
class PlayerProcess {
public:
    // On the named desktop of the window station when `desktop` is given.
    PlayerProcess(const std::filesystem::path& exe, const std::string& arguments,
                  const std::map<std::string, std::string>& environment, const std::string& desktop = "");
    ~PlayerProcess();
    PlayerProcess(const PlayerProcess&) = delete;
    PlayerProcess& operator=(const PlayerProcess&) = delete;

    // The process's visible main window, or null when none shows in time.
    HWND waitForMainWindow(std::chrono::milliseconds timeout = std::chrono::seconds(20)) const;
    DWORD id() const { return process_.dwProcessId; }
    // Waits for the end of the process; its exit code, or STILL_ACTIVE.
    DWORD waitForExit(std::chrono::milliseconds timeout = std::chrono::seconds(20)) const;

private:
    PROCESS_INFORMATION process_{};
};

// Whole files as bytes.
std::vector<std::uint8_t> readFile(const std::filesystem::path& file);
void writeFile(const std::filesystem::path& file, const std::vector<std::uint8_t>& bytes);

// The lines of a text file, or none when it does not exist.
std::vector<std::string> readLines(const std::filesystem::path& file);

} // namespace lumbra::test
