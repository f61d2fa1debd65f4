// A loaded movie at play: the display tree grown from its timelines, the queue
// of actions that frames and buttons make due, and the resolution of target and
// variable paths. Actions run on the caller's thread within a step budget, so
// a looping script ends instead of hanging its host.
#pragma once

#include "control/movie/DisplayObject.h"
#include "control/movie/Movie.h"
#include "control/movie/MoviePlayer.h"
#include "control/movie/Value.h"

#include <chrono>
#include <filesystem>
#include <cstdint>
#include <memory>
#include <optional>
#include <random>
#include <string_view>
#include <vector>

namespace lumbra::movie {

class Machine;
class Marker;

struct HostHooks {
    MoviePlayer::FsCommandHandler fsCommand;
    MoviePlayer::TraceHandler trace;
    MoviePlayer::UrlHandler url;
    MoviePlayer::FileReader readFile;
    std::filesystem::path sharedObjects; // empty: shared objects last one run
};

class Playback {
public:
    Playback(std::shared_ptr<const Movie> movie, const HostHooks& hooks);
    ~Playback();

    const Movie& movie() const { return *movie_; }
    int version() const { return movie_->info.version; }
    DisplayObject& root() { return *root_; }
    const DisplayObject& root() const { return *root_; }
    const HostHooks& hooks() const { return hooks_; }
    Machine& machine() { return *machine_; }
    // The script objects the display tree holds, for the collector.
    void markRoots(Marker& marker) const;

    // Enters the first frame and runs its actions.
    void start(bool autoPlay);
    // One frame tick for every playing timeline.
    void tick();
    // Stops every further action: the host replaced or dropped this movie.
    void close() { closed_ = true; }
    bool closed() const { return closed_; }

    bool loop = true;
    bool dirty = true;

    // Timeline control of a clip. Frames out of range are refused.
    bool gotoFrame(DisplayObject& clip, int frame, bool play);
    bool gotoLabel(DisplayObject& clip, std::u16string_view label, bool play);
    // Runs a frame's actions now in the clip's context; the playhead stays.
    bool callFrame(DisplayObject& clip, int frame);

    // Paths, relative to `from` unless they start at the root.
    std::shared_ptr<DisplayObject> resolveTarget(DisplayObject& from, std::u16string_view path) const;
    std::optional<Value> getVariable(DisplayObject& from, std::u16string_view path) const;
    void setVariable(DisplayObject& from, std::u16string_view path, Value value);

    // Queues an action block for a clip / runs what is queued.
    void queueActions(DisplayObject& clip, const ActionBytes& actions);
    // Queues an event: the clip's onClipEvent handlers for it, then its script
    // handler method (onEnterFrame, onLoad ...) when it has one.
    void queueEvent(DisplayObject& clip, std::uint32_t clipEvent, const char16_t* handler);
    void runQueuedActions();
    // Spends one interpreter step; false once this run's budget is gone.
    bool takeStep();
    // The nesting guard of running actions: false when too deep to run more.
    bool enterActions();
    void leaveActions() { --actionDepth_; }

    // Objects the scripts create and remove (duplicateMovieClip / removeMovieClip).
    bool cloneClip(DisplayObject& source, std::u16string_view newName, int depth);
    bool removeClip(DisplayObject& clip);
    // createEmptyMovieClip: a clip with one empty frame, replacing what is at the depth.
    std::shared_ptr<DisplayObject> createEmptyClip(DisplayObject& parent, std::u16string_view name, int depth);
    // Moves a script-placed or timeline object to another depth of its parent,
    // swapping with what is there.
    void swapDepth(DisplayObject& object, int depth);

    // Mouse input in root twips; buttons change phase and run their actions.
    void mouseMove(Point p);
    void mouseDown(Point p);
    void mouseUp(Point p);
    bool overButton() const { return !hot_.expired(); }
    Point mouse() const { return mouse_; }

    double random(double limit);
    double millisecondsSinceStart() const;

private:
    struct QueuedAction {
        std::weak_ptr<DisplayObject> clip;
        const ActionBytes* actions;   // or
        const char16_t* handler;      // a method of the clip to call
        std::shared_ptr<const std::vector<ClipAction>> keep; // what `actions` points into
    };

    void advance(DisplayObject& clip);
    void enterFrame(DisplayObject& clip, int frame);
    void rebuildTo(DisplayObject& clip, int frame);
    void applyCommand(DisplayObject& clip, const DisplayCommand& command);
    std::shared_ptr<DisplayObject> create(DisplayObject& parent, std::uint16_t id, const PlaceCommand& place);
    void setPhase(const std::shared_ptr<DisplayObject>& button, ButtonPhase phase, unsigned condition);

    std::shared_ptr<const Movie> movie_;
    const HostHooks& hooks_;
    std::shared_ptr<std::size_t> census_;
    std::shared_ptr<DisplayObject> root_;
    std::vector<QueuedAction> queue_;
    bool draining_ = false;
    bool closed_ = false;
    long budget_ = 0;
    int actionDepth_ = 0;
    unsigned long tick_ = 0;
    unsigned nextInstance_ = 1;

    std::weak_ptr<DisplayObject> hot_;     // button under the mouse
    std::weak_ptr<DisplayObject> pressed_; // button the mouse went down on
    Point mouse_;

    std::unique_ptr<Machine> machine_;
    Character emptyClip_; // what createEmptyMovieClip places
    std::vector<const ActionBytes*> initDone_; // DoInitAction blocks already run
    std::minstd_rand random_;
    std::chrono::steady_clock::time_point started_;
};

} // namespace lumbra::movie
