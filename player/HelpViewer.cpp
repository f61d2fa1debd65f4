#include "player/HelpViewer.h"

#include <algorithm>
#include <cctype>

namespace lumbra {

namespace {
constexpr UINT kWinHelpContents = 3; // HELP_CONTENTS: the help file's contents topic
}

HelpViewer::~HelpViewer()
{
    if (htmlHelpLibrary_)
        FreeLibrary(htmlHelpLibrary_);
}

bool isHtmlHelpFile(const std::string& helpFile)
{
    if (helpFile.size() < 3)
        return false;
    std::string extension = helpFile.substr(helpFile.size() - 3);
    std::ranges::transform(extension, extension.begin(), [](unsigned char c) { return std::tolower(c); });
    return extension == "chm";
}

bool HelpViewer::show(HWND owner, const std::string& helpFile)
{
    if (!isHtmlHelpFile(helpFile))
        return WinHelpA(owner, helpFile.c_str(), kWinHelpContents, 0) != FALSE;
    if (!htmlHelpLibrary_) {
        htmlHelpLibrary_ = LoadLibraryA("HHCTRL.OCX");
        if (htmlHelpLibrary_)
            htmlHelp_ = reinterpret_cast<HtmlHelpFunction>(
                reinterpret_cast<void*>(GetProcAddress(htmlHelpLibrary_, "HtmlHelpA")));
    }
    if (!htmlHelp_)
        return false;
    htmlHelp_(owner, helpFile.c_str(), 0, 0);
    return true;
}

} // namespace lumbra
