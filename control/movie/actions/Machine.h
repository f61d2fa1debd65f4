// The script machine of one playback: the heap, the global object with the
// built-in classes, and the language's operations on values that both the
// interpreter and the built-ins need (members, calls, conversions). Calls nest
// at most 256 deep; beyond that, as the reference player does, actions are
// disabled for the rest of the movie.
#pragma once

#include "control/movie/actions/ActionObject.h"
#include "control/movie/actions/Heap.h"

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <utility>
#include <vector>

namespace lumbra::movie {

class DisplayObject;
class Playback;
class SharedObjectStore;

// A script-level throw travelling to the nearest try.
struct ScriptThrow {
    Value value;
};

// Ends every running action at once (recursion limit, budget, closed movie).
struct ScriptAbort {};

// A built-in function's view of its call.
struct NativeCall {
    Machine& machine;
    Value thisValue;
    std::span<const Value> args;
    ActionObject* callee;
    bool constructing;
    std::shared_ptr<DisplayObject> clip; // the clip whose actions called

    Value arg(std::size_t i) const { return i < args.size() ? args[i] : Value(); }
    double number(std::size_t i) const;
    std::u16string string(std::size_t i) const;
    ActionObject* self() const { return thisValue.toObject(); }
};

// Natives for the members a standalone player keeps but has nothing to do
// for: each answers one fixed value whatever it is given.
Value nativeUndefined(NativeCall& c);
Value nativeNull(NativeCall& c);
Value nativeFalse(NativeCall& c);
Value nativeTrue(NativeCall& c);
// A class constructor with nothing to set up: `new C()` answers the new
// instance, a plain call C() answers undefined.
Value constructInstance(NativeCall& c);

struct Prototypes {
    ActionObject* object = nullptr;
    ActionObject* function = nullptr;
    ActionObject* array = nullptr;
    ActionObject* string = nullptr;
    ActionObject* number = nullptr;
    ActionObject* boolean = nullptr;
    ActionObject* date = nullptr;
    ActionObject* clip = nullptr;
    ActionObject* error = nullptr;
    ActionObject* textField = nullptr;
    ActionObject* xmlNode = nullptr;
    ActionObject* bitmapData = nullptr;
    ActionObject* button = nullptr;
    ActionObject* video = nullptr;
};

class Machine {
public:
    Machine(Playback& playback, int version);
    ~Machine();

    Playback& playback() { return pb_; }
    // The version of the movie whose actions run now (the main movie's
    // between actions).
    int version() const { return versions_.empty() ? version_ : versions_.back(); }
    Heap& heap() { return heap_; }
    ActionObject* global() { return global_; }
    Prototypes& prototypes() { return protos_; }

    // --- making objects --------------------------------------------------------
    ActionObject* newObject();
    ActionObject* newArray(std::vector<Value> elements = {});
    ActionObject* newFunction(NativeFunction native, ActionObject* prototype = nullptr);
    // Adds a built-in method (not enumerated).
    ActionObject* method(ActionObject* on, std::u16string_view name, NativeFunction native);
    // A constructor with its prototype, bound to a global name.
    ActionObject* defineClass(std::u16string_view name, NativeFunction constructor, ActionObject* prototype);

    // --- members ------------------------------------------------------------------
    // The member of an object, clip or primitive (through its class's prototype).
    Value get(const Value& object, std::u16string_view name);
    // Where get found it: the object holding the member (for super).
    Value get(const Value& object, std::u16string_view name, ActionObject*& holder);
    void set(const Value& object, std::u16string_view name, Value value);
    bool remove(const Value& object, std::u16string_view name);
    bool has(const Value& object, std::u16string_view name);
    // Whether the name is the index of one of the array's elements.
    static bool hasElement(const ActionObject& array, std::u16string_view name);
    // The object primitives borrow members from; null for undefined and null.
    ActionObject* prototypeOf(const Value& value);
    bool instanceOf(const Value& value, const Value& constructor);
    bool implements(ActionObject* prototype, ActionObject* face);

    // --- calls ---------------------------------------------------------------------
    Value call(const Value& function, const Value& thisValue, std::span<const Value> args,
               ActionObject* home = nullptr);
    Value callMethod(const Value& object, std::u16string_view name, std::span<const Value> args);
    Value construct(const Value& constructor, std::span<const Value> args);
    // The clip whose actions run now: natives that act on "the current clip" use it.
    std::shared_ptr<DisplayObject> currentClip() const { return clips_.empty() ? nullptr : clips_.back(); }
    // A loaded movie runs by its own version's rules (conversions, names of
    // new objects) while its clip's actions run.
    void pushClip(std::shared_ptr<DisplayObject> clip);
    void popClip();
    // The script function running now (null at the top of an action block):
    // what a call's arguments.caller shows.
    ActionObject* runningFunction() const { return running_; }
    ActionObject* exchangeRunningFunction(ActionObject* function) { return std::exchange(running_, function); }

    // --- conversions -------------------------------------------------------------
    // Objects convert through their valueOf / toString methods.
    Value toPrimitive(const Value& value, bool preferString = false);
    std::u16string toString(const Value& value);
    double toNumber(const Value& value);
    std::int32_t toInt32(const Value& value);
    bool toBoolean(const Value& value) const { return value.toBoolean(version()); }
    std::u16string typeOf(const Value& value) const;
    // ==
    bool looseEquals(const Value& a, const Value& b);

    // --- the recursion guard --------------------------------------------------------
    // False once the machine has stopped for good.
    bool enabled() const { return enabled_; }
    void enterCall();
    void leaveCall() { --depth_; }

    // Frees unreachable objects; the playback gives its roots.
    void collectGarbage();

    // The keyboard as the host reports it.
    struct Keys {
        bool down[256] = {};
        unsigned lastCode = 0;
        unsigned lastAscii = 0;

        void record(unsigned code, unsigned ascii, bool isDown)
        {
            if (code < 256)
                down[code] = isDown;
            lastCode = code;
            lastAscii = ascii;
        }
        bool toggled[256] = {}; // caps, num and scroll lock as the host reports them
    };
    Keys& keys() { return keys_; }

    // setInterval timers: checked each frame.
    struct Interval {
        int id;
        Value target;    // function, or object whose method `name` runs
        std::u16string name;
        std::vector<Value> args;
        double period; // ms
        double due;    // ms since start
        bool once = false; // setTimeout: runs one time
    };
    std::vector<Interval>& intervals() { return intervals_; }
    int nextIntervalId() { return ++intervalIds_; }
    void runIntervals(double now);

    // Data a script asked for (XML.load, LoadVars.load, loadVariables) arrives
    // on a later frame: then `deliver` runs with `target` as this.
    struct Arrival {
        Value deliver;
        Value target;
        std::vector<Value> args;
    };
    void scheduleArrival(Arrival arrival) { arrivals_.push_back(std::move(arrival)); }
    void runArrivals();

    SharedObjectStore& sharedObjects() { return *sharedObjects_; }
    // LocalConnection: the connected objects by their full names (folded).
    // Every level and loaded movie shares this machine, and so the names.
    std::map<std::u16string, ActionObject*>& localConnections() { return localConnections_; }
    // ExternalInterface.addCallback: what the container's CallFunction reaches, by name.
    struct Callback {
        Value instance;
        Value method;
    };
    std::map<std::u16string, Callback>& externalCallbacks() { return externalCallbacks_; }
    // System.setClipboard without a host clipboard: the text is kept here.
    std::u16string clipboard;
    // The pixels every BitmapData of the movie holds together.
    const std::shared_ptr<std::size_t>& bitmapPixels() const { return bitmapPixels_; }

private:
    ActionObject* wrapperPrototype(const Value& value);
    // A property's value: an accessor's getter runs with `self` as this.
    Value read(const ActionObject::Property& property, const Value& self, ActionObject* holder);
    // Runs the setter of an accessor found on the object or its prototypes; false when there is none.
    bool writeAccessor(ActionObject* object, std::u16string_view name, const Value& self, const Value& value);
    Value getOwnOrClip(const Value& object, std::u16string_view name, bool& found);
    // What an assignment stores once the watchpoint on the name (if any) has
    // seen it; `find` gives the watchpoint, looked up again after the callback.
    Value watched(const std::function<Watchpoint*()>& find, const Value& self, std::u16string_view name, Value old,
                  Value value);
    // A member no object of the chain has: the object's __resolve answers.
    Value resolve(const Value& object, std::u16string_view name);

    Playback& pb_;
    int version_;
    Heap heap_;
    ActionObject* global_ = nullptr;
    Prototypes protos_;
    std::vector<std::shared_ptr<DisplayObject>> clips_;
    std::vector<int> versions_; // of the movies of clips_
    std::vector<Interval> intervals_;
    int intervalIds_ = 0;
    std::vector<Arrival> arrivals_;
    std::map<std::u16string, ActionObject*> localConnections_;
    std::map<std::u16string, Callback> externalCallbacks_;
    std::unique_ptr<SharedObjectStore> sharedObjects_; // after heap_: saved before the objects go
    Keys keys_;
    std::shared_ptr<std::size_t> bitmapPixels_ = std::make_shared<std::size_t>(0);
    int depth_ = 0;
    bool enabled_ = true;
    ActionObject* running_ = nullptr;
};

// Runs a script function (DefineFunction / DefineFunction2).
Value runFunction(Machine& machine, ActionObject& function, const Value& thisValue, std::span<const Value> args,
                  ActionObject* home);

// The built-in classes, one unit each.
void installObject(Machine& m);
void installFunction(Machine& m);
void installError(Machine& m);
void installArray(Machine& m);
void installString(Machine& m);
void installNumber(Machine& m);
void installBoolean(Machine& m);
void installXmlNode(Machine& m);
void installXml(Machine& m);
void installLoadVars(Machine& m);
void installSharedObject(Machine& m);
void installSound(Machine& m);
// The platform and version the player reports to movies: getVersion(),
// $version and System.capabilities.
inline constexpr std::u16string_view kPlayerVersion = u"WIN 8,0,24,0";

void installSystem(Machine& m);
void installMath(Machine& m);
void installDate(Machine& m);
void installMovieClip(Machine& m);
// MovieClip's drawing methods, on its prototype.
void installClipDrawing(Machine& m, ActionObject* clipPrototype);
void installGlobals(Machine& m);
void installBroadcaster(Machine& m);
void installKey(Machine& m);
void installMouse(Machine& m);
void installStage(Machine& m);
void installClipDrag(Machine& m); // after installMovieClip
void installTextField(Machine& m);
void installTextFormat(Machine& m);
void installStyleSheet(Machine& m); // TextField.StyleSheet; after installTextField and installTextFormat
void installSelection(Machine& m);
void installMovieClipLoader(Machine& m);
// flash.geom, one unit each.
void installPoint(Machine& m);
void installRectangle(Machine& m);
void installMatrix(Machine& m);
void installColorTransform(Machine& m);
void installTransform(Machine& m); // after installMovieClip and installTextField
void installFilters(Machine& m);   // flash.filters
void installClipEffects(Machine& m); // filters, blendMode... of clips; after installTextField
void installBitmapData(Machine& m); // flash.display.BitmapData
// Connections and devices: what a player without network, camera or printer offers.
void installLocalConnection(Machine& m);
// Gives up the connection names of the machine's LocalConnection objects (the machine is going).
void closeLocalConnections(Machine& m);
void installNetConnection(Machine& m);
void installNetStream(Machine& m);
void installVideo(Machine& m);
void installXmlSocket(Machine& m);
void installCamera(Machine& m);
void installMicrophone(Machine& m);
void installPrintJob(Machine& m);
void installFileReference(Machine& m); // flash.net.FileReference and FileReferenceList
void installTextRenderer(Machine& m);  // flash.text.TextRenderer
void installAccessibility(Machine& m);
void installCustomActions(Machine& m);
void installExternalInterface(Machine& m); // flash.external.ExternalInterface
void installIme(Machine& m); // System.IME; after installSystem and installBroadcaster
void installColor(Machine& m);
void installButton(Machine& m); // after installMovieClip
void installContextMenu(Machine& m);
void installTextSnapshot(Machine& m); // after installMovieClip
// Gives an object a listener list and addListener / removeListener / broadcastMessage.
void makeBroadcaster(Machine& m, ActionObject* object);

} // namespace lumbra::movie
