// Options page "Appearance": window shape, border, border icons, scale mode
// and caption.
#pragma once

#include "player/OptionPage.h"

#include "package/MaskList.h"

namespace lumbra {

class CPrjAppearanceDlg final : public OptionPage {
public:
    CPrjAppearanceDlg(ProjectSettings& settings, const MaskList& masks);

private:
    void load(HWND page) override;
    void save(HWND page) override;
    void command(HWND page, int id, int code) override;
    void enableShapeName(HWND page);

    const MaskList& masks_;
};

// The scale-mode choices in their order on the page and the values they store.
std::uint32_t scaleModeOfChoice(int choice);
int choiceOfScaleMode(std::uint32_t scaleMode);

} // namespace lumbra
