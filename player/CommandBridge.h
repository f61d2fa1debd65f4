// The bridge from the movie to the scripts: the commands the movie sends
// with fscommand ("Orvet_Run", "Orvet_Eval", "quit" ...) become runs of the
// shared engine and actions of the main window.
//
// Commands nest: a script run by one command may make the movie send
// another, or open a dialog whose message loop delivers one. The bridge
// depth counts them; while it is above 0 a close of the main window waits,
// and it is carried out when the outermost command returns.
#pragma once

#include "player/AsyncRunQueue.h"
#include "player/ScriptResourceCache.h"
#include "player/SharedEngine.h"

#include "package/ProjectSettings.h"

#include <string_view>

namespace lumbra {

// What the bridge asks of the main window.
class BridgeWindow {
public:
    virtual ~BridgeWindow() = default;
    // The close path: carried out now, or deferred while a command runs.
    virtual void requestClose() = 0;
    // Appearance, size and position for the current movie, then the shape.
    virtual void reapplyLayout() = 0;
    virtual ProjectSettings& settings() = 0;
    // The outermost command returned: a deferred close may go ahead.
    virtual void commandsFinished() = 0;
};

class CommandBridge {
public:
    CommandBridge(SharedEngine& engine, ScriptResourceCache& cache, BridgeWindow& window)
        : engine_(engine), cache_(cache), window_(window) {}
    CommandBridge(const CommandBridge&) = delete;
    CommandBridge& operator=(const CommandBridge&) = delete;

    // One command of the movie; names compare without regard to case,
    // unknown ones are ignored. A null command does nothing.
    void handle(const char* command, const char* argument);

    // Runs packaged script `name` (resource ORVET/name) in the shared engine;
    // false when there is no such script.
    bool runPackaged(std::string_view name);

    // Idle processing: runs the oldest queued script; true while more wait.
    bool runQueued();
    bool hasQueued() const { return !queue_.empty(); }

    int depth() const { return depth_; }

    // Raises the depth for the lifetime of the guard: a command of the
    // movie, or a script menu command.
    class Depth {
    public:
        explicit Depth(CommandBridge& bridge) : bridge_(bridge) { ++bridge_.depth_; }
        Depth(const Depth&) = delete;
        Depth& operator=(const Depth&) = delete;
        ~Depth()
        {
            if (--bridge_.depth_ == 0)
                bridge_.window_.commandsFinished();
        }

    private:
        CommandBridge& bridge_;
    };

private:
    void dispatch(std::string_view command, const char* argument);
    void fullscreen(std::string_view argument);

    SharedEngine& engine_;
    ScriptResourceCache& cache_;
    BridgeWindow& window_;
    AsyncRunQueue queue_;
    int depth_ = 0;
};

} // namespace lumbra
