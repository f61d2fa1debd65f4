// The main window's form from the settings: styles, caption and scale mode,
// size and position, stacking, and the aspect ratio kept while the user
// resizes it. Each step re-applies its part as a whole, so the options
// dialog and the settings objects call them again after a change. The shape
// is in WindowShape.h.
#pragma once

#include "package/ProjectSettings.h"

#include <windows.h>

#include <filesystem>

namespace lumbra {

// The computed styles applied to the creation parameters (clear, then set).
void applyCreationStyles(const ProjectSettings& settings, DWORD& style, DWORD& exStyle);

// Hides the window, sets its styles and caption and sends it the scale mode
// (kSetScaleModeMessage). The next step shows it again.
void applyAppearance(HWND frame, const ProjectSettings& settings);

// Sizes and places the window for the movie at `moviePath` (its header
// gives the movie size), then shows it normally or maximized.
void applySizeAndPosition(HWND frame, const ProjectSettings& settings, const std::filesystem::path& moviePath);

// Start minimized and always on top; with `show` the window is shown too.
void applyStacking(HWND frame, const ProjectSettings& settings, bool show);

// Width divided by height of the client area; 0 for an empty one.
float recordAspectRatio(HWND frame);

// At the end of an interactive size or move that began with the window at
// `start`: with bKeepRatio set and a ratio, brings the window back to it.
void keepAspectRatio(HWND frame, const ProjectSettings& settings, const RECT& start, float ratio);

// The screen's size in pixels.
SIZE screenSize();

} // namespace lumbra
