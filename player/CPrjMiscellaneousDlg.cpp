#include "player/CPrjMiscellaneousDlg.h"

#include "player/PlayerResourceIds.h"

#include <commdlg.h>

#include <array>
#include <cstdio>

namespace lumbra {

namespace {

constexpr std::uint32_t kCustomBackground = 0x1, kUseHelpFile = 0x1000;
constexpr std::array<std::pair<int, std::uint32_t>, 4> kMiscBits{
    {{IDC_CUSTOM_BACKGROUND, 0x1}, {IDC_ABOUT_SPLASH, 0x10}, {IDC_MUTE, 0x100}, {IDC_USE_HELP_FILE, 0x1000}}};
constexpr char kHelpFilter[] = "Help files(*.hlp; *.chm)\0*.hlp; *.chm\0";

// Black on light colours, white on dark ones.
COLORREF contrasting(COLORREF color)
{
    const int luminance = (GetRValue(color) * 299 + GetGValue(color) * 587 + GetBValue(color) * 114) / 1000;
    return luminance >= 128 ? RGB(0, 0, 0) : RGB(255, 255, 255);
}

void enableHelpFile(HWND page)
{
    const bool on = IsDlgButtonChecked(page, IDC_USE_HELP_FILE) == BST_CHECKED;
    EnableWindow(GetDlgItem(page, IDC_HELP_FILE), on);
    EnableWindow(GetDlgItem(page, IDC_HELP_BROWSE), on);
}

} // namespace

std::string colorText(std::uint32_t color)
{
    char text[16];
    std::snprintf(text, sizeof text, "0x%06X", static_cast<unsigned>(color));
    return text;
}

CPrjMiscellaneousDlg::CPrjMiscellaneousDlg(ProjectSettings& settings) : OptionPage(IDD_PAGE_MISCELLANEOUS, settings) {}

void CPrjMiscellaneousDlg::load(HWND page)
{
    const ProjectSettings& s = settings();
    for (const auto& [id, bit] : kMiscBits)
        setChecked(page, id, s.miscFlags & bit);
    color_ = s.backgroundColor;
    SendDlgItemMessageA(page, IDC_HELP_FILE, EM_LIMITTEXT, PathText::capacity, 0);
    SetDlgItemTextA(page, IDC_HELP_FILE, s.helpFile.c_str());
    enableHelpFile(page);
}

void CPrjMiscellaneousDlg::save(HWND page)
{
    ProjectSettings& s = settings();
    s.miscFlags = 0;
    for (const auto& [id, bit] : kMiscBits)
        setFlag(s.miscFlags, bit, checked(page, id));
    s.backgroundColor = color_;
    s.helpFile.assign(text(page, IDC_HELP_FILE));
}

void CPrjMiscellaneousDlg::command(HWND page, int id, int code)
{
    if (id == IDC_USE_HELP_FILE && code == BN_CLICKED)
        enableHelpFile(page);
    else if (id == IDC_HELP_BROWSE && code == BN_CLICKED)
        browseHelpFile(page);
    else if (id == IDC_BACKGROUND_SWATCH && code == STN_CLICKED && checked(page, IDC_CUSTOM_BACKGROUND))
        chooseColor(page);
}

bool CPrjMiscellaneousDlg::message(HWND, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message != WM_DRAWITEM || wParam != IDC_BACKGROUND_SWATCH)
        return false;
    drawSwatch(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
    return true;
}

void CPrjMiscellaneousDlg::drawSwatch(const DRAWITEMSTRUCT& item) const
{
    const COLORREF color = color_ & 0xFFFFFF;
    HBRUSH fill = CreateSolidBrush(color);
    RECT area = item.rcItem;
    FillRect(item.hDC, &area, fill);
    DeleteObject(fill);
    SetBkMode(item.hDC, TRANSPARENT);
    SetTextColor(item.hDC, contrasting(color));
    DrawTextA(item.hDC, colorText(color_).c_str(), -1, &area, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
}

void CPrjMiscellaneousDlg::chooseColor(HWND page)
{
    CHOOSECOLORA chooser{};
    chooser.lStructSize = sizeof chooser;
    chooser.hwndOwner = page;
    chooser.rgbResult = color_ & 0xFFFFFF;
    chooser.lpCustColors = customColors_.data();
    chooser.Flags = CC_RGBINIT | CC_FULLOPEN;
    if (!ChooseColorA(&chooser))
        return;
    color_ = chooser.rgbResult;
    InvalidateRect(GetDlgItem(page, IDC_BACKGROUND_SWATCH), nullptr, TRUE);
}

void CPrjMiscellaneousDlg::browseHelpFile(HWND page)
{
    char path[MAX_PATH] = "";
    GetDlgItemTextA(page, IDC_HELP_FILE, path, sizeof path);
    OPENFILENAMEA dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = page;
    dialog.lpstrFilter = kHelpFilter;
    dialog.lpstrFile = path;
    dialog.nMaxFile = sizeof path;
    dialog.Flags = OFN_FILEMUSTEXIST | OFN_HIDEREADONLY;
    if (GetOpenFileNameA(&dialog))
        SetDlgItemTextA(page, IDC_HELP_FILE, path);
}

} // namespace lumbra
