// The About box's links: labels of the window class "LumbraHyperlink" that
// draw their text in the link's colour and font, show a hand over it and open
// their target through the shell when clicked (or Enter/Space with focus).
#pragma once

#include <windows.h>

#include <string>

namespace lumbra {

inline constexpr char hyperlinkClassName[] = "LumbraHyperlink";

// Registers the class (horizontal and vertical redraw); done once at start-up.
bool registerHyperlinkClass(HINSTANCE instance);

struct Hyperlink {
    std::string caption;
    std::string target;    // what the shell opens
    COLORREF color = RGB(0, 0, 255);
    LOGFONTA font{};       // underlined when drawn
};

// Gives a label its link; the label keeps a copy.
void setHyperlink(HWND label, const Hyperlink& link);

// What clicking a label opens: an e-mail address without a scheme gets
// "mailto:", other targets are opened as they are.
std::string hyperlinkTarget(const std::string& target, bool isMailAddress);

} // namespace lumbra
