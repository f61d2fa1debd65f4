#include "player/CPrjAppearanceDlg.h"

#include "player/PlayerResourceIds.h"

#include <array>

namespace lumbra {

namespace {

// "Show all", "100%", "No border", "Exact Fit".
constexpr std::array<std::uint32_t, 4> kScaleModes{1, 0x10, 2, 0x100};
// "None", "Single", "Resizable".
constexpr std::array<std::uint32_t, 3> kBorders{0x1, 0x10, 0x100};
constexpr std::uint32_t kSmallCaption = 0x1000, kNoTaskbarButton = 0x10000;
constexpr std::array<std::pair<int, std::uint32_t>, 4> kBorderIcons{
    {{IDC_ICON_MAXIMIZE, 0x1}, {IDC_ICON_MINIMIZE, 0x10}, {IDC_ICON_SYSTEM_MENU, 0x100}, {IDC_ICON_HELP, 0x1000}}};
constexpr int kTextLimit = 256;

int choiceOfBorder(std::uint32_t borderStyle)
{
    for (int choice = static_cast<int>(kBorders.size()) - 1; choice >= 0; --choice)
        if (borderStyle & kBorders[choice])
            return choice;
    return 0;
}

} // namespace

std::uint32_t scaleModeOfChoice(int choice)
{
    return choice >= 0 && choice < static_cast<int>(kScaleModes.size()) ? kScaleModes[choice] : kScaleModes[0];
}

int choiceOfScaleMode(std::uint32_t scaleMode)
{
    for (std::size_t choice = 0; choice < kScaleModes.size(); ++choice)
        if (kScaleModes[choice] == scaleMode)
            return static_cast<int>(choice);
    return 0;
}

CPrjAppearanceDlg::CPrjAppearanceDlg(ProjectSettings& settings, const MaskList& masks)
    : OptionPage(IDD_PAGE_APPEARANCE, settings), masks_(masks)
{
}

void CPrjAppearanceDlg::load(HWND page)
{
    const ProjectSettings& s = settings();
    chooseRadio(page, IDC_SHAPE_RECTANGLE, IDC_SHAPE_CLIP, s.windowShape <= 2 ? s.windowShape : 0);
    const HWND names = GetDlgItem(page, IDC_SHAPE_NAME);
    for (const std::string& mask : masks_)
        SendMessageA(names, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(mask.c_str()));
    SendMessageA(names, CB_LIMITTEXT, kTextLimit, 0);
    SetWindowTextA(names, s.shapeMaskFile.c_str());
    enableShapeName(page);

    chooseRadio(page, IDC_BORDER_NONE, IDC_BORDER_RESIZABLE, choiceOfBorder(s.borderStyle));
    setChecked(page, IDC_BORDER_SMALL_CAPTION, s.borderStyle & kSmallCaption);
    setChecked(page, IDC_BORDER_NO_TASKBAR, s.borderStyle & kNoTaskbarButton);
    for (const auto& [id, bit] : kBorderIcons)
        setChecked(page, id, s.borderIcons & bit);
    chooseRadio(page, IDC_SCALE_SHOW_ALL, IDC_SCALE_EXACT_FIT, choiceOfScaleMode(s.scaleMode));
    SendDlgItemMessageA(page, IDC_CAPTION, EM_LIMITTEXT, kTextLimit, 0);
    SetDlgItemTextA(page, IDC_CAPTION, s.caption.c_str());
}

void CPrjAppearanceDlg::save(HWND page)
{
    ProjectSettings& s = settings();
    s.windowShape = std::max(chosenRadio(page, IDC_SHAPE_RECTANGLE, IDC_SHAPE_CLIP), 0);
    s.shapeMaskFile.assign(text(page, IDC_SHAPE_NAME).substr(0, kTextLimit));

    s.borderStyle = kBorders[std::max(chosenRadio(page, IDC_BORDER_NONE, IDC_BORDER_RESIZABLE), 0)];
    setFlag(s.borderStyle, kSmallCaption, checked(page, IDC_BORDER_SMALL_CAPTION));
    setFlag(s.borderStyle, kNoTaskbarButton, checked(page, IDC_BORDER_NO_TASKBAR));
    s.borderIcons = 0;
    for (const auto& [id, bit] : kBorderIcons)
        setFlag(s.borderIcons, bit, checked(page, id));
    s.scaleMode = scaleModeOfChoice(chosenRadio(page, IDC_SCALE_SHOW_ALL, IDC_SCALE_EXACT_FIT));
    s.caption.assign(text(page, IDC_CAPTION).substr(0, kTextLimit));
}

void CPrjAppearanceDlg::command(HWND page, int id, int code)
{
    if (id >= IDC_SHAPE_RECTANGLE && id <= IDC_SHAPE_CLIP && code == BN_CLICKED)
        enableShapeName(page);
}

void CPrjAppearanceDlg::enableShapeName(HWND page)
{
    enable(page, IDC_SHAPE_NAME, checked(page, IDC_SHAPE_CLIP));
}

} // namespace lumbra
