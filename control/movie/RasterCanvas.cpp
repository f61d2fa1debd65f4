#include "control/movie/RasterCanvas.h"

#include "control/movie/StrokeOutline.h"

#include <algorithm>
#include <cmath>

namespace lumbra::movie {

RasterCanvas::RasterCanvas(int width, int height) : surface_(width, height) {}

void RasterCanvas::clear(Argb background) { surface_.fill(premultiply(background)); }

unsigned RasterCanvas::maskAt(int x, int y) const
{
    if (masks_.empty())
        return 255;
    if (x < 0 || y < 0 || x >= width() || y >= height())
        return 0;
    return masks_.back()[std::size_t(y) * std::size_t(width()) + std::size_t(x)];
}

void RasterCanvas::paintCoverage(const PixelRect& area, const std::uint8_t* coverage, std::size_t stride,
                                 const Paint& paint)
{
    PixelRect r = intersect(area, building_.empty() ? targetArea() : bounds());
    if (r.empty())
        return;
    PixelRect at = targetArea();
    std::vector<Argb> colours(std::size_t(r.width()));
    for (int y = r.y0; y < r.y1; ++y) {
        const std::uint8_t* cov = coverage + std::size_t(y - area.y0) * stride + (r.x0 - area.x0);
        if (!building_.empty()) {
            // A mask keeps coverage only; overlapping parts unite.
            std::uint8_t* m = &building_.back()[std::size_t(y) * std::size_t(width())];
            for (int x = r.x0; x < r.x1; ++x) {
                unsigned c = cov[x - r.x0];
                if (!antiAliased_)
                    c = c >= 128 ? 255 : 0;
                m[x] = std::uint8_t(m[x] + mul255(c, 255 - m[x]));
            }
            continue;
        }
        paint.shadeRow(r.x0, y, r.width(), colours.data());
        Argb* out = target().row(y - at.y0) + (r.x0 - at.x0);
        for (int x = r.x0; x < r.x1; ++x) {
            unsigned c = cov[x - r.x0];
            if (!antiAliased_)
                c = c >= 128 ? 255 : 0;
            if (!masks_.empty())
                c = mul255(c, maskAt(x, y));
            if (c == 0)
                continue;
            Argb src = scaled(colours[std::size_t(x - r.x0)], c);
            if (src != 0)
                out[x - r.x0] = blendOver(out[x - r.x0], src);
        }
    }
}

void RasterCanvas::fillPath(const Path& path, const Fill& fill)
{
    if (surface_.empty())
        return;
    Coverage coverage(path, building_.empty() ? targetArea() : bounds());
    if (coverage.area().empty())
        return;
    Fill plain;
    if (!antiAliased_ && fill.kind == Fill::Kind::Bitmap && fill.smooth) {
        plain = fill;
        plain.smooth = false;
    }
    Paint paint(plain.bitmap ? plain : fill);
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

bool RasterCanvas::beginLayer(const Rect& content, const LayerEffects& effects)
{
    Growth g = growthOf(effects.filters);
    // Content beyond the canvas counts only as far as the filters can bring it back.
    PixelRect reach{-g.right, -g.bottom, width() + g.left, height() + g.top};
    auto whole = [](double v, double (*round)(double)) { return int(round(std::clamp(v, -1e8, 1e8))); };
    PixelRect drawn{whole(content.xMin, std::floor) - g.left, whole(content.yMin, std::floor) - g.top,
                    whole(content.xMax, std::ceil) + g.right, whole(content.yMax, std::ceil) + g.bottom};
    PixelRect area = intersect(drawn, reach);
    std::size_t pixels = area.empty() ? 0 : std::size_t(area.width()) * std::size_t(area.height());
    if (pixels > kMaxLayerPixels - layerPixels_)
        return false;
    layers_.push_back({area, PixelBuffer(area.width(), area.height())});
    layerPixels_ += pixels;
    peakLayerPixels_ = std::max(peakLayerPixels_, layerPixels_);
    return true;
}

void RasterCanvas::endLayer(const LayerEffects& effects)
{
    if (layers_.empty())
        return;
    Layer layer = std::move(layers_.back());
    layers_.pop_back();
    layerPixels_ -= layer.pixels.empty() ? 0 : std::size_t(layer.area.width()) * std::size_t(layer.area.height());
    if (layer.pixels.empty())
        return;
    for (const Filter& filter : effects.filters)
        applyFilter(layer.pixels, filter, {double(layer.area.x0), double(layer.area.y0)});
    PixelBuffer& below = target();
    PixelRect belowArea = targetArea();
    PixelRect r = intersect(intersect(layer.area, belowArea), bounds());
    for (int y = r.y0; y < r.y1; ++y) {
        const Argb* src = layer.pixels.row(y - layer.area.y0) + (r.x0 - layer.area.x0);
        Argb* dst = below.row(y - belowArea.y0) + (r.x0 - belowArea.x0);
        for (int x = r.x0; x < r.x1; ++x) {
            Argb s = src[x - r.x0];
            if (!masks_.empty())
                s = scaled(s, maskAt(x, y));
            // Most modes leave the destination alone where the layer is empty;
            // the alpha mode clears it there.
            if (s == 0 && effects.blend != BlendMode::Alpha)
                continue;
            dst[x - r.x0] = blendPixel(dst[x - r.x0], s, effects.blend);
        }
    }
}

} // namespace lumbra::movie
