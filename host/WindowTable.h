// The routing records of script "Window" objects. Every window that has at
// least one script object has one WindowRecord: its event handlers, its hover
// state and the receiver of its events. All script objects of a window share
// the record, and the window is subclassed once, when its first object is
// made, and given its procedure back when its last object dies.
//
// The table knows windows only as handles; the window system's side
// (subclassing, the question whether a handle is still a window) comes in
// through WindowSubclassing, so the counting rules are tested anywhere.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "script/runtime/ScriptValue.h"

namespace orvet {
struct ScriptContext;
}

namespace lumbra::host {

using WindowHandle = std::uintptr_t;

// The handler slots, in the order of the record.
enum class WindowEvent : std::uint8_t {
    QueryClose, Close, Enter, Leave, Hover, Size,
    RightButton, // set only through the Flash player's "onContextMenu"
    Move, ExitSizeMove, EnterSizeMove, Moving, Sizing, Deactivate, Activate, Message,
};
inline constexpr std::size_t kWindowEventCount = 15;

struct WindowRecord;

// The native data of one script object: its record (none when the handle it
// was made for named no window) and the handle, which stays readable.
struct WindowCell {
    WindowRecord* record = nullptr;
    WindowHandle handle = 0;
    orvet::ScriptValue object; // the script object itself, not a reference that keeps it alive
};

struct WindowRecord {
    WindowRecord(orvet::ScriptContext& context, WindowHandle window) : ctx(&context), handle(window) {}

    orvet::ScriptContext* ctx;
    WindowHandle handle;
    bool inside = false;     // the mouse is inside the window (hover tracking)
    bool tracking = true;    // hover tracking is on
    bool subclassed = false; // the window's messages come to the dispatcher
    bool destroyed = false;  // the window is gone; its handle may name another window now
    std::array<orvet::ScriptValue, kWindowEventCount> handlers{}; // a Function or Undefined
    std::vector<WindowCell*> cells; // the living script objects, oldest first: the reference count
    int dispatching = 0;            // event calls under way; the record outlives them

    orvet::ScriptValue& handler(WindowEvent event) { return handlers[static_cast<std::size_t>(event)]; }
    bool has(WindowEvent event) const { return !handlers[static_cast<std::size_t>(event)].is(orvet::ValueKind::Undefined); }
    // The receiver of event calls: the most recently made object still alive.
    orvet::ScriptValue self() const { return cells.empty() ? orvet::ScriptValue() : cells.back()->object; }
};

// What the table needs of the window system.
class WindowSubclassing {
public:
    virtual ~WindowSubclassing() = default;
    virtual bool isWindow(WindowHandle handle) = 0;
    // Routes the window's messages to the dispatcher; false when the window
    // cannot be subclassed (another thread's or process's window).
    virtual bool attach(WindowRecord& record) = 0;
    // Gives the window its previous procedure back.
    virtual void detach(WindowRecord& record) = 0;
};

class WindowTable {
public:
    static constexpr std::size_t kBuckets = 17;

    explicit WindowTable(WindowSubclassing& system) : system_(system) {}
    // Every window still subclassed gets its procedure back.
    ~WindowTable();
    WindowTable(const WindowTable&) = delete;
    WindowTable& operator=(const WindowTable&) = delete;

    // The data of a new script object for the handle: the window's record is
    // found, or made and the window subclassed. A handle that is no window
    // gets a cell without record.
    std::unique_ptr<WindowCell> newCell(orvet::ScriptContext& ctx, WindowHandle handle);
    // A script object dies: at the last one the window gets its procedure
    // back and the record goes (once no event call is using it).
    void releaseCell(std::unique_ptr<WindowCell> cell);

    // The record of a living window, or null.
    WindowRecord* find(WindowHandle handle) const;
    // The window is being destroyed: it is unsubclassed and its record leaves
    // the table, so that a new window with the same handle gets its own.
    void windowDestroyed(WindowRecord& record);
    // Gives the window its procedure back now (the record stays).
    void unsubclass(WindowRecord& record);

    // Keeps a record alive while its handlers run, even when a handler lets
    // the last script object of the window go.
    class Dispatch {
    public:
        Dispatch(WindowTable& table, WindowRecord& record);
        ~Dispatch();
        Dispatch(const Dispatch&) = delete;
        Dispatch& operator=(const Dispatch&) = delete;

    private:
        WindowTable& table_;
        WindowRecord& record_;
    };

    // Records in the table (not counting those waiting for an event to end).
    std::size_t size() const;

private:
    using Chain = std::vector<std::unique_ptr<WindowRecord>>;

    Chain& bucket(WindowHandle handle) { return buckets_[handle % kBuckets]; }
    // Moves the record out of its bucket to the records kept only for their
    // remaining cells or event calls.
    void unlink(WindowRecord& record);
    // Frees an unlinked record that nothing uses any more.
    void freeIfUnused(WindowRecord& record);

    WindowSubclassing& system_;
    std::array<Chain, kBuckets> buckets_;
    Chain unlinked_;
};

} // namespace lumbra::host
