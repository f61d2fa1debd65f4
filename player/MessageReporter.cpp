#include "player/MessageReporter.h"

#include "player/ProgramPaths.h"

#include <cstdio>
#include <cstdlib>

namespace lumbra {

MessageReporter::MessageReporter()
{
    if (const char* path = std::getenv("LUMBRA_REPORT_LOG"))
        logPath_ = path;
}

void MessageReporter::report(std::string_view message)
{
    if (!mainWindow_)
        return;
    char title[256] = "";
    GetWindowTextA(mainWindow_, title, sizeof title);
    display(mainWindow_, title, message, MB_OK | MB_ICONERROR);
}

void MessageReporter::show(std::string_view message, UINT flags)
{
    display(mainWindow_, applicationName(), message, flags);
}

int MessageReporter::ask(std::string_view question, UINT flags)
{
    return display(mainWindow_, applicationName(), question, flags);
}

int MessageReporter::display(HWND owner, const std::string& caption, std::string_view message, UINT flags)
{
    if (!logPath_.empty()) {
        if (FILE* log = std::fopen(logPath_.c_str(), "ab")) {
            std::fprintf(log, "%.*s\n", static_cast<int>(message.size()), message.data());
            std::fclose(log);
        }
        return IDNO;
    }
    return MessageBoxA(owner, std::string(message).c_str(), caption.c_str(), flags);
}

} // namespace lumbra
