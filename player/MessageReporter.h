// Shows the player's messages to the person running it. Package errors appear
// as error boxes owned by the main window, and only once that window exists;
// start-up failures appear as boxes of their own.
//
// For automated tests, setting LUMBRA_REPORT_LOG to a file path makes every
// message that would be shown append a line to that file instead.
#pragma once

#include "package/ErrorReporter.h"

#include <windows.h>

#include <string>

namespace lumbra {

class MessageReporter : public ErrorReporter {
public:
    MessageReporter();

    // The window that owns reported errors and gives their caption.
    void setMainWindow(HWND window) { mainWindow_ = window; }

    // A package error: an error box owned by the main window, if there is one.
    void report(std::string_view message) override;

    // A start-up message with the given MessageBox icon flags.
    virtual void show(std::string_view message, UINT flags);
    // A question with the given MessageBox buttons and icon; the button
    // chosen (IDYES, IDNO ...). Logged for tests, it is answered with IDNO.
    virtual int ask(std::string_view question, UINT flags);

private:
    // The button chosen; IDNO when the message went to the test log.
    int display(HWND owner, const std::string& caption, std::string_view message, UINT flags);

    HWND mainWindow_ = nullptr;
    std::string logPath_;
};

} // namespace lumbra
