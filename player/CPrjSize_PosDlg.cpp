#include "player/CPrjSize_PosDlg.h"

#include "player/PlayerResourceIds.h"

#include <commctrl.h>

#include <array>

namespace lumbra {

namespace {

constexpr int kCustomSize = 3, kPercentSize = 4;
constexpr int kAbsolutePosition = 9, kRelativePosition = 10;
constexpr int kPixelLimit = 65535, kPercentLimit = 100;

constexpr std::array<const char*, 11> kPositions{
    "Top Left",    "Top Center",    "Top Right",    "Center Left",
    "Screen Center", "Center Right", "Bottom Left", "Bottom Center",
    "Bottom Right", "Custom: Absolute position", "Custom: Relative about screen"};
constexpr std::array<const char*, 8> kPresets{"640x480",  "720x480",  "720x576",  "800x600",
                                              "1024x768", "1152x864", "1280x720", "1280x1024"};
constexpr int kInitialPreset = 3; // "800x600"

void setRange(HWND page, int spin, int upper)
{
    SendDlgItemMessageA(page, spin, UDM_SETRANGE32, 1, upper);
}

} // namespace

int relativeCoordinate(int value)
{
    return value > kPercentLimit ? 50 : value;
}

CPrjSize_PosDlg::CPrjSize_PosDlg(ProjectSettings& settings) : OptionPage(IDD_PAGE_SIZE_POSITION, settings) {}

void CPrjSize_PosDlg::load(HWND page)
{
    const ProjectSettings& s = settings();
    for (int spin : {IDC_SIZE_WIDTH_SPIN, IDC_SIZE_HEIGHT_SPIN, IDC_POSITION_X_SPIN, IDC_POSITION_Y_SPIN})
        setRange(page, spin, kPixelLimit);
    setRange(page, IDC_SIZE_PERCENTAGE_SPIN, kPercentLimit);
    for (int field : {IDC_SIZE_WIDTH, IDC_SIZE_HEIGHT, IDC_SIZE_PERCENTAGE, IDC_POSITION_X, IDC_POSITION_Y})
        setNumber(page, field, 1);

    chooseRadio(page, IDC_SIZE_MOVIE, IDC_SIZE_PERCENT, s.windowSize <= 4 ? s.windowSize : 0);
    setNumber(page, IDC_SIZE_WIDTH, s.customWidth);
    setNumber(page, IDC_SIZE_HEIGHT, s.customHeight);
    setNumber(page, IDC_SIZE_PERCENTAGE, s.customHeight);
    enableSizeFields(page);

    SendDlgItemMessageA(page, IDC_SIZE_PRESET, TBM_SETRANGE, TRUE, MAKELPARAM(0, kPresets.size() - 1));
    SendDlgItemMessageA(page, IDC_SIZE_PRESET, TBM_SETPOS, TRUE, kInitialPreset);
    showPreset(page);

    const HWND positions = GetDlgItem(page, IDC_POSITION);
    for (const char* position : kPositions)
        SendMessageA(positions, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(position));
    SendMessageA(positions, CB_SETCURSEL, s.pos < kPositions.size() ? s.pos : 4, 0);
    setNumber(page, IDC_POSITION_X, s.customX);
    setNumber(page, IDC_POSITION_Y, s.customY);
    positionChanged(page);
    setChecked(page, IDC_KEEP_RATIO, s.bKeepRatio != 0);
}

void CPrjSize_PosDlg::save(HWND page)
{
    ProjectSettings& s = settings();
    const int size = std::max(chosenRadio(page, IDC_SIZE_MOVIE, IDC_SIZE_PERCENT), 0);
    s.windowSize = size;
    s.customWidth = number(page, IDC_SIZE_WIDTH);
    s.customHeight = number(page, size == kPercentSize ? IDC_SIZE_PERCENTAGE : IDC_SIZE_HEIGHT);
    const LRESULT position = SendDlgItemMessageA(page, IDC_POSITION, CB_GETCURSEL, 0, 0);
    s.pos = position == CB_ERR ? 4 : static_cast<std::uint32_t>(position);
    s.customX = number(page, IDC_POSITION_X);
    s.customY = number(page, IDC_POSITION_Y);
    s.bKeepRatio = checked(page, IDC_KEEP_RATIO) ? 1 : 0;
}

void CPrjSize_PosDlg::command(HWND page, int id, int code)
{
    if (id >= IDC_SIZE_MOVIE && id <= IDC_SIZE_PERCENT && code == BN_CLICKED)
        enableSizeFields(page);
    else if (id == IDC_POSITION && code == CBN_SELCHANGE)
        positionChanged(page);
}

bool CPrjSize_PosDlg::message(HWND page, UINT message, WPARAM, LPARAM lParam)
{
    if (message != WM_HSCROLL || reinterpret_cast<HWND>(lParam) != GetDlgItem(page, IDC_SIZE_PRESET))
        return false;
    showPreset(page);
    return true;
}

void CPrjSize_PosDlg::enableSizeFields(HWND page)
{
    const int size = chosenRadio(page, IDC_SIZE_MOVIE, IDC_SIZE_PERCENT);
    for (int id : {IDC_SIZE_WIDTH, IDC_SIZE_WIDTH_SPIN, IDC_SIZE_HEIGHT, IDC_SIZE_HEIGHT_SPIN})
        enable(page, id, size == kCustomSize);
    for (int id : {IDC_SIZE_PERCENTAGE, IDC_SIZE_PERCENTAGE_SPIN})
        enable(page, id, size == kPercentSize);
}

// A relative position is in percent of the screen: the fields take 1-100
// and say "%"; every other choice is in pixels.
void CPrjSize_PosDlg::positionChanged(HWND page)
{
    const LRESULT position = SendDlgItemMessageA(page, IDC_POSITION, CB_GETCURSEL, 0, 0);
    const bool custom = position == kAbsolutePosition || position == kRelativePosition;
    const bool relative = position == kRelativePosition;
    for (int id : {IDC_POSITION_X, IDC_POSITION_X_SPIN, IDC_POSITION_Y, IDC_POSITION_Y_SPIN})
        enable(page, id, custom);
    for (int unit : {IDC_POSITION_X_UNIT, IDC_POSITION_Y_UNIT})
        SetDlgItemTextA(page, unit, relative ? "%" : "Pixels");
    for (int spin : {IDC_POSITION_X_SPIN, IDC_POSITION_Y_SPIN})
        setRange(page, spin, relative ? kPercentLimit : kPixelLimit);
    if (relative)
        for (int field : {IDC_POSITION_X, IDC_POSITION_Y})
            setNumber(page, field, relativeCoordinate(number(page, field)));
}

void CPrjSize_PosDlg::showPreset(HWND page)
{
    const LRESULT preset = SendDlgItemMessageA(page, IDC_SIZE_PRESET, TBM_GETPOS, 0, 0);
    if (preset >= 0 && preset < static_cast<LRESULT>(kPresets.size()))
        SetDlgItemTextA(page, IDC_SIZE_PRESET_TEXT, kPresets[preset]);
}

} // namespace lumbra
