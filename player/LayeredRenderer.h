// The renderer of the transparent mode: draws the movie control twice into
// window-sized images, on black and on white, and gives the main window
// the movie's outline. With layered windows the window shows the picture
// with per-pixel alpha; without them (the fallback) the window keeps its
// ordinary painting and gets the region of the movie's non-transparent
// pixels.
#pragma once

#include "package/MaskShape.h"

#include <windows.h>

#include <cstdint>
#include <memory>

namespace lumbra {

class CShockwaveFlash;

class LayeredRenderer {
public:
    enum class Mode { unusable = 0, region = 1, layered = 2 };

    // Sets up for the main window `frame` (see prepare); uses layered
    // windows when the system has them and `allowLayered` is set.
    LayeredRenderer(HWND frame, bool allowLayered);
    // Frees the images and gives the window back its ordinary look: no
    // layered style, and no region of the renderer's.
    ~LayeredRenderer();
    LayeredRenderer(const LayeredRenderer&) = delete;
    LayeredRenderer& operator=(const LayeredRenderer&) = delete;

    // Saves the window's rectangle and client offset and makes images of
    // the window's size; Mode::unusable when they cannot be made.
    void prepare();
    Mode mode() const { return mode_; }
    const RECT& savedRect() const { return savedRect_; }

    // Draws the movie of `host` and shows its outline.
    void render(CShockwaveFlash& host);

    // Whether this system offers layered windows, unless the environment
    // variable LUMBRA_NO_LAYERED_WINDOWS is set (tests force the fallback).
    static bool layeredWindowsAvailable();

private:
    class Image;

    void drawMovie(CShockwaveFlash& host, Image& image, std::int32_t background);
    void showLayered();
    void showRegion();
    // Sets the window's region to `shape` unless it already is.
    void setRegion(MaskShape shape);

    HWND frame_;
    bool layered_;
    Mode mode_ = Mode::unusable;
    RECT savedRect_{};
    POINT clientOffset_{};
    SIZE clientSize_{};
    std::unique_ptr<Image> black_, white_;
    std::unique_ptr<MaskShape> region_; // the last region given to the window
};

} // namespace lumbra
