#include "player/WindowStyles.h"

namespace lumbra {

namespace {

constexpr std::uint32_t kBorderNone = 0x1, kBorderSingle = 0x10, kBorderResizable = 0x100;
constexpr std::uint32_t kBorderSmallCaption = 0x1000, kBorderNoTaskbarButton = 0x10000;
constexpr std::uint32_t kIconMaximize = 0x1, kIconMinimize = 0x10, kIconSystemMenu = 0x100, kIconHelp = 0x1000;

} // namespace

WindowStyles computeStyles(const ProjectSettings& settings)
{
    // Every style that a setting decides is cleared first, so that applying
    // the result again after a change leaves nothing of the old look.
    WindowStyles styles;
    styles.clearStyle = WS_POPUP | WS_OVERLAPPEDWINDOW;
    styles.clearExStyle = WS_EX_APPWINDOW | WS_EX_CONTEXTHELP | WS_EX_TOOLWINDOW | WS_EX_TRANSPARENT;

    const std::uint32_t border = settings.borderStyle, icons = settings.borderIcons;
    const bool popup = border & kBorderNone;
    if (popup) {
        styles.setStyle |= WS_POPUP;
        styles.clearExStyle |= WS_EX_CLIENTEDGE;
    } else if (border & kBorderSingle) {
        styles.setStyle |= WS_CAPTION;
    } else if (border & kBorderResizable) {
        styles.setStyle |= WS_CAPTION | WS_THICKFRAME;
    }
    if ((border & kBorderSmallCaption) && !popup)
        styles.setExStyle |= WS_EX_TOOLWINDOW;

    // A window without a border has no place for the maximize and help buttons.
    if ((icons & kIconMaximize) && !popup)
        styles.setStyle |= WS_MAXIMIZEBOX;
    if (icons & kIconMinimize)
        styles.setStyle |= WS_MINIMIZEBOX;
    if (icons & kIconSystemMenu)
        styles.setStyle |= WS_SYSMENU;
    if ((icons & kIconHelp) && !popup)
        styles.setExStyle |= WS_EX_CONTEXTHELP;

    // The main window is owned by the hidden owner window, so only this
    // style gives it a taskbar button.
    if (!(border & kBorderNoTaskbarButton))
        styles.setExStyle |= WS_EX_APPWINDOW;
    return styles;
}

} // namespace lumbra
