// A player without windows for the host classes' native tests: every
// service answers from plain fields and records what it was asked to do.
#pragma once

#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "host/HostPlayer.h"
#include "package/ProjectSettings.h"

namespace lumbra::test {

// A control whose properties and variables are maps. Failing members (by
// name) report failure; every call is logged as "Name(arg,arg)".
class FakeControl : public FlashControl {
public:
    std::map<std::u16string, ControlValue> properties;
    std::map<std::u16string, std::u16string> variables;
    std::map<std::u16string, ControlValue> results; // of other methods; default: success, no value
    std::set<std::u16string> failing;
    std::vector<std::string> log;

    std::optional<ControlValue> get(std::u16string_view property) override;
    bool put(std::u16string_view property, const ControlValue& value) override;
    std::optional<ControlValue> call(std::u16string_view method, std::span<const ControlValue> arguments) override;
};

class FakeIcon : public PlayerIcon {
public:
    explicit FakeIcon(std::string name) : name(std::move(name)) {}
    std::string name;
};

class FakePlayer : public HostPlayer {
public:
    FakePlayer();

    // What the services answer.
    std::string exe = "C:\\Apps\\Demo\\demo.exe";
    std::string line = "\"C:\\Apps\\Demo\\demo.exe\" a \"x y\" 'd'";
    std::vector<std::string> movies;
    std::map<std::string, std::string> additionalFiles;
    std::optional<std::string> attachments;
    std::string working; // a real folder
    ProjectSettings projectSettings;
    std::map<std::string, std::string> profile; // "section/entry"
    std::map<std::string, std::string> classesRoot;
    bool messagesAnswer = true;
    bool hasControl = true;
    FakeControl control;
    PixelSize movie{550, 400}, client{1100, 1000};
    std::set<std::string> loadableFiles; // cursors and icons that load
    std::string traceFile;     // "" while none is open
    bool traceOpens = true;    // whether a trace file can be opened
    std::intptr_t mainHandle = 0x1234, flashHandle = 0x5678;
    bool windowClass = true;   // whether "Window" objects can be made

    // What the player was asked.
    std::vector<Reapply> reapplied;
    std::vector<int> scaleModes;
    std::vector<std::string> invoked, windowIcons, cursors, trayCalls;
    int aboutCount = 0, cursorShown = 1;
    bool capture = false, focus = false;
    DragRegion dragRegion;
    std::map<unsigned, std::function<void(unsigned)>> timers;
    unsigned nextTimer = 100;
    struct Sent {
        std::intptr_t window;
        unsigned message;
        std::intptr_t wParam, lParam;
    };
    std::vector<Sent> sent;
    int windowObjectsMade = 0;
    std::optional<orvet::Atom> fakeWindowAtom;
    std::map<std::intptr_t, std::string> rightButtonHandlers; // "function" or "none", by window

    // Runs one tick of a live timer; false when it is not running.
    bool fire(unsigned id);

    std::string exePath() override { return exe; }
    std::string commandLine() override { return line; }
    std::vector<std::string> moviePaths() override { return movies; }
    std::string additionalFile(std::string_view name) override;
    std::optional<std::string> attachmentsFolder() override { return attachments; }
    std::string workingFolder() override { return working; }
    ProjectSettings& settings() override { return projectSettings; }
    std::optional<std::string> readProfile(std::string_view section, std::string_view entry) override;
    bool writeProfile(std::string_view section, std::string_view entry, std::string_view value) override;
    std::optional<std::string> readClassesRootDefault(std::string_view key) override;
    bool writeClassesRootDefault(std::string_view key, std::string_view value) override;
    bool processMessages() override { return messagesAnswer; }
    void invokeScript(std::string_view name) override { invoked.emplace_back(name); }
    unsigned startTimer(unsigned milliseconds, std::function<void(unsigned)> tick) override;
    void stopTimer(unsigned id) override { timers.erase(id); }
    bool openTraceFile(const std::string& path) override
    {
        traceFile = traceOpens ? path : "";
        return traceOpens;
    }
    void closeTraceFile() override { traceFile.clear(); }
    void reapply(Reapply what) override { reapplied.push_back(what); }
    void requestScaleMode(int mode) override { scaleModes.push_back(mode); }
    bool setWindowIcon(std::string_view path) override;
    void showAbout() override { ++aboutCount; }
    std::intptr_t mainWindow() override { return mainHandle; }
    std::intptr_t flashWindow() override { return flashHandle; }
    std::string mainWindowTitle() override { return "Demo title"; }
    std::intptr_t sendMessage(std::intptr_t window, unsigned message, std::intptr_t wParam, std::intptr_t lParam) override;
    FlashControl* flashControl() override { return hasControl ? &control : nullptr; }
    PixelSize movieSize() override { return movie; }
    PixelSize clientSize() override { return client; }
    void setDragRegion(const DragRegion& region) override { dragRegion = region; }
    bool setCustomCursor(std::string_view path) override;
    void clearCustomCursor() override { cursors.push_back("clear"); }
    void showCursor(bool show) override { cursorShown = show; }
    bool hasMouseCapture() override { return capture; }
    void setMouseCapture(bool on) override { capture = on; }
    bool hasFocus() override { return focus; }
    void takeFocus() override { focus = true; }
    std::string keyName(std::uint16_t code, bool extended) override;
    std::unique_ptr<PlayerIcon> loadIcon(std::string_view path) override;
    std::unique_ptr<PlayerIcon> applicationIcon() override { return std::make_unique<FakeIcon>("application"); }
    bool addTrayIcon(const TrayIcon& icon) override;
    bool modifyTrayIcon(const TrayIcon& icon) override;
    bool removeTrayIcon() override;
    bool showBalloon(const Balloon& balloon) override;
    // Window objects are plain objects with a "fakeWindow" handle.
    orvet::ScriptValue windowObject(orvet::ScriptContext& ctx, std::intptr_t window) override;
    std::optional<std::intptr_t> windowOfObject(const orvet::ScriptValue& object) override;
    bool setRightButtonHandler(const orvet::ScriptValue& object, const orvet::ScriptValue& handler) override;
};

} // namespace lumbra::test
