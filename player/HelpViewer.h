// The packaged help file, shown through the system's help viewers: HTML Help
// for ".chm" files (its library loaded on first use and kept until the
// player ends), WinHelp for everything else.
#pragma once

#include <windows.h>

#include <string>

namespace lumbra {

class HelpViewer {
public:
    HelpViewer() = default;
    HelpViewer(const HelpViewer&) = delete;
    HelpViewer& operator=(const HelpViewer&) = delete;
    ~HelpViewer();

    // Opens `helpFile` for `owner`; false when no viewer could be called.
    bool show(HWND owner, const std::string& helpFile);

private:
    using HtmlHelpFunction = HWND(WINAPI*)(HWND, LPCSTR, UINT, DWORD_PTR);

    HMODULE htmlHelpLibrary_ = nullptr;
    HtmlHelpFunction htmlHelp_ = nullptr;
};

// Whether a help file is an HTML Help file: its last three characters, in
// lower case, are "chm".
bool isHtmlHelpFile(const std::string& helpFile);

} // namespace lumbra
