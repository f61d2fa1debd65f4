// HostPlayer on Windows: the portable view of the player that the
// Application, settings, FlashPlayer and MovieClip classes use, made of the
// player's PlayerServices and the system calls those classes need.
#pragma once

#include "host/HostPlayer.h"
#include "host/win32/DispatchControl.h"

namespace lumbra {
class PlayerServices;
}

namespace lumbra::host {

class ServicesHostPlayer final : public HostPlayer {
public:
    explicit ServicesHostPlayer(PlayerServices& services) : services_(services), control_(services) {}

    std::string exePath() override;
    std::string commandLine() override;
    std::vector<std::string> moviePaths() override;
    std::string additionalFile(std::string_view name) override;
    std::optional<std::string> attachmentsFolder() override;
    std::string workingFolder() override;
    ProjectSettings& settings() override;
    std::optional<std::string> readProfile(std::string_view section, std::string_view entry) override;
    bool writeProfile(std::string_view section, std::string_view entry, std::string_view value) override;
    std::optional<std::string> readClassesRootDefault(std::string_view key) override;
    bool writeClassesRootDefault(std::string_view key, std::string_view value) override;

    bool processMessages() override;
    void invokeScript(std::string_view name) override;
    unsigned startTimer(unsigned milliseconds, std::function<void(unsigned id)> tick) override;
    void stopTimer(unsigned id) override;
    bool openTraceFile(const std::string& path) override;
    void closeTraceFile() override;

    void reapply(Reapply what) override;
    void requestScaleMode(int flashScaleMode) override;
    bool setWindowIcon(std::string_view path) override;
    void showAbout() override;
    std::intptr_t mainWindow() override;
    std::intptr_t flashWindow() override;
    std::string mainWindowTitle() override;
    std::intptr_t sendMessage(std::intptr_t window, unsigned message, std::intptr_t wParam, std::intptr_t lParam) override;
    FlashControl* flashControl() override;
    PixelSize movieSize() override;
    PixelSize clientSize() override;

    void setDragRegion(const DragRegion& region) override;
    bool setCustomCursor(std::string_view path) override;
    void clearCustomCursor() override;
    void showCursor(bool show) override;
    bool hasMouseCapture() override;
    void setMouseCapture(bool capture) override;
    bool hasFocus() override;
    void takeFocus() override;
    std::string keyName(std::uint16_t code, bool extended) override;

    std::unique_ptr<PlayerIcon> loadIcon(std::string_view path) override;
    std::unique_ptr<PlayerIcon> applicationIcon() override;
    bool addTrayIcon(const TrayIcon& icon) override;
    bool modifyTrayIcon(const TrayIcon& icon) override;
    bool removeTrayIcon() override;
    bool showBalloon(const Balloon& balloon) override;

    orvet::ScriptValue windowObject(orvet::ScriptContext& ctx, std::intptr_t window) override;
    std::optional<std::intptr_t> windowOfObject(const orvet::ScriptValue& object) override;
    bool setRightButtonHandler(const orvet::ScriptValue& object, const orvet::ScriptValue& handler) override;

private:
    bool notifyTray(unsigned long message, const TrayIcon& icon);

    PlayerServices& services_;
    DispatchControl control_;
};

} // namespace lumbra::host
