// The application object: start-up, the message loop and shutdown of the
// projector. It owns the process-wide state of a run.
#pragma once

#include "player/CMainFrame.h"
#include "player/MessageReporter.h"
#include "player/SystemRestrictions.h"
#include "player/WindowInteraction.h"

#include "package/MaskList.h"
#include "package/MovieList.h"
#include "package/ProjectSettings.h"
#include "package/win32/ModuleResources.h"

#include <windows.h>

#include <memory>
#include <string>

namespace lumbra {

class PlayerApp {
public:
    explicit PlayerApp(HINSTANCE instance);
    ~PlayerApp();

    // Start-up, the message loop while start-up succeeded, then shutdown.
    // Returns the process exit code.
    int run();

    const std::string& getWorkingFolder() const { return workingFolder_; }
    const std::string& registryKey() const { return registryKey_; }
    const std::string& profileName() const { return profileName_; }
    const ProjectSettings& settings() const { return settings_; }
    const MovieList& movieList() const { return movieList_; }
    const MaskList& masks() const { return masks_; }

private:
    bool initInstance();
    int exitInstance();
    int messageLoop();

    bool handleInstallerSwitch();
    bool openPackageIdentity();
    void loadPackage();
    void deleteExtractedMovies();
    bool createOwnerWindow();
    InteractionServices interactionServices();
    void showFirstMovie();

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
    HICON icon_ = nullptr;
    HWND ownerWindow_ = nullptr;
    AppliedRestrictions restrictions_;
    std::unique_ptr<CMainFrame> mainFrame_;
    std::unique_ptr<WindowInteraction> interaction_; // goes before the main window
};

} // namespace lumbra
