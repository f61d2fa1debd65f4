// PlayerApp as the host classes' PlayerServices: each answer goes to the
// part of the player that owns it.
#include "player/PlayerApp.h"

#include "player/ProgramPaths.h"
#include "player/SettingsFlags.h"
#include "player/TrayIcon.h"

#include <shellapi.h>

namespace lumbra {

HWND PlayerApp::mainWindow() const
{
    return mainFrame_ ? mainFrame_->handle() : nullptr;
}

HWND PlayerApp::flashWindow() const
{
    return mainFrame_ ? mainFrame_->host().window() : nullptr;
}

IDispatch* PlayerApp::flashControl() const
{
    return mainFrame_ ? mainFrame_->host().control() : nullptr;
}

HRESULT PlayerApp::getFlashProperty(const wchar_t* name, VARIANT* result)
{
    return mainFrame_ ? mainFrame_->host().getProperty(name, result) : E_UNEXPECTED;
}

HRESULT PlayerApp::putFlashProperty(const wchar_t* name, const VARIANT& value)
{
    return mainFrame_ ? mainFrame_->host().putProperty(name, value) : E_UNEXPECTED;
}

HRESULT PlayerApp::callFlashMethod(const wchar_t* name, const VARIANT* args, unsigned count, VARIANT* result)
{
    return mainFrame_ ? mainFrame_->host().callMethod(name, args, count, result) : E_UNEXPECTED;
}

bool PlayerApp::loadMovie(const std::string& path)
{
    return mainFrame_ && mainFrame_->host().loadMovie(path, settings_.behaviourFlags & kAutoPlay);
}

std::string PlayerApp::currentMovie()
{
    return mainFrame_ ? mainFrame_->host().currentMovie() : std::string();
}

SIZE PlayerApp::movieSize() const
{
    if (!mainFrame_)
        return {0, 0};
    return {mainFrame_->host().movieWidth(), mainFrame_->host().movieHeight()};
}

void PlayerApp::reapply(Reapply what)
{
    if (!mainFrame_ || !mainFrame_->handle())
        return;
    CMainFrame& frame = *mainFrame_;
    if (has(what, Reapply::appearance))
        frame.applyAppearance();
    if (has(what, Reapply::sizeAndPosition) || has(what, Reapply::appearance)) // appearance leaves it hidden
        frame.applySizeAndPosition();
    if (has(what, Reapply::shape))
        frame.applyShape();
    if (has(what, Reapply::stacking))
        frame.applyStacking(true);
    if (interaction_ && has(what, Reapply::restrictions))
        interaction_->applyRestrictions();
    if (interaction_ && has(what, Reapply::systemMenu))
        interaction_->applySystemMenu();
    if (interaction_ && has(what, Reapply::trayIcon))
        interaction_->applyTray();
    if (has(what, Reapply::background))
        frame.applyBackgroundColor();
    if (has(what, Reapply::appearance) || has(what, Reapply::sizeAndPosition))
        frame.recordAspectRatio();
}

std::string PlayerApp::programFile() const
{
    return lumbra::programFile();
}

std::string PlayerApp::commandLine() const
{
    return GetCommandLineA();
}

void PlayerApp::setCustomCursor(HCURSOR cursor)
{
    if (mainFrame_)
        mainFrame_->host().setCustomCursor(cursor);
    else if (cursor)
        DestroyCursor(cursor);
}

void PlayerApp::setDragRegion(HRGN region)
{
    if (mainFrame_)
        mainFrame_->host().setDragRegion(region);
    else if (region)
        DeleteObject(region);
}

bool PlayerApp::notifyTrayIcon(DWORD message, NOTIFYICONDATAA& data)
{
    if (!mainFrame_ || !mainFrame_->handle())
        return false;
    data.cbSize = sizeof data;
    data.hWnd = mainFrame_->handle();
    data.uID = TrayIcon::kId;
    data.uCallbackMessage = TrayIcon::kCallbackMessage;
    data.uFlags |= NIF_MESSAGE;
    return Shell_NotifyIconA(message, &data) != FALSE;
}

void PlayerApp::removeTrayIcon()
{
    if (interaction_)
        interaction_->tray().remove();
}

} // namespace lumbra
