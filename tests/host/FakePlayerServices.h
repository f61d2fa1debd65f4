// A stand-in for the running player in host class tests: every answer comes
// from a public field the test sets, every request is recorded in one.
// Windows and the control are absent unless the test provides them.
#pragma once

#include "host/PlayerServices.h"

#include <string>
#include <vector>

namespace lumbra::test {

class FakePlayerServices : public PlayerServices {
public:
    // What the fake answers.
    HWND mainWindowHandle = nullptr;
    HWND flashWindowHandle = nullptr;
    IDispatch* control = nullptr;
    ProjectSettings settingsRecord;
    MovieList movies;
    MaskList maskList;
    std::string folder = "C:\\working\\";
    std::string program = "C:\\app\\player.exe";
    std::string commandLineText = "player.exe";
    std::string key = "Lumbra", profile = "Test";
    std::string movie;
    SIZE frame{0, 0};
    orvet::ScriptEngine* engine = nullptr;
    int depth = 0;

    // What the fake was asked to do.
    std::vector<std::string> loadedMovies;
    std::vector<std::string> packagedScriptsRun;
    std::vector<Reapply> reapplied;
    std::vector<std::string> reportedErrors;
    std::string traceFile; // "" while none is open
    bool pendingClose = false;
    HCURSOR cursor = nullptr;
    HRGN dragRegion = nullptr;
    ScriptCommands* scriptCommands = nullptr;
    std::vector<DWORD> trayMessages;
    std::vector<UINT> preTranslated;
    UINT consumed = 0;

    HWND mainWindow() const override { return mainWindowHandle; }
    HWND flashWindow() const override { return flashWindowHandle; }

    IDispatch* flashControl() const override { return control; }
    HRESULT getFlashProperty(const wchar_t*, VARIANT*) override { return E_UNEXPECTED; }
    HRESULT putFlashProperty(const wchar_t*, const VARIANT&) override { return E_UNEXPECTED; }
    HRESULT callFlashMethod(const wchar_t*, const VARIANT*, unsigned, VARIANT*) override { return E_UNEXPECTED; }
    bool loadMovie(const std::string& path) override
    {
        loadedMovies.push_back(path);
        movie = path;
        return true;
    }
    std::string currentMovie() override { return movie; }
    SIZE movieSize() const override { return frame; }

    ProjectSettings& settings() override { return settingsRecord; }
    void reapply(Reapply what) override { reapplied.push_back(what); }

    const MovieList& movieList() const override { return movies; }
    const MaskList& masks() const override { return maskList; }
    const std::string& workingFolder() const override { return folder; }
    std::string programFile() const override { return program; }
    std::string commandLine() const override { return commandLineText; }
    std::string registryKey() const override { return key; }
    std::string profileName() const override { return profile; }

    orvet::ScriptEngine* sharedEngine() override { return engine; }
    bool runPackagedScript(std::string_view name) override
    {
        packagedScriptsRun.emplace_back(name);
        return false;
    }
    int bridgeDepth() const override { return depth; }
    bool closePending() const override { return pendingClose; }
    void setClosePending(bool pending) override { pendingClose = pending; }

    bool openTraceFile(const std::string& path) override
    {
        traceFile = path;
        return true;
    }
    void closeTraceFile() override { traceFile.clear(); }

    void setCustomCursor(HCURSOR c) override { cursor = c; }
    void setDragRegion(HRGN region) override { dragRegion = region; }

    void setScriptCommands(ScriptCommands* commands) override { scriptCommands = commands; }
    bool notifyTrayIcon(DWORD message, NOTIFYICONDATAA&) override
    {
        trayMessages.push_back(message);
        return true;
    }

    void reportError(std::string_view message) override { reportedErrors.emplace_back(message); }
    // Records every message offered; consumes those numbered `consumed`.
    bool preTranslateMessage(MSG& message) override
    {
        preTranslated.push_back(message.message);
        return message.message == consumed;
    }
};

} // namespace lumbra::test
