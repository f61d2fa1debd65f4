// Options page "Behaviour": the player's context-menu items, auto play, the
// window's stacking and the tray icon.
#pragma once

#include "player/OptionPage.h"

namespace lumbra {

class CPrjBehaviourDlg final : public OptionPage {
public:
    explicit CPrjBehaviourDlg(ProjectSettings& settings);

private:
    void load(HWND page) override;
    void save(HWND page) override;
    void command(HWND page, int id, int code) override;
};

} // namespace lumbra
