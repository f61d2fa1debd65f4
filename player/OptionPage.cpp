#include "player/OptionPage.h"

#include <algorithm>
#include <cstdlib>

namespace lumbra {

HPROPSHEETPAGE OptionPage::create(HINSTANCE instance)
{
    PROPSHEETPAGEA page{};
    page.dwSize = sizeof page;
    page.hInstance = instance;
    page.pszTemplate = MAKEINTRESOURCEA(templateId_);
    page.pfnDlgProc = proc;
    page.lParam = reinterpret_cast<LPARAM>(this);
    return CreatePropertySheetPageA(&page);
}

INT_PTR CALLBACK OptionPage::proc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG)
        SetWindowLongPtrA(page, DWLP_USER, reinterpret_cast<const PROPSHEETPAGEA*>(lParam)->lParam);
    auto* self = reinterpret_cast<OptionPage*>(GetWindowLongPtrA(page, DWLP_USER));
    if (!self)
        return FALSE;
    switch (message) {
    case WM_INITDIALOG:
        self->load(page);
        return TRUE;
    case WM_COMMAND:
        self->command(page, LOWORD(wParam), HIWORD(wParam));
        return FALSE;
    case WM_NOTIFY:
        if (reinterpret_cast<const NMHDR*>(lParam)->code == static_cast<UINT>(PSN_APPLY)) {
            self->save(page);
            SetWindowLongPtrA(page, DWLP_MSGRESULT, PSNRET_NOERROR);
            return TRUE;
        }
        break;
    }
    return self->message(page, message, wParam, lParam) ? TRUE : FALSE;
}

bool OptionPage::checked(HWND page, int id)
{
    return IsDlgButtonChecked(page, id) == BST_CHECKED;
}

void OptionPage::setChecked(HWND page, int id, bool on)
{
    CheckDlgButton(page, id, on ? BST_CHECKED : BST_UNCHECKED);
}

void OptionPage::setFlag(std::uint32_t& bits, std::uint32_t bit, bool on)
{
    if (on)
        bits |= bit;
}

int OptionPage::chosenRadio(HWND page, int first, int last)
{
    for (int id = first; id <= last; ++id)
        if (checked(page, id))
            return id - first;
    return -1;
}

void OptionPage::chooseRadio(HWND page, int first, int last, int index)
{
    CheckRadioButton(page, first, last, first + index);
}

void OptionPage::enable(HWND page, int id, bool on)
{
    EnableWindow(GetDlgItem(page, id), on);
}

std::string OptionPage::text(HWND page, int id)
{
    char buffer[1024] = "";
    GetDlgItemTextA(page, id, buffer, sizeof buffer);
    return buffer;
}

void OptionPage::setNumber(HWND page, int id, int value)
{
    char buffer[16];
    wsprintfA(buffer, "%d", value);
    SetDlgItemTextA(page, id, buffer);
}

int OptionPage::number(HWND page, int id)
{
    return readFieldNumber(text(page, id));
}

std::uint16_t readFieldNumber(const std::string& text)
{
    const long value = std::strtol(text.c_str(), nullptr, 10);
    return static_cast<std::uint16_t>(std::clamp(value, 0L, 65535L));
}

} // namespace lumbra
