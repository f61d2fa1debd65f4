#include "control/movie/RasterCanvas.h"

#include "control/movie/StrokeOutline.h"

#include <algorithm>

namespace lumbra::movie {

RasterCanvas::RasterCanvas(int width, int height) : surface_(width, height) {}

void RasterCanvas::clear(Argb background) { surface_.fill(premultiply(background)); }

unsigned RasterCanvas::maskAt(int x, int y) const
{
    return masks_.empty() ? 255u : masks_.back()[std::size_t(y) * std::size_t(width()) + std::size_t(x)];
}

void RasterCanvas::paintCoverage(const PixelRect& area, const std::uint8_t* coverage, std::size_t stride,
                                 const Paint& paint)
{
    PixelRect r = intersect(area, bounds());
    if (r.empty())
        return;
    std::vector<Argb> colours(std::size_t(r.width()));
    for (int y = r.y0; y < r.y1; ++y) {
        const std::uint8_t* cov = coverage + std::size_t(y - area.y0) * stride + (r.x0 - area.x0);
        if (!building_.empty()) {
            // A mask keeps coverage only; overlapping parts unite.
            std::uint8_t* m = &building_.back()[std::size_t(y) * std::size_t(width())];
            for (int x = r.x0; x < r.x1; ++x) {
                unsigned c = cov[x - r.x0];
                m[x] = std::uint8_t(m[x] + mul255(c, 255 - m[x]));
            }
            continue;
        }
        paint.shadeRow(r.x0, y, r.width(), colours.data());
        Argb* out = target().row(y);
        for (int x = r.x0; x < r.x1; ++x) {
            unsigned c = cov[x - r.x0];
            if (!masks_.empty())
                c = mul255(c, maskAt(x, y));
            if (c == 0)
                continue;
            Argb src = scaled(colours[std::size_t(x - r.x0)], c);
            if (src != 0)
                out[x] = blendOver(out[x], src);
        }
    }
}

void RasterCanvas::fillPath(const Path& path, const Fill& fill)
{
    if (surface_.empty())
        return;
    Coverage coverage(path, bounds());
    if (coverage.area().empty())
        return;
    Paint paint(fill);
    if (paint.isSolid() && alphaOf(paint.solid()) == 0 && building_.empty())
        return;
    paintCoverage(coverage.area(), coverage.row(coverage.area().y0), std::size_t(coverage.area().width()), paint);
}

void RasterCanvas::strokePath(const Path& path, const Stroke& stroke)
{
    Path outline = strokeOutline(path, stroke);
    if (stroke.fill) {
        fillPath(outline, *stroke.fill);
        return;
    }
    Fill fill;
    fill.color = stroke.color;
    fillPath(outline, fill);
}

void RasterCanvas::drawText(const TextRun&) {}

void RasterCanvas::beginMask()
{
    building_.emplace_back(std::size_t(width()) * std::size_t(height()), std::uint8_t(0));
}

void RasterCanvas::endMask()
{
    if (building_.empty())
        return;
    std::vector<std::uint8_t> mask = std::move(building_.back());
    building_.pop_back();
    // A mask inside a mask shows only where both let through.
    if (!masks_.empty())
        for (std::size_t i = 0; i < mask.size(); ++i)
            mask[i] = std::uint8_t(mul255(mask[i], masks_.back()[i]));
    masks_.push_back(std::move(mask));
}

void RasterCanvas::popMask()
{
    if (!masks_.empty())
        masks_.pop_back();
}

void RasterCanvas::beginLayer() { layers_.emplace_back(width(), height()); }

void RasterCanvas::endLayer(const LayerEffects& effects)
{
    if (layers_.empty())
        return;
    PixelBuffer layer = std::move(layers_.back());
    layers_.pop_back();
    for (const Filter& filter : effects.filters)
        applyFilter(layer, filter);
    PixelBuffer& below = target();
    for (int y = 0; y < height(); ++y) {
        const Argb* src = layer.row(y);
        Argb* dst = below.row(y);
        for (int x = 0; x < width(); ++x) {
            Argb s = src[x];
            if (!masks_.empty())
                s = scaled(s, maskAt(x, y));
            // Most modes leave the destination alone where the layer is empty;
            // the alpha mode clears it there.
            if (s == 0 && effects.blend != BlendMode::Alpha)
                continue;
            dst[x] = blendPixel(dst[x], s, effects.blend);
        }
    }
}

} // namespace lumbra::movie
