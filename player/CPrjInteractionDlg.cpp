#include "player/CPrjInteractionDlg.h"

#include "player/PlayerResourceIds.h"

#include <commctrl.h>

#include <array>

namespace lumbra {

namespace {

constexpr std::uint32_t kKeysToMovie = 0x1, kIgnoreKeys = 0x10, kNoWindowsKeys = 0x100;
constexpr std::array<std::pair<int, std::uint32_t>, 3> kInteractionBits{
    {{IDC_NO_TASK_SWITCH, 0x1}, {IDC_NO_CURSOR, 0x10}, {IDC_NO_SCREEN_SAVER, 0x100}}};
constexpr std::array<std::pair<int, std::uint32_t>, 2> kExitKeyBits{{{IDC_EXIT_ESC, 0x1}, {IDC_EXIT_HOT_KEY, 0x10}}};

int buttonChoice(std::uint32_t mode)
{
    return mode <= 2 ? static_cast<int>(mode) : 0;
}

} // namespace

CPrjInteractionDlg::CPrjInteractionDlg(ProjectSettings& settings) : OptionPage(IDD_PAGE_INTERACTION, settings) {}

void CPrjInteractionDlg::load(HWND page)
{
    const ProjectSettings& s = settings();
    chooseRadio(page, IDC_LEFT_SEND, IDC_LEFT_IGNORE, buttonChoice(s.lBtnClk));
    chooseRadio(page, IDC_RIGHT_FLASH_MENU, IDC_RIGHT_IGNORE, buttonChoice(s.rBtnClk));
    chooseRadio(page, IDC_KEYS_SEND, IDC_KEYS_IGNORE, (s.keyPress & kIgnoreKeys) ? 1 : 0);
    setChecked(page, IDC_KEYS_NO_WINDOWS_KEYS, s.keyPress & kNoWindowsKeys);
    for (const auto& [id, bit] : kInteractionBits)
        setChecked(page, id, s.interactionFlags & bit);
    for (const auto& [id, bit] : kExitKeyBits)
        setChecked(page, id, s.exitKeys & bit);
    // The hot-key control packs the key in the low byte, its modifiers in the high one.
    SendDlgItemMessageA(page, IDC_HOT_KEY, HKM_SETHOTKEY, MAKEWORD(s.hotKeyCode, s.hotKeyModifiers), 0);
}

void CPrjInteractionDlg::save(HWND page)
{
    ProjectSettings& s = settings();
    s.lBtnClk = std::max(chosenRadio(page, IDC_LEFT_SEND, IDC_LEFT_IGNORE), 0);
    s.rBtnClk = std::max(chosenRadio(page, IDC_RIGHT_FLASH_MENU, IDC_RIGHT_IGNORE), 0);
    s.keyPress = checked(page, IDC_KEYS_IGNORE) ? kIgnoreKeys : kKeysToMovie;
    setFlag(s.keyPress, kNoWindowsKeys, checked(page, IDC_KEYS_NO_WINDOWS_KEYS));
    s.interactionFlags = 0;
    for (const auto& [id, bit] : kInteractionBits)
        setFlag(s.interactionFlags, bit, checked(page, id));
    s.exitKeys = 0;
    for (const auto& [id, bit] : kExitKeyBits)
        setFlag(s.exitKeys, bit, checked(page, id));
    const WORD hotKey = LOWORD(SendDlgItemMessageA(page, IDC_HOT_KEY, HKM_GETHOTKEY, 0, 0));
    s.hotKeyCode = LOBYTE(hotKey);
    s.hotKeyModifiers = HIBYTE(hotKey);
}

} // namespace lumbra
