#include "player/PlayerApp.h"

#include "player/FlashPlayerLocator.h"
#include "player/HyperlinkLabel.h"
#include "player/ProgramPaths.h"
#include "player/WorkingFolder.h"

#include "package/AboutPicture.h"
#include "package/PackageIdentity.h"
#include "package/PackageResources.h"
#include "package/PlayerException.h"
#include "package/SettingsLoader.h"
#include "package/win32/RegistryProfile.h"

namespace lumbra {

namespace {

constexpr WORD kProgramIcon = 128;

} // namespace

PlayerApp::PlayerApp(HINSTANCE instance) : instance_(instance), resources_(instance) {}

PlayerApp::~PlayerApp() = default;

int PlayerApp::run()
{
    if (initInstance())
        exitCode_ = messageLoop();
    return exitInstance();
}

bool PlayerApp::initInstance()
{
    if (handleInstallerSwitch())
        return false;
    OleInitialize(nullptr);
    registerHyperlinkClass(instance_);

    if (!openPackageIdentity()) {
        reporter_.show("Invalid application data", MB_OK | MB_ICONERROR);
        return false;
    }

    try {
        workingFolder_ = createWorkingFolder();
    } catch (const PlayerException& error) {
        reporter_.report(error.what());
        return false;
    }

    loadPackage();

    icon_ = LoadIconA(instance_, MAKEINTRESOURCEA(kProgramIcon));
    if (!createOwnerWindow())
        return false;

    mainFrame_ = std::make_unique<CMainFrame>();
    const std::string controlPath = findFlashPlayer(resources_, workingFolder_, reporter_);
    if (!mainFrame_->create(instance_, ownerWindow_, icon_, controlPath, settings_, workingFolder_)) {
        mainFrame_.reset();
        reporter_.show("Failed to load the Macromedia Flash Player!", MB_OK);
        return false;
    }
    reporter_.setMainWindow(mainFrame_->handle());
    interaction_ = std::make_unique<WindowInteraction>(interactionServices(), mainFrame_->handle(), mainFrame_->hostWindow());
    interaction_->applyAtStartup();
    if (movieList_.entries.empty())
        mainFrame_->setNoPackagedMovie();
    showFirstMovie();
    // Named after the window, so only once the window has its title.
    interaction_->showTrayIcon();
    return true;
}

// The window takes its form for the first movie: appearance, size and
// position, shape; then the aspect ratio, the stacking and the background.
void PlayerApp::showFirstMovie()
{
    CMainFrame& frame = *mainFrame_;
    if (movieList_.entries.empty()) {
        frame.applyAppearance();
        ShowWindow(frame.handle(), SW_SHOWNORMAL);
    } else {
        frame.loadMovie(chooseFirstMovie(movieList_), settings_.behaviourFlags & 0x1);
        frame.applyAppearance();
        frame.applySizeAndPosition();
        // Every shape, not only a mask: a transparent window starts its
        // transparent mode here.
        frame.applyShape();
    }
    frame.recordAspectRatio();
    frame.applyStacking(false);
    frame.applyBackgroundColor();
    UpdateWindow(frame.handle());
}

// The installer runs the program with one of two switches as its first
// argument; such a run does its maintenance work and ends without a window.
bool PlayerApp::handleInstallerSwitch()
{
    if (__argc < 2)
        return false;
    const char* argument = __argv[1];
    if (lstrcmpiA(argument, "/AfterInstall") != 0 && lstrcmpiA(argument, "/BeforeUninst") != 0)
        return false;
    maintenanceMode_ = 1;
    return true;
}

bool PlayerApp::openPackageIdentity()
{
    Bytes block;
    try {
        block = readResource(resources_, packageResourceType, "ID");
    } catch (const PlayerException&) {
        return false;
    }
    const std::optional<std::string> text = checkPackageIdentity(block);
    if (!text)
        return false;
    identityText_ = *text;
    const ProfileLocation location = profileLocation(identityText_, applicationName());
    registryKey_ = location.registryKey;
    profileName_ = location.profileName;
    return true;
}

// Settings, masks and movies. A damaged part is reported (invisibly, as no
// main window exists yet) and stays empty; start-up goes on without it.
void PlayerApp::loadPackage()
{
    RegistryProfile profile({registryKey_, profileName_});
    settings_ = loadSettings(resources_, profile, workingFolder_, reporter_);
    try {
        masks_ = loadMasks(resources_, workingFolder_, reporter_);
    } catch (const PlayerException& error) {
        reporter_.report(error.what());
    }
    if (movieList_.entries.empty()) {
        try {
            movieList_ = loadMovieList(resources_, workingFolder_, programFile(), reporter_);
        } catch (const PlayerException& error) {
            reporter_.report(error.what());
        }
    }
}

void PlayerApp::deleteExtractedMovies()
{
    if (movieList_.flags & MovieList::embedded)
        for (const MovieEntry& entry : movieList_.entries)
            DeleteFileA(entry.path.c_str());
}

bool PlayerApp::createOwnerWindow()
{
    constexpr char kClassName[] = "LumbraOwner";
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = instance_;
    windowClass.hIcon = icon_;
    windowClass.lpszClassName = kClassName;
    RegisterClassA(&windowClass);
    ownerWindow_ = CreateWindowExA(0, kClassName, "", 0, 0, 0, 0, 0, nullptr, nullptr, instance_, nullptr);
    return ownerWindow_ != nullptr;
}

InteractionServices PlayerApp::interactionServices()
{
    InteractionServices services;
    services.instance = instance_;
    services.settings = &settings_;
    services.masks = &masks_;
    services.profile = {registryKey_, profileName_};
    services.restrictions = &restrictions_;
    services.currentMovie = [this] { return mainFrame_->currentMovie(); };
    services.controlPath = [this] { return findFlashPlayer(resources_, workingFolder_, reporter_); };
    services.aboutPicture = [this] { return aboutPicture(resources_, workingFolder_, reporter_).string(); };
    services.reapplyLayout = [this] {
        mainFrame_->applyAppearance();
        mainFrame_->applySizeAndPosition();
        mainFrame_->applyShape();
    };
    services.applyStacking = [this](bool show) { mainFrame_->applyStacking(show); };
    services.reapplyMachine = [this] {
        mainFrame_->applyBackgroundColor();
        mainFrame_->recordAspectRatio();
    };
    return services;
}

int PlayerApp::messageLoop()
{
    MSG message;
    BOOL result;
    while ((result = GetMessageA(&message, nullptr, 0, 0)) > 0) {
        if (interaction_ && interaction_->filterInput(message))
            continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return result == 0 ? static_cast<int>(message.wParam) : 1;
}

int PlayerApp::exitInstance()
{
    if (maintenanceMode_)
        return exitCode_;
    interaction_.reset();
    mainFrame_.reset();
    restrictions_.undo();
    deleteExtractedMovies();
    if (!workingFolder_.empty()) {
        // The packaged control's library goes before its folder can.
        if (HMODULE control = GetModuleHandleA((workingFolder_ + "flash.ocx").c_str()))
            FreeLibrary(control);
        deleteFolderTree(workingFolder_);
    }
    if (ownerWindow_)
        DestroyWindow(ownerWindow_);
    OleUninitialize();
    return exitCode_;
}

} // namespace lumbra
