#include "player/PlayerApp.h"

#include "player/FlashPlayerLocator.h"
#include "player/HyperlinkLabel.h"
#include "player/MenuHook.h"
#include "player/SettingsFlags.h"
#include "player/ProgramPaths.h"
#include "player/WorkingFolder.h"

#include "host/ApplicationClass.h"
#include "host/HostClasses.h"
#include "host/TrayObject.h"
#include "package/AboutPicture.h"
#include "package/PackageIdentity.h"
#include "package/PackageResources.h"
#include "package/PlayerException.h"
#include "package/SettingsLoader.h"
#include "package/win32/RegistryProfile.h"
#include "script/engine/EngineRun.h"

#include <winsock2.h>

namespace lumbra {

namespace {

constexpr WORD kProgramIcon = 128;

// The installer's switches and the script each one runs.
const char* installerScript(const char* argument)
{
    if (lstrcmpiA(argument, "/AfterInstall") == 0)
        return "AfterInstall";
    if (lstrcmpiA(argument, "/BeforeUninst") == 0)
        return "BeforeUninst";
    return nullptr;
}

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
    acquireMenuHook();

    WSADATA sockets;
    if (WSAStartup(0x0101, &sockets) != 0) {
        reporter_.show("Failed to initialize the WIndows Socket!", MB_OK);
        return false;
    }
    socketsStarted_ = true;
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
    // The control found now gives way to the one that the start-up script's
    // "onGetFlashPlayer" names, before any movie is loaded.
    const std::string foundControl = findFlashPlayer(resources_, workingFolder_, reporter_);
    const bool windowMade = createMainWindow();
    if (windowMade)
        mainFrame_->siteControl(foundControl);
    const bool goOn = runStartupScript();
    if (windowMade && goOn)
        if (const auto chosen = scriptsFlashPlayer(); chosen && *chosen != foundControl)
            mainFrame_->siteControl(*chosen);
    if (!windowMade || !mainFrame_->host().control()) {
        // The start-up script has run: it may have ended start-up itself.
        if (goOn)
            reporter_.show("Failed to load the Macromedia Flash Player!", MB_OK);
        return false;
    }
    if (!goOn)
        return false;
    applyMachineSettings();
    showFirstMovie();
    applyFinalSettings();
    return true;
}

// The installer runs the program with one of two switches as its first
// argument; such a run executes the matching packaged script in an engine
// of its own and ends without a window.
bool PlayerApp::handleInstallerSwitch()
{
    if (__argc < 2)
        return false;
    const char* script = installerScript(__argv[1]);
    if (!script)
        return false;
    maintenanceMode_ = 1;
    WSADATA sockets;
    const bool socketsStarted = WSAStartup(0x0101, &sockets) == 0;
    OleInitialize(nullptr);
    if (orvet::EnginePtr engine = createHostEngine(*this)) {
        traceFile_.attach(*engine);
        try {
            if (std::optional<Bytes> code = loadPackedResourceSilently(resources_, scriptResourceType, script))
                orvet::RunCompiledMemory(*engine, code->data(), code->size());
        } catch (const PlayerException&) {
            // no such script: nothing to do
        }
        orvet::DestroyEngine(std::move(engine));
    }
    traceFile_.close();
    OleUninitialize();
    if (socketsStarted)
        WSACleanup();
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
            movieList_ = loadMovieList(resources_, workingFolder_, lumbra::programFile(), reporter_);
        } catch (const PlayerException& error) {
            reporter_.report(error.what());
        }
    }
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
    ownerWindow_.reset(CreateWindowExA(0, kClassName, "", 0, 0, 0, 0, 0, nullptr, nullptr, instance_, nullptr));
    return static_cast<bool>(ownerWindow_);
}

bool PlayerApp::createMainWindow()
{
    auto frame = std::make_unique<CMainFrame>(*this);
    if (!frame->create(instance_, ownerWindow_.get(), icon_))
        return false;
    mainFrame_ = std::move(frame);
    // Scripts hear of every movie that loads ("Application.onMovieLoaded").
    mainFrame_->host().onMovieLoaded = [this](const std::string& path) {
        if (orvet::ScriptEngine* engine = engine_.existing()) {
            SharedEngine::Use use(engine_);
            host::notifyMovieLoaded(*engine, path);
        }
    };
    reporter_.setMainWindow(mainFrame_->handle());
    SetWindowTextA(mainFrame_->handle(), settings_.caption.c_str());
    if (movieList_.entries.empty())
        mainFrame_->setNoPackagedMovie();
    return true;
}

// ORVET/"Initialize" through the bridge; only a Boolean false result ends
// start-up.
bool PlayerApp::runStartupScript()
{
    bridge_.handle("Orvet_Run", "Initialize");
    const orvet::ScriptEngine* engine = engine_.existing();
    if (!engine)
        return true;
    const orvet::ScriptValue& result = engine->context->result;
    return !(result.is(orvet::ValueKind::Boolean) && !result.boolean);
}

// The control path a script's "onGetFlashPlayer" gives, if any.
std::optional<std::string> PlayerApp::scriptsFlashPlayer()
{
    orvet::ScriptEngine* engine = engine_.existing();
    if (!engine)
        return std::nullopt;
    SharedEngine::Use use(engine_);
    return host::askChoiceHook(*engine, host::ChoiceHook::FlashPlayer);
}

// The control to load: the script's choice, else the one the player finds.
std::string PlayerApp::flashPlayerPath()
{
    if (std::optional<std::string> chosen = scriptsFlashPlayer())
        return *chosen;
    return findFlashPlayer(resources_, workingFolder_, reporter_);
}

void PlayerApp::applyMachineSettings()
{
    if (settings_.miscFlags & kMuteSpeakers)
        mute_.mute();
    interaction_ = std::make_unique<WindowInteraction>(interactionServices(), mainFrame_->handle(),
                                                       mainFrame_->host().window());
    interaction_->setTrayHandler([this](UINT mouseMessage) { return trayToScripts(mouseMessage); });
    interaction_->applyAtStartup();
}

// The tray icon's mouse messages reach the script's "_Tray_" handlers first;
// true when a handler took the message.
bool PlayerApp::trayToScripts(UINT mouseMessage)
{
    std::optional<host::TrayMouse> event;
    switch (mouseMessage) {
    case WM_MOUSEMOVE: event = host::TrayMouse::Move; break;
    case WM_LBUTTONUP: event = host::TrayMouse::LeftUp; break;
    case WM_RBUTTONUP: event = host::TrayMouse::RightUp; break;
    case WM_LBUTTONDBLCLK: event = host::TrayMouse::LeftDoubleClick; break;
    case WM_RBUTTONDBLCLK: event = host::TrayMouse::RightDoubleClick; break;
    }
    orvet::ScriptEngine* engine = engine_.existing();
    if (!event || !engine)
        return false;
    SharedEngine::Use use(engine_);
    return host::trayMouseMessage(*engine, *event);
}

// The window takes its form for the first movie: appearance, size and
// position, shape.
void PlayerApp::showFirstMovie()
{
    CMainFrame& frame = *mainFrame_;
    std::string movie = movieList_.entries.empty() ? std::string() : chooseFirstMovie(movieList_);
    // The start-up script may choose the movie ("Application.onGetMovie").
    if (orvet::ScriptEngine* engine = engine_.existing()) {
        SharedEngine::Use use(engine_);
        if (auto chosen = host::askChoiceHook(*engine, host::ChoiceHook::Movie))
            movie = *chosen;
    }
    if (movie.empty()) {
        frame.applyAppearance();
        ShowWindow(frame.handle(), SW_SHOWNORMAL);
        return;
    }
    frame.loadMovie(movie, settings_.behaviourFlags & kAutoPlay);
    frame.applyAppearance();
    frame.applySizeAndPosition();
    // Every shape, not only a mask: a transparent window starts its
    // transparent mode here.
    frame.applyShape();
}

void PlayerApp::applyFinalSettings()
{
    mainFrame_->recordAspectRatio();
    mainFrame_->applyStacking(false);
    mainFrame_->applyBackgroundColor();
    // Named after the window, so only once the window has its title.
    interaction_->showTrayIcon();
    RedrawWindow(mainFrame_->handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
}

int PlayerApp::messageLoop()
{
    MSG message;
    for (;;) {
        // Idle processing while nothing waits: one queued script per pass.
        while (!PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE))
            if (!onIdle())
                break;
        const BOOL result = GetMessageA(&message, nullptr, 0, 0);
        if (result <= 0)
            return result == 0 ? static_cast<int>(message.wParam) : 1;
        if (preTranslateMessage(message))
            continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

// Shared by the message loop and the nested loops of scripts ("processMsg").
bool PlayerApp::preTranslateMessage(MSG& message)
{
    if (interaction_ && interaction_->filterInput(message))
        return true;
    return mainFrame_ && mainFrame_->preTranslate(message);
}

InteractionServices PlayerApp::interactionServices()
{
    InteractionServices services;
    services.instance = instance_;
    services.settings = &settings_;
    services.masks = &masks_;
    services.profile = {registryKey_, profileName_};
    services.restrictions = &restrictions_;
    services.currentMovie = [this] { return currentMovie(); };
    services.controlPath = [this] { return flashPlayerPath(); };
    services.aboutPicture = [this] { return aboutPicture(resources_, workingFolder_, reporter_).string(); };
    services.dragRegion = [this] { return mainFrame_->host().dragRegion(); };
    services.reapplyLayout = [this] { reapply(Reapply::appearance | Reapply::sizeAndPosition | Reapply::shape); };
    services.applyStacking = [this](bool show) { mainFrame_->applyStacking(show); };
    services.reapplyMachine = [this] {
        mainFrame_->applyBackgroundColor();
        if (settings_.miscFlags & kMuteSpeakers)
            mute_.mute();
        else
            mute_.restore();
        mainFrame_->recordAspectRatio();
    };
    return services;
}

bool PlayerApp::onIdle()
{
    if (!mainFrame_ || !mainFrame_->handle())
        return false;
    return bridge_.hasQueued() && bridge_.runQueued();
}

void PlayerApp::deleteExtractedMovies()
{
    if (movieList_.flags & MovieList::embedded)
        for (const MovieEntry& entry : movieList_.entries)
            DeleteFileA(entry.path.c_str());
}

int PlayerApp::exitInstance()
{
    if (maintenanceMode_)
        return exitCode_;
    releaseMenuHook();
    mute_.restore();
    engine_.destroy();
    interaction_.reset();
    mainFrame_.reset();
    restrictions_.undo();
    deleteExtractedMovies();
    settings_ = {};
    masks_ = {};
    if (!workingFolder_.empty()) {
        // The packaged control's library goes before its folder can.
        if (HMODULE control = GetModuleHandleA((workingFolder_ + "flash.ocx").c_str()))
            FreeLibrary(control);
        deleteFolderTree(workingFolder_);
    }
    if (sessionEnding_)
        ownerWindow_.release();
    ownerWindow_.reset();
    OleUninitialize();
    if (socketsStarted_)
        WSACleanup();
    return exitCode_;
}

// --- The bridge's window --------------------------------------------------

void PlayerApp::requestClose()
{
    if (mainFrame_ && mainFrame_->handle())
        SendMessageA(mainFrame_->handle(), WM_CLOSE, 0, 0);
}

void PlayerApp::reapplyLayout()
{
    if (mainFrame_ && mainFrame_->handle())
        mainFrame_->reapplyLayout();
}

void PlayerApp::commandsFinished()
{
    if (closePending_ && mainFrame_ && mainFrame_->handle())
        PostMessageA(mainFrame_->handle(), WM_CLOSE, 0, 0);
}

} // namespace lumbra
