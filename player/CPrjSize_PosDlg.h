// Options page "Size and Position": window size, custom size or percentage,
// position (with custom absolute or relative coordinates) and aspect ratio.
#pragma once

#include "player/OptionPage.h"

namespace lumbra {

class CPrjSize_PosDlg final : public OptionPage {
public:
    explicit CPrjSize_PosDlg(ProjectSettings& settings);

private:
    void load(HWND page) override;
    void save(HWND page) override;
    void command(HWND page, int id, int code) override;
    bool message(HWND page, UINT message, WPARAM wParam, LPARAM lParam) override;

    void enableSizeFields(HWND page);
    void positionChanged(HWND page);
    void showPreset(HWND page);
};

// The x or y of a relative position: a percentage, so a value above 100
// (typed while the position was absolute) becomes the centre, 50.
int relativeCoordinate(int value);

} // namespace lumbra
