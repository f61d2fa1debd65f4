#include "player/HyperlinkLabel.h"

#include <shellapi.h>

#include <memory>

namespace lumbra {

namespace {

struct LabelState {
    Hyperlink link;
    HFONT font = nullptr;

    ~LabelState()
    {
        if (font)
            DeleteObject(font);
    }
};

LabelState* stateOf(HWND label)
{
    return reinterpret_cast<LabelState*>(GetWindowLongPtrA(label, 0));
}

void paint(HWND label, LabelState& state)
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(label, &paint);
    RECT area;
    GetClientRect(label, &area);
    HBRUSH background = reinterpret_cast<HBRUSH>(
        SendMessageA(GetParent(label), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(label)));
    FillRect(dc, &area, background ? background : GetSysColorBrush(COLOR_BTNFACE));
    HGDIOBJ oldFont = SelectObject(dc, state.font ? state.font : GetStockObject(DEFAULT_GUI_FONT));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, state.link.color);
    DrawTextA(dc, state.link.caption.c_str(), -1, &area, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    if (GetFocus() == label)
        DrawFocusRect(dc, &area);
    SelectObject(dc, oldFont);
    EndPaint(label, &paint);
}

void open(HWND label, const LabelState& state)
{
    if (!state.link.target.empty())
        ShellExecuteA(GetParent(label), "open", state.link.target.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

LRESULT CALLBACK labelProc(HWND label, UINT message, WPARAM wParam, LPARAM lParam)
{
    LabelState* state = stateOf(label);
    switch (message) {
    case WM_NCDESTROY: {
        const std::unique_ptr<LabelState> owned(state);
        SetWindowLongPtrA(label, 0, 0);
        break;
    }
    case WM_PAINT:
        if (!state)
            break;
        paint(label, *state);
        return 0;
    case WM_SETCURSOR:
        SetCursor(LoadCursor(nullptr, IDC_HAND));
        return TRUE;
    case WM_GETDLGCODE:
        return DLGC_WANTCHARS;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        InvalidateRect(label, nullptr, TRUE);
        break;
    case WM_LBUTTONUP:
        if (state)
            open(label, *state);
        return 0;
    case WM_CHAR:
        if (state && (wParam == VK_RETURN || wParam == VK_SPACE))
            open(label, *state);
        return 0;
    }
    return DefWindowProcA(label, message, wParam, lParam);
}

} // namespace

bool registerHyperlinkClass(HINSTANCE instance)
{
    WNDCLASSA windowClass{};
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = labelProc;
    windowClass.cbWndExtra = sizeof(LabelState*);
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursor(nullptr, IDC_HAND);
    windowClass.lpszClassName = hyperlinkClassName;
    return RegisterClassA(&windowClass) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

void setHyperlink(HWND label, const Hyperlink& link)
{
    auto state = std::make_unique<LabelState>();
    state->link = link;
    LOGFONTA font = link.font;
    font.lfUnderline = TRUE;
    state->font = CreateFontIndirectA(&font);
    const std::unique_ptr<LabelState> previous(stateOf(label));
    SetWindowLongPtrA(label, 0, reinterpret_cast<LONG_PTR>(state.release()));
    SetWindowTextA(label, link.caption.c_str());
    InvalidateRect(label, nullptr, TRUE);
}

std::string hyperlinkTarget(const std::string& target, bool isMailAddress)
{
    if (isMailAddress && target.find(':') == std::string::npos)
        return "mailto:" + target;
    return target;
}

} // namespace lumbra
