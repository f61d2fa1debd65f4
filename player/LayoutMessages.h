// Private messages of the main window and the movie host window that carry
// layout changes (the settings objects and the options dialog send them).
#pragma once

#include <windows.h>

namespace lumbra {

// To the main window.
inline constexpr UINT kSetScaleModeMessage = WM_APP + 2001;       // lParam: a scaleMode setting
inline constexpr UINT kSetBackgroundColorMessage = WM_APP + 2002; // applies backgroundColor
inline constexpr UINT kApplyShapeMessage = WM_APP + 10;           // re-applies the shape
// To the host window: wParam 1 turns the transparent mode on, 0 off.
inline constexpr UINT kTransparentModeMessage = WM_APP + 3;

// The open-movie command (Ctrl+O through accelerator table 128).
inline constexpr UINT kOpenMovieCommand = 57601;

} // namespace lumbra
