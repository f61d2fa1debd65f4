// A Canvas drawing into memory with anti-aliased edges: every fill and line is
// scan-converted into exact pixel coverage and painted source-over in
// premultiplied alpha. Masks and filter layers are whole-surface buffers on
// stacks. Pixels nothing covers are never touched, so a background cleared to
// a colour stays exactly that colour where the movie draws nothing.
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
    RasterCanvas(int width, int height);

    int width() const { return surface_.width(); }
    int height() const { return surface_.height(); }
    // The finished picture (the bottom layer).
    const PixelBuffer& pixels() const { return surface_; }

    void clear(Argb background) override;
    void fillPath(const Path& path, const Fill& fill) override;
    void strokePath(const Path& path, const Stroke& stroke) override;
    void drawText(const TextRun& run) override;

    void beginMask() override;
    void endMask() override;
    void popMask() override;
    void beginLayer() override;
    void endLayer(const LayerEffects& effects) override;

protected:
    // Paints `paint` through a coverage of area.width() x area.height() bytes
    // (rows `stride` apart) onto the current layer, or into the mask being built.
    void paintCoverage(const PixelRect& area, const std::uint8_t* coverage, std::size_t stride, const Paint& paint);
    PixelRect bounds() const { return {0, 0, width(), height()}; }

private:
    PixelBuffer& target() { return layers_.empty() ? surface_ : layers_.back(); }
    // 0..255 of the active mask at (x, y); 255 without one.
    unsigned maskAt(int x, int y) const;

    PixelBuffer surface_;
    std::vector<PixelBuffer> layers_;
    std::vector<std::vector<std::uint8_t>> masks_;    // active, innermost last
    std::vector<std::vector<std::uint8_t>> building_; // masks being drawn
};

} // namespace lumbra::movie
