#include "player/COptDialog.h"

#include "player/CPrjAppearanceDlg.h"
#include "player/CPrjBehaviourDlg.h"
#include "player/CPrjInteractionDlg.h"
#include "player/CPrjMiscellaneousDlg.h"
#include "player/CPrjSize_PosDlg.h"

#include "package/SettingsLoader.h"

#include <commctrl.h>

#include <array>
#include <memory>
#include <vector>

namespace lumbra {

bool COptDialog::run(HINSTANCE instance, HWND owner)
{
    INITCOMMONCONTROLSEX classes{sizeof classes, ICC_HOTKEY_CLASS | ICC_UPDOWN_CLASS | ICC_BAR_CLASSES};
    InitCommonControlsEx(&classes);
    // Created anew each time, in the order the sheet shows them; they go
    // when the dialog closes.
    const std::array<std::unique_ptr<OptionPage>, 5> pages{
        std::make_unique<CPrjAppearanceDlg>(settings_, masks_), std::make_unique<CPrjSize_PosDlg>(settings_),
        std::make_unique<CPrjInteractionDlg>(settings_), std::make_unique<CPrjBehaviourDlg>(settings_),
        std::make_unique<CPrjMiscellaneousDlg>(settings_)};
    std::vector<HPROPSHEETPAGE> handles;
    for (const auto& page : pages) {
        if (HPROPSHEETPAGE handle = page->create(instance)) {
            handles.push_back(handle);
            continue;
        }
        for (HPROPSHEETPAGE made : handles)
            DestroyPropertySheetPage(made);
        return false;
    }

    PROPSHEETHEADERA sheet{};
    sheet.dwSize = sizeof sheet;
    sheet.dwFlags = PSH_NOAPPLYNOW;
    sheet.hwndParent = owner;
    sheet.hInstance = instance;
    sheet.pszCaption = "Options";
    sheet.nPages = static_cast<UINT>(handles.size());
    sheet.phpage = handles.data();
    if (PropertySheetA(&sheet) <= 0)
        return false;
    // An unchanged record is stored too: the user confirmed it.
    storeSettings(settings_, profile_);
    return true;
}

} // namespace lumbra
