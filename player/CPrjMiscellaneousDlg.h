// Options page "Miscellaneous": background colour, splash window, mute and
// the help file.
#pragma once

#include "player/OptionPage.h"

#include <array>

namespace lumbra {

class CPrjMiscellaneousDlg final : public OptionPage {
public:
    explicit CPrjMiscellaneousDlg(ProjectSettings& settings);

private:
    void load(HWND page) override;
    void save(HWND page) override;
    void command(HWND page, int id, int code) override;
    bool message(HWND page, UINT message, WPARAM wParam, LPARAM lParam) override;

    void drawSwatch(const DRAWITEMSTRUCT& item) const;
    void chooseColor(HWND page);
    void browseHelpFile(HWND page);

    std::uint32_t color_ = 0; // the colour shown, 0x00BBGGRR
    std::array<COLORREF, 16> customColors_{}; // the colour chooser's own palette
};

// The swatch's text: the colour value as "0x%06X".
std::string colorText(std::uint32_t color);

} // namespace lumbra
