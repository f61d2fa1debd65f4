// A loaded movie at play: the display tree grown from its timelines, the queue
// of actions that frames and buttons make due, and the resolution of target and
// variable paths. Actions run on the caller's thread within a step budget, so
// a looping script ends instead of hanging its host.
#pragma once

#include "control/movie/DisplayObject.h"
#include "control/movie/Movie.h"
#include "control/movie/MovieClock.h"
#include "control/movie/MoviePlayer.h"
#include "control/movie/TextField.h"
#include "control/movie/Value.h"

#include <functional>
#include <filesystem>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <random>
#include <span>
#include <string_view>
#include <unordered_set>
#include <vector>

namespace lumbra::movie {

class ActionObject;
class Machine;
class Marker;

struct HostHooks {
    MoviePlayer::FsCommandHandler fsCommand;
    MoviePlayer::TraceHandler trace;
    MoviePlayer::UrlHandler url;
    MoviePlayer::FileReader readFile;
    std::filesystem::path sharedObjects; // empty: shared objects last one run
    MovieClock clock;                    // shared by every level
    MoviePlayer::ClipboardHandler clipboard;
    MoviePlayer::ExternalCallHandler externalCall;
};

// The level "_levelN" (any case) names; above kMaxLevel for too large a number.
std::optional<int> levelNumber(std::u16string_view name);

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
    // The drawing quality scripts set and read (_quality): "LOW", "MEDIUM",
    // "HIGH" or "BEST". LOW draws without anti-aliasing; the others alike.
    std::u16string quality = u"HIGH";

    // Timeline control of a clip. Frames out of range are refused.
    bool gotoFrame(DisplayObject& clip, int frame, bool play);
    bool gotoLabel(DisplayObject& clip, std::u16string_view label, bool play);
    // Runs a frame's actions now in the clip's context; the playhead stays.
    bool callFrame(DisplayObject& clip, int frame);

    // Levels: the main movie's root is level 0; movies loaded onto the levels
    // above it play over it in the same machine, so scripts reach across.
    std::shared_ptr<DisplayObject> level(int number) const;
    std::vector<std::shared_ptr<DisplayObject>> levels() const; // level 0 first
    // What "_root" names inside `object`: its level, or the nearest clip with _lockroot.
    std::shared_ptr<DisplayObject> rootOf(DisplayObject& object) const;
    // For "_root" and "_levelN" (any case): the clip named, null for an empty
    // level; nothing for other names.
    std::optional<std::shared_ptr<DisplayObject>> rootNamed(DisplayObject& from, std::u16string_view name) const;
    // The movie whose characters serve what is placed inside `object`.
    const Movie& movieOf(const DisplayObject& object) const;
    std::shared_ptr<const Movie> definitionsOf(const DisplayObject& object) const;

    // Loading movies (loadMovie, loadMovieNum, MovieClipLoader): requests take
    // effect on the next tick, when the file is read beside the requesting
    // movie. An empty URL unloads. `loader` (a MovieClipLoader) hears the
    // load's events. False when the request is refused at once.
    struct LoadTarget {
        std::weak_ptr<DisplayObject> clip; // or
        int level = -1;
    };
    bool requestLoad(DisplayObject& from, const LoadTarget& target, std::u16string url, Value loader = {});
    // A movie the host gives for a level above 0, entered at once.
    void loadLevel(int number, std::shared_ptr<const Movie> movie);
    void unloadLevel(int number);
    // A script asked to replace level 0: the movie that takes the main one's place.
    std::shared_ptr<const Movie> takeMainReplacement() { return std::move(mainReplacement_); }
    // The load target a script names: a clip, "_levelN", a level number, a path.
    std::optional<LoadTarget> loadTarget(DisplayObject& from, const Value& target);
    // getURL from `from`: "FSCommand:" URLs go to the host's command handler,
    // a "_levelN" window loads the movie onto that level, and anything else
    // goes to the host to open.
    void getUrl(DisplayObject& from, const std::u16string& url, const std::u16string& window);

    // Paths, relative to `from` unless they start at the root.
    std::shared_ptr<DisplayObject> resolveTarget(DisplayObject& from, std::u16string_view path) const;
    std::optional<Value> getVariable(DisplayObject& from, std::u16string_view path) const;
    void setVariable(DisplayObject& from, std::u16string_view path, Value value);

    // Queues an action block for a clip / runs what is queued.
    // Blocks of one frame (given) share the stack when they run one after another.
    void queueActions(DisplayObject& clip, const ActionBytes& actions, const Frame* frame = nullptr);
    // Queues an event: the clip's onClipEvent handlers for it, then its script
    // handler method (onEnterFrame, onLoad ...) when it has one.
    void queueEvent(DisplayObject& clip, std::uint32_t clipEvent, const char16_t* handler);
    void runQueuedActions();
    // Spends one interpreter step; false once this run's budget is gone.
    bool takeStep();
    // Charges work done for a script (pixels, points) at one step per `perStep`
    // units; false, with nothing charged, when the budget cannot cover it.
    bool chargeWork(std::size_t units, std::size_t perStep);
    // The nesting guard of running actions: false when too deep to run more.
    bool enterActions();
    void leaveActions() { --actionDepth_; }

    // Objects the scripts create and remove (duplicateMovieClip / removeMovieClip).
    // The copy has the source's clip events and drawing; `init`'s members are
    // set on it before its constructor and first frame run.
    std::shared_ptr<DisplayObject> cloneClip(DisplayObject& source, std::u16string_view newName, int depth,
                                             ActionObject* init = nullptr);
    // False for an object at a depth scripts cannot remove.
    bool removeClip(DisplayObject& clip);
    // attachMovie: a new instance of the symbol exported under that name.
    std::shared_ptr<DisplayObject> attach(DisplayObject& parent, std::u16string_view exportName,
                                          std::u16string_view name, int depth, ActionObject* init);
    // Object.registerClass: instances of the symbol that the movie of `from`
    // exports under the name get the constructor's prototype and run it; not
    // a function: the link is undone. Each movie keeps its own links, so a
    // loaded movie's symbols never take the main movie's classes. False when
    // nothing is exported under the name.
    bool registerClass(const DisplayObject& from, std::u16string_view exportName, const Value& constructor);
    // createEmptyMovieClip: a clip with one empty frame, replacing what is at the depth.
    std::shared_ptr<DisplayObject> createEmptyClip(DisplayObject& parent, std::u16string_view name, int depth);
    // Moves a script-placed or timeline object to another depth of its parent,
    // swapping with what is there.
    void swapDepth(DisplayObject& object, int depth);
    // The clip's drawing, made on first use.
    Drawing& drawingOf(DisplayObject& clip);

    // Mouse input in root twips. Clips hear mouseMove / mouseDown / mouseUp
    // (onClipEvent and their onMouse... methods), then Mouse's listeners; then
    // buttons, and clips with button handlers, change phase and run theirs.
    void mouseMove(Point p);
    void mouseDown(Point p);
    void mouseUp(Point p);
    // Wheel turns in lines, positive away from the user.
    void mouseWheel(int delta);
    // Whether the mouse is over a button that wants the hand cursor.
    bool overButton();
    Point mouse() const { return mouse_; }
    // Mouse.hide / Mouse.show: the host hides its cursor over the movie.
    bool cursorHidden = false;

    // Keyboard input: `code` a Windows virtual key code, `ascii` the character
    // the key types (0 for none). Key's listeners, clips' keyDown / keyUp
    // events, then buttons and clips waiting for the key run.
    void keyDown(unsigned code, unsigned ascii);
    void keyUp(unsigned code, unsigned ascii);

    // startDrag: the clip follows the mouse, its registration point on the
    // mouse or keeping its distance, within `bounds` (parent twips) when given.
    void startDrag(DisplayObject& clip, bool lockCenter, std::optional<Rect> bounds);
    void stopDrag();
    // _droptarget: what the clip was last dragged over (null when nothing).
    std::shared_ptr<DisplayObject> dropTarget(const DisplayObject& clip) const;

    // Text fields: made by script (replacing what is at the depth, which
    // unloads, as every script placement does), given the focus, typed into.
    std::shared_ptr<DisplayObject> createTextField(DisplayObject& parent, std::u16string_view name, int depth,
                                                   const Rect& box);
    std::shared_ptr<DisplayObject> focus() const { return focus_.lock(); }
    // Moves the focus (null: nowhere), telling both objects and the Selection
    // listeners. A field that cannot take the focus is refused (false);
    // buttons and clips take it too.
    bool setFocus(const std::shared_ptr<DisplayObject>& object);
    // Tab (or shift+Tab, backwards): the next object of the tab order takes the focus.
    void tabFocus(bool backwards);
    // Typed text and editing keys for the field with the focus; false when no field takes them.
    bool typeText(std::u16string_view text);
    bool editKey(EditKey key, bool extend = false);
    // Every bound field shows its variable's value.
    void syncTextFields();
    // The field's text from its bound variable, when that changed.
    void syncTextField(DisplayObject& object);
    // Sizes a text field's box to its text as autoSize asks; a box kept at
    // its right or centre moves the field, as its _x shows.
    void fitTextBox(DisplayObject& object);

    // A call the host makes into the movie (the container's CallFunction):
    // it runs with a fresh budget, then what it queued runs. Undefined when
    // it threw or the movie stopped.
    Value callFromHost(const Value& object, const Value& function, std::span<const Value> args);

    // The right-click menu at p (root twips): the ContextMenu in the `menu`
    // of the object under p or of the nearest clip above it, whose onSelect
    // runs first; its visible custom items, then the built-in items it does
    // not hide (by their builtInItems names). Without a menu, every built-in
    // item. Kept for chooseMenuItem.
    struct MenuEntry {
        std::u16string caption;  // a custom item's
        std::u16string builtIn;  // or a built-in item's name
        bool enabled = true;
        bool separatorBefore = false;
    };
    std::vector<MenuEntry> contextMenu(Point p);
    // Runs onSelect(owner, item) of custom entry `index` of the last menu.
    void chooseMenuItem(std::size_t index);

    double random(double limit);
    double millisecondsSinceStart() const { return hooks_.clock.now(); }

private:
    struct QueuedAction {
        std::weak_ptr<DisplayObject> clip;
        const ActionBytes* actions;   // or
        const char16_t* handler;      // a method of the clip to call
        std::shared_ptr<const std::vector<ClipAction>> keep; // what `actions` points into
        std::shared_ptr<DisplayObject> hold; // a clip that left the stage, for its unload event
        const Frame* frame;                  // the frame a timeline block belongs to
    };

    void advance(DisplayObject& clip);
    void enterFrame(DisplayObject& clip, int frame);
    void rebuildTo(DisplayObject& clip, int frame);
    // Charges walking a timeline to the running actions' step budget.
    void spendSteps(std::size_t steps);
    void runInitActions(DisplayObject& clip, const Frame& frame);
    void applyCommand(DisplayObject& clip, const DisplayCommand& command);
    std::shared_ptr<DisplayObject> create(DisplayObject& parent, std::uint16_t id, const PlaceCommand& place,
                                          ActionObject* init = nullptr);
    // A new object that a script places (not yet inserted); null past the
    // limits on objects and nesting.
    std::shared_ptr<DisplayObject> scriptObject(DisplayObject& parent, const Character& character,
                                                std::u16string_view name, int depth);
    void insert(DisplayObject& parent, const std::shared_ptr<DisplayObject>& object);
    void startClip(DisplayObject& clip, ActionObject* init);
    // Whether the object or one inside it has an unload handler to run.
    bool queueUnload(const std::shared_ptr<DisplayObject>& object);
    void setPhase(const std::shared_ptr<DisplayObject>& button, ButtonPhase phase, unsigned condition);
    void trackMenu(const std::shared_ptr<DisplayObject>& pressed, const std::shared_ptr<DisplayObject>& hit);
    // Buttons and clips set to track as menu items (their trackAsMenu, else the button's flag).
    bool tracksAsMenu(DisplayObject& object);
    // The topmost button or clip with button handlers under p (root twips).
    std::shared_ptr<DisplayObject> mouseTarget(Point p);
    std::shared_ptr<DisplayObject> searchTarget(DisplayObject& clip, Point local, Point p);
    bool actsAsButton(DisplayObject& clip);
    bool takesFocus(DisplayObject& object);
    // Whether the object takes part in the tab order, given its tabEnabled.
    bool isTabStop(DisplayObject& object, const Value& tabEnabled);
    bool enabled(DisplayObject& object);
    bool targetHit(DisplayObject& target, Point local, Point p);
    // Queues `clipEvent` and `handler` for every clip of the stage, parents first.
    void queueEverywhere(std::uint32_t clipEvent, const char16_t* handler);
    // Calls Key's or Mouse's listeners now.
    void broadcast(std::u16string_view source, std::u16string_view message, std::vector<Value> args = {});
    void keyPress(unsigned buttonCode);
    void followDrag();
    // Runs `work` with a fresh budget, ending it quietly when a script it calls throws or aborts.
    void guarded(const std::function<void()>& work);
    // After a user edit: the bound variable takes the text, onChanged is told.
    void textEdited(DisplayObject& object);
    // Calls a script method of a field or object with arguments, when it has one.
    void notify(const Value& target, std::u16string_view method, std::span<const Value> args);

    struct PendingLoad {
        LoadTarget target;
        std::u16string url; // resolved; empty unloads
        Value loader;
    };
    void runLoads();
    void applyLoad(const PendingLoad& load);
    // The movie a resolved URL names, read through the host and parsed once.
    std::shared_ptr<const Movie> fetchMovie(const std::u16string& url);
    // Puts the movie into the clip (or a new root for a level), starting it; null when refused.
    std::shared_ptr<DisplayObject> placeMovie(const LoadTarget& target, std::shared_ptr<const Movie> movie,
                                              const std::u16string& url);
    void unloadTarget(const LoadTarget& target);
    void tellLoader(const Value& loader, std::u16string_view event, std::vector<Value> args);
    // The character `id` names for objects inside `parent`, and the movie that defines it.
    std::pair<const Character*, std::shared_ptr<const Movie>> characterFor(const DisplayObject& parent,
                                                                            std::uint16_t id);
    std::optional<std::uint16_t> symbolFor(const DisplayObject& parent, std::u16string_view exportName);

    std::shared_ptr<const Movie> movie_;
    const HostHooks& hooks_;
    std::map<int, std::shared_ptr<DisplayObject>> upperLevels_;
    std::vector<PendingLoad> loads_;
    std::map<std::u16string, std::shared_ptr<const Movie>> fetched_; // by resolved URL
    std::map<const Movie*, std::u16string> fetchedUrls_;            // and back
    std::size_t fetchedBytes_ = 0;
    std::shared_ptr<const Movie> mainReplacement_;
    std::shared_ptr<std::size_t> census_;
    std::shared_ptr<std::size_t> drawingPoints_; // held by every drawing of the stage
    std::shared_ptr<DisplayObject> root_;
    std::vector<QueuedAction> queue_;
    // While a frame is entered: where the unload events of what it removes go.
    std::optional<std::size_t> unloadsAt_;
    bool draining_ = false;
    bool closed_ = false;
    long budget_ = 0;
    int actionDepth_ = 0;
    unsigned long tick_ = 0;
    unsigned nextInstance_ = 1;

    std::weak_ptr<DisplayObject> hot_;     // button under the mouse
    std::weak_ptr<DisplayObject> pressed_; // button the mouse went down on, or menu item it holds
    bool mouseHeld_ = false;
    std::weak_ptr<DisplayObject> focus_;   // the keyboard's: a text field takes typed keys
    Point mouse_;
    struct Drag {
        std::weak_ptr<DisplayObject> clip;
        Point offset; // the clip's position less the mouse, in its parent's twips
        std::optional<Rect> bounds;
    };
    Drag drag_;
    std::weak_ptr<DisplayObject> dropped_;    // the clip last dragged
    std::weak_ptr<DisplayObject> dropTarget_; // and what it was over

    Value menuOwner_;              // what the last right-click menu was for
    std::vector<Value> menuItems_; // its entries' items (undefined for built-in ones)

    std::unique_ptr<Machine> machine_;
    Character emptyClip_; // what createEmptyMovieClip places
    Character emptyText_; // what createTextField places
    std::unordered_set<const ActionBytes*> initDone_; // DoInitAction blocks already run
    // Registered classes by movie and symbol. An entry of a movie freed since
    // never matches again, though another movie may take its address.
    struct RegisteredClass {
        std::weak_ptr<const Movie> movie;
        Value constructor;
    };
    std::map<std::pair<const Movie*, std::uint16_t>, RegisteredClass> classes_;
    const Value* registeredClass(const DisplayObject& clip);
    std::minstd_rand random_;
};

} // namespace lumbra::movie
