// A Canvas drawing into memory with anti-aliased edges: every fill and line is
// scan-converted into exact pixel coverage and painted source-over in
// premultiplied alpha. Masks are whole-surface buffers on a stack; filter
// layers cover only what their content and effects reach, and all open layers
// together stay within one allowance of pixels, so a deep nest of filtered
// clips drawn into a large picture cannot take the process's memory (a layer
// past the allowance is refused and its content drawn plain, as the reference
// player turns off filters whose picture would grow too large). Pixels
// nothing covers are never touched, so a background cleared to a colour stays
// exactly that colour where the movie draws nothing.
//
// Text in device fonts needs the system's fonts: hosts that have them override
// drawText and hand the glyphs' coverage to paintCoverage; this canvas alone
// draws only text that comes as outlines (embedded fonts).
#pragma once

#include "control/movie/Canvas.h"
#include "control/movie/Paint.h"
#include "control/movie/Rasterizer.h"

#include <cstdint>
#include <vector>

namespace lumbra::movie {

class RasterCanvas : public Canvas {
public:
    // The pixels all open layers may hold together (16 MB); a filter's own
    // work takes at most three planes of floats the size of its layer.
    static constexpr std::size_t kMaxLayerPixels = std::size_t(4) << 20;

    RasterCanvas(int width, int height);

    int width() const { return surface_.width(); }
    int height() const { return surface_.height(); }
    // The finished picture (the bottom layer).
    const PixelBuffer& pixels() const { return surface_; }

    void clear(Argb background) override;
    void fillPath(const Path& path, const Fill& fill) override;
    void strokePath(const Path& path, const Stroke& stroke) override;
    void drawText(const TextRun& run) override;
    // Without anti-aliasing a pixel is painted fully when its centre half is
    // covered and not at all otherwise.
    void setAntiAliased(bool on) override { antiAliased_ = on; }

    void beginMask() override;
    void endMask() override;
    void popMask() override;
    bool beginLayer(const Rect& content, const LayerEffects& effects) override;
    void endLayer(const LayerEffects& effects) override;

    // The most pixels the open layers held at once: what the allowance bounds.
    std::size_t peakLayerPixels() const { return peakLayerPixels_; }

protected:
    // Paints `paint` through a coverage of area.width() x area.height() bytes
    // (rows `stride` apart) onto the current layer, or into the mask being built.
    void paintCoverage(const PixelRect& area, const std::uint8_t* coverage, std::size_t stride, const Paint& paint);
    PixelRect bounds() const { return {0, 0, width(), height()}; }

private:
    // A layer's pixels and where they lie on the canvas; it may reach past
    // the canvas by its effects' growth, so content just outside can spread in.
    struct Layer {
        PixelRect area;
        PixelBuffer pixels;
    };
    PixelBuffer& target() { return layers_.empty() ? surface_ : layers_.back().pixels; }
    PixelRect targetArea() const { return layers_.empty() ? bounds() : layers_.back().area; }
    // 0..255 of the active mask at (x, y); 255 without one, 0 off the canvas.
    unsigned maskAt(int x, int y) const;

    PixelBuffer surface_;
    std::vector<Layer> layers_;
    bool antiAliased_ = true;
    std::size_t layerPixels_ = 0;
    std::size_t peakLayerPixels_ = 0;
    std::vector<std::vector<std::uint8_t>> masks_;    // active, innermost last
    std::vector<std::vector<std::uint8_t>> building_; // masks being drawn
};

} // namespace lumbra::movie
