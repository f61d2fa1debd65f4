#include "player/CPrjBehaviourDlg.h"

#include "player/PlayerResourceIds.h"

#include <array>

namespace lumbra {

namespace {

constexpr std::array<std::pair<int, std::uint32_t>, 4> kMenuBits{
    {{IDC_MENU_CONFIGURE, 0x1}, {IDC_MENU_FLASH, 0x10}, {IDC_MENU_ABOUT, 0x100}, {IDC_MENU_HELP, 0x1000}}};
constexpr std::array<std::pair<int, std::uint32_t>, 5> kBehaviourBits{{{IDC_AUTO_PLAY, 0x1},
                                                                       {IDC_APPLICATION_ICON, 0x2},
                                                                       {IDC_START_MINIMIZED, 0x10},
                                                                       {IDC_ALWAYS_ON_TOP, 0x100},
                                                                       {IDC_SYSTEM_TRAY, 0x1000}}};

// The icon choice only matters for a tray icon.
void enableIconChoice(HWND page)
{
    EnableWindow(GetDlgItem(page, IDC_APPLICATION_ICON), IsDlgButtonChecked(page, IDC_SYSTEM_TRAY) == BST_CHECKED);
}

} // namespace

CPrjBehaviourDlg::CPrjBehaviourDlg(ProjectSettings& settings) : OptionPage(IDD_PAGE_BEHAVIOUR, settings) {}

void CPrjBehaviourDlg::load(HWND page)
{
    const ProjectSettings& s = settings();
    for (const auto& [id, bit] : kMenuBits)
        setChecked(page, id, s.contextMenuFlags & bit);
    for (const auto& [id, bit] : kBehaviourBits)
        setChecked(page, id, s.behaviourFlags & bit);
    enableIconChoice(page);
}

void CPrjBehaviourDlg::save(HWND page)
{
    ProjectSettings& s = settings();
    s.contextMenuFlags = 0;
    for (const auto& [id, bit] : kMenuBits)
        setFlag(s.contextMenuFlags, bit, checked(page, id));
    s.behaviourFlags = 0;
    for (const auto& [id, bit] : kBehaviourBits)
        setFlag(s.behaviourFlags, bit, checked(page, id));
}

void CPrjBehaviourDlg::command(HWND page, int id, int code)
{
    if (id == IDC_SYSTEM_TRAY && code == BN_CLICKED)
        enableIconChoice(page);
}

} // namespace lumbra
