// Options page "Interaction": the mouse buttons, key press handling, system
// restrictions, exit keys and the exit hot key.
#pragma once

#include "player/OptionPage.h"

namespace lumbra {

class CPrjInteractionDlg final : public OptionPage {
public:
    explicit CPrjInteractionDlg(ProjectSettings& settings);

private:
    void load(HWND page) override;
    void save(HWND page) override;
};

} // namespace lumbra
