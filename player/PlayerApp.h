// The application object: start-up, the message loop with its idle
// processing, and shutdown of the projector. It owns the process-wide state
// of a run and is the PlayerServices the host classes reach it through.
#pragma once

#include "player/CMainFrame.h"
#include "player/CommandBridge.h"
#include "player/MessageReporter.h"
#include "player/SharedEngine.h"
#include "player/SpeakerMute.h"
#include "player/SystemRestrictions.h"
#include "player/TraceFile.h"
#include "player/WindowInteraction.h"

#include "host/PlayerServices.h"
#include "package/MaskList.h"
#include "package/MovieList.h"
#include "package/ProjectSettings.h"
#include "package/win32/ModuleResources.h"
#include "win32/UniqueHandle.h"

#include <windows.h>

#include <memory>
#include <string>

namespace lumbra {

class PlayerApp final : public PlayerServices, private BridgeWindow {
public:
    explicit PlayerApp(HINSTANCE instance);
    ~PlayerApp() override;

    // Start-up, the message loop while start-up succeeded, then shutdown.
    // Returns the process exit code.
    int run();

    // --- For the main window ---------------------------------------------
    CommandBridge& bridge() { return bridge_; }
    TraceFile& traceFile() { return traceFile_; }
    ScriptCommands* scriptCommands() const { return engine_.existing() ? scriptCommands_ : nullptr; }
    // "Orvet_Quit": the shared engine goes.
    void quitEngine() { bridge_.handle("Orvet_Quit", ""); }
    void removeTrayIcon();
    void setSessionEnding() { sessionEnding_ = true; }

    // --- PlayerServices ----------------------------------------------------
    HWND mainWindow() const override;
    HWND flashWindow() const override;
    IDispatch* flashControl() const override;
    HRESULT getFlashProperty(const wchar_t* name, VARIANT* result) override;
    HRESULT putFlashProperty(const wchar_t* name, const VARIANT& value) override;
    HRESULT callFlashMethod(const wchar_t* name, const VARIANT* args, unsigned count, VARIANT* result) override;
    bool loadMovie(const std::string& path) override;
    std::string currentMovie() override;
    SIZE movieSize() const override;
    ProjectSettings& settings() override { return settings_; }
    void reapply(Reapply what) override;
    const MovieList& movieList() const override { return movieList_; }
    const MaskList& masks() const override { return masks_; }
    const std::string& workingFolder() const override { return workingFolder_; }
    std::string programFile() const override;
    std::string commandLine() const override;
    std::string registryKey() const override { return registryKey_; }
    std::string profileName() const override { return profileName_; }
    orvet::ScriptEngine* sharedEngine() override { return engine_.get(); }
    bool runPackagedScript(std::string_view name) override { return bridge_.runPackaged(name); }
    int bridgeDepth() const override { return bridge_.depth(); }
    bool closePending() const override { return closePending_; }
    void setClosePending(bool pending) override { closePending_ = pending; }
    bool openTraceFile(const std::string& path) override { return traceFile_.open(path); }
    void closeTraceFile() override { traceFile_.close(); }
    void setCustomCursor(HCURSOR cursor) override;
    void setDragRegion(HRGN region) override;
    void setScriptCommands(ScriptCommands* commands) override { scriptCommands_ = commands; }
    bool notifyTrayIcon(DWORD message, NOTIFYICONDATAA& data) override;
    void reportError(std::string_view message) override { reporter_.report(message); }
    bool preTranslateMessage(MSG& message) override;

private:
    bool initInstance();
    bool onIdle();
    int exitInstance();
    int messageLoop();

    bool handleInstallerSwitch();
    bool openPackageIdentity();
    void loadPackage();
    bool createOwnerWindow();
    bool createMainWindow();
    bool runStartupScript();
    std::optional<std::string> scriptsFlashPlayer();
    std::string flashPlayerPath();
    void applyMachineSettings();
    bool trayToScripts(UINT mouseMessage);
    void showFirstMovie();
    void applyFinalSettings();
    InteractionServices interactionServices();
    void deleteExtractedMovies();

    // BridgeWindow
    void requestClose() override;
    void reapplyLayout() override;
    void commandsFinished() override;

    HINSTANCE instance_;
    ModuleResources resources_; // the package: this program's own resources
    MessageReporter reporter_;
    int maintenanceMode_ = 0;
    int exitCode_ = 0; // what the message loop ended with
    std::string identityText_;
    std::string registryKey_;
    std::string profileName_;
    std::string workingFolder_;
    ProjectSettings settings_;
    MovieList movieList_;
    MaskList masks_;
    TraceFile traceFile_;
    SharedEngine engine_{*this, traceFile_};
    ScriptResourceCache scripts_{resources_, reporter_};
    CommandBridge bridge_{engine_, scripts_, *this};
    ScriptCommands* scriptCommands_ = nullptr;
    bool closePending_ = false;
    bool sessionEnding_ = false;
    bool socketsStarted_ = false;
    SpeakerMute mute_;
    HICON icon_ = nullptr;
    win32::WindowHandle ownerWindow_;
    AppliedRestrictions restrictions_;
    std::unique_ptr<CMainFrame> mainFrame_;
    std::unique_ptr<WindowInteraction> interaction_; // goes before the main window
};

} // namespace lumbra
