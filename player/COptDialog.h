// The options dialog: a property sheet of five pages, one per settings
// group, over the process-wide settings. Accepting it stores the whole record
// as the profile's "Options"; the caller then re-applies the settings.
#pragma once

#include "package/MaskList.h"
#include "package/Profile.h"
#include "package/ProjectSettings.h"

#include <windows.h>

namespace lumbra {

class COptDialog {
public:
    COptDialog(ProjectSettings& settings, const MaskList& masks, Profile& profile)
        : settings_(settings), masks_(masks), profile_(profile) {}

    // Shows the sheet modally over `owner`. True when the user accepted it
    // (the settings then hold the pages' values and are stored in the
    // profile); false when cancelled or when a page could not be made.
    bool run(HINSTANCE instance, HWND owner);

private:
    ProjectSettings& settings_;
    const MaskList& masks_;
    Profile& profile_;
};

} // namespace lumbra
