// The About box: the identity texts of the settings, the two links, and a
// picture (the settings' own, else the packaged default) or, when the author
// chose it, the current movie playing in a second movie control.
#pragma once

#include "package/ProjectSettings.h"

#include <windows.h>

#include <string>

namespace lumbra {

struct AboutContent {
    const ProjectSettings& settings;
    std::string defaultPicture; // file of the packaged default picture, or ""
    std::string currentMovie;   // shown instead of a picture when aboutFlags asks
    std::string controlPath;    // the movie control to create for it ("" installed)
};

// Shows the box modally over `owner`.
void showAboutBox(HINSTANCE instance, HWND owner, const AboutContent& content);

// The version line: "Version " before the text unless it begins with it.
std::string versionLine(const std::string& version);

} // namespace lumbra
