#include "control/movie/Renderer.h"

#include "control/movie/Bounds.h"
#include "control/movie/TextField.h"
#include "control/movie/MorphShape.h"
#include "control/movie/NineSlice.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <vector>

namespace lumbra::movie {

namespace {

// Masks and layers nest with the display tree; beyond this depth of either the
// content is drawn plain, so a hostile movie cannot pile up surfaces.
constexpr int kMaxSurfaces = 16;

Path transformPath(const Path& path, const Matrix& m)
{
    Path out;
    out.reserve(path.size());
    for (const Contour& contour : path) {
        Contour& c = out.emplace_back();
        c.reserve(contour.size());
        for (Point p : contour)
            c.push_back(m.apply(p));
    }
    return out;
}

// Turns every colour white, keeping its alpha: selected text.
constexpr ColorTransform kWhiteInk{0, 0, 0, 1, 255, 255, 255, 0};

Path rectanglePath(const Rect& r)
{
    return {{{r.xMin, r.yMin}, {r.xMax, r.yMin}, {r.xMax, r.yMax}, {r.xMin, r.yMax}, {r.xMin, r.yMin}}};
}

// A fill of the shape, its matrices carried to pixels and its colours through
// the colour transform.
Fill placedFill(const Fill& style, const Matrix& m, const ColorTransform& cx)
{
    Fill fill = style;
    fill.color = cx.apply(fill.color);
    for (auto& stop : fill.stops)
        stop.color = cx.apply(stop.color);
    fill.gradientToPixels = m * fill.gradientToPixels;
    fill.bitmapToPixels = m * fill.bitmapToPixels;
    fill.bitmapColor = cx * fill.bitmapColor;
    return fill;
}

Fill solidFill(Argb color)
{
    Fill fill;
    fill.color = color;
    return fill;
}

// Filter sizes are stage pixels: they grow with the view, not with the
// object. A displacement map is placed from the object's top left corner,
// which `box` (canvas pixels) gives.
LayerEffects scaledEffects(LayerEffects effects, double scale, const Rect& box)
{
    for (Filter& filter : effects.filters)
        std::visit(
            [&](auto& f) {
                if constexpr (requires { f.blurX; }) {
                    f.blurX *= scale;
                    f.blurY *= scale;
                }
                if constexpr (requires { f.distance; })
                    f.distance *= scale;
                if constexpr (requires { f.mapPoint; }) {
                    f.mapPoint = {std::floor(box.xMin) + f.mapPoint.x, std::floor(box.yMin) + f.mapPoint.y};
                }
            },
            filter);
    return effects;
}

// A margin of pixels around an object's bounds for what they leave out:
// strokes of drawn lines and anti-aliased edges.
constexpr double kEdgeMargin = 2;

class Renderer {
public:
    Renderer(Canvas& canvas, const Matrix& view)
        : canvas_(canvas), viewScale_(std::sqrt(std::abs(view.a * view.d - view.b * view.c)) * kTwips)
    {
    }

    void draw(const DisplayObject& object, const Matrix& parent, const ColorTransform& parentColor)
    {
        if (!object.visible || object.clipLayer || object.isMask)
            return;
        auto mask = object.mask.lock();
        bool masked = mask && mask.get() != &object && surfaces_ < kMaxSurfaces;
        if (masked) {
            drawMask(*mask, viewOf(object, parent) * mask->worldMatrix());
            ++surfaces_;
        }
        Matrix m = parent * object.matrix;
        std::optional<LayerEffects> effects;
        if (object.effects.any() && surfaces_ < kMaxSurfaces) {
            Rect box = transformRect(m, localBounds(object));
            Rect content{box.xMin - kEdgeMargin, box.yMin - kEdgeMargin, box.xMax + kEdgeMargin,
                         box.yMax + kEdgeMargin};
            effects = scaledEffects(object.effects, viewScale_, box);
            if (canvas_.beginLayer(content, *effects))
                ++surfaces_;
            else
                effects.reset();
        }
        drawContent(object, m, parentColor * object.colorTransform);
        if (effects) {
            canvas_.endLayer(*effects);
            --surfaces_;
        }
        if (masked) {
            canvas_.popMask();
            --surfaces_;
        }
    }

    // Content and children alone: the object's own place, mask and effects are the caller's.
    void drawAlone(const DisplayObject& object, const Matrix& m, const ColorTransform& cx) { drawContent(object, m, cx); }

private:
    // The view matrix, recovered from an object's parent matrix and its
    // ancestors' own: a script mask may sit anywhere in the tree.
    static Matrix viewOf(const DisplayObject& object, const Matrix& parent)
    {
        const DisplayObject* up = object.parent();
        return up ? parent * up->worldMatrix().inverse() : parent;
    }

    void drawMask(const DisplayObject& mask, const Matrix& m)
    {
        canvas_.beginMask();
        drawContent(mask, m, ColorTransform{});
        canvas_.endMask();
    }

    void drawContent(const DisplayObject& object, const Matrix& m, const ColorTransform& cx)
    {
        if (auto shape = object.shape())
            drawShape(*shape, m, cx);
        else if (auto morph = object.morph())
            drawShape(morphShapeAt(*morph, object.ratio / 65535.0), m, cx);
        else if (object.textField)
            drawText(*object.textField, m, cx);
        else {
            // A clip's opaque background fills its bounds under everything it holds.
            if (object.opaqueBackground) {
                Rect r = localBounds(object);
                if (!r.empty())
                    canvas_.fillPath(transformPath(rectanglePath(r), m), solidFill(cx.apply(*object.opaqueBackground)));
            }
            // A clip's drawing lies under its children. With a grid, the
            // drawing and the shapes it holds are cut into nine regions.
            std::optional<NineSlice> slices = slicesOf(object);
            if (object.drawing)
                drawShape(object.drawing->shape(), m, cx, slices ? &*slices : nullptr, Matrix{});
            drawChildren(object, m, cx, slices ? &*slices : nullptr);
        }
    }

    // The grid of a clip whose scale9Grid is set, from its bounds and its own scale.
    static std::optional<NineSlice> slicesOf(const DisplayObject& object)
    {
        if (!object.scale9Grid)
            return std::nullopt;
        Rect bounds = localBounds(object);
        if (bounds.empty())
            return std::nullopt;
        const Rect& g = *object.scale9Grid;
        Rect grid{g.xMin * kTwips, g.yMin * kTwips, g.xMax * kTwips, g.yMax * kTwips};
        const Matrix& own = object.matrix;
        return NineSlice(bounds, grid, std::hypot(own.a, own.b), std::hypot(own.c, own.d));
    }

    void drawChildren(const DisplayObject& object, const Matrix& m, const ColorTransform& cx,
                      const NineSlice* slices = nullptr)
    {
        unsigned state = 0;
        if (object.button())
            state = object.buttonPhase == ButtonPhase::OverUp ? StateOver
                  : object.buttonPhase == ButtonPhase::OverDown ? StateDown : StateUp;
        // Clip layers open a mask over the depths they name; the mask closes
        // once drawing passes its last depth.
        std::vector<int> openMasks;
        for (const auto& [depth, child] : object.children()) {
            while (!openMasks.empty() && depth > openMasks.back()) {
                canvas_.popMask();
                openMasks.pop_back();
                --surfaces_;
            }
            if (state && !(child->buttonStates & state))
                continue;
            if (child->clipLayer) {
                if (surfaces_ >= kMaxSurfaces || child->clipDepth <= depth)
                    continue;
                drawMask(*child, m * child->matrix);
                openMasks.push_back(child->clipDepth);
                ++surfaces_;
                continue;
            }
            // Shapes under a grid are cut with the clip's own drawing; clips keep their place.
            if (slices && child->shape() && child->visible && !child->effects.any() && child->mask.expired()) {
                drawShape(*child->shape(), m, cx * child->colorTransform, slices, child->matrix);
                continue;
            }
            draw(*child, m, cx);
        }
        for (std::size_t i = 0; i < openMasks.size(); ++i) {
            canvas_.popMask();
            --surfaces_;
        }
    }

    // `slices`, when given, cuts the shape (placed by `inner` in the clip) by
    // the clip's grid before `outer` takes it to the canvas.
    void drawShape(const ShapeDef& shape, const Matrix& outer, const ColorTransform& cx,
                   const NineSlice* slices = nullptr, const Matrix& inner = Matrix{})
    {
        Matrix m = outer * inner;
        auto place = [&](const Path& path, bool closed) {
            return slices ? transformPath(slices->map(path, inner, closed), outer) : transformPath(path, m);
        };
        for (std::size_t i = 0; i < shape.fills.size(); ++i) {
            const FillStyle& style = shape.fills[i];
            if (!style.visible || shape.fillPaths[i].empty())
                continue;
            canvas_.fillPath(place(shape.fillPaths[i], true), placedFill(style.fill, m, cx));
        }
        double scale = std::sqrt(std::abs(m.a * m.d - m.b * m.c));
        for (std::size_t i = 0; i < shape.lines.size(); ++i) {
            if (shape.linePaths[i].empty())
                continue;
            const LineStyle& line = shape.lines[i];
            Stroke stroke;
            stroke.width = std::max(1.0, line.width * scale);
            stroke.color = cx.apply(line.color);
            stroke.startCap = line.startCap;
            stroke.endCap = line.endCap;
            stroke.join = line.join;
            stroke.miterLimit = line.miterLimit;
            if (line.fill)
                stroke.fill = placedFill(*line.fill, m, cx);
            canvas_.strokePath(place(shape.linePaths[i], false), stroke);
        }
    }

    void drawText(const TextField& field, const Matrix& m, const ColorTransform& cx)
    {
        Rect box = transformRect(m, field.bounds);
        if (field.background)
            canvas_.fillPath(rectanglePath(box), solidFill(cx.apply(field.backgroundColor)));
        if (field.border) {
            // The one-pixel frame lies inside the box.
            Rect frame{box.xMin + 0.5, box.yMin + 0.5, box.xMax - 0.5, box.yMax - 0.5};
            Stroke stroke;
            stroke.color = cx.apply(field.borderColor);
            stroke.join = JoinStyle::Miter;
            canvas_.strokePath(rectanglePath(frame), stroke);
        }
        const TextLayout& layout = field.layout();
        if (field.text().empty()) {
            if (field.focused && field.editable)
                drawCaret(field, layout.lines.front(), layout.lines.front().x - field.hscroll(),
                          TextField::kGutter, m, cx);
            return;
        }
        std::u16string shown = field.shownText();
        // Text stays within the box: embedded glyphs through a mask of it,
        // device text by the boxes of its runs.
        bool clipped = field.embedFonts && surfaces_ < kMaxSurfaces;
        if (clipped) {
            canvas_.beginMask();
            canvas_.fillPath(rectanglePath(box), solidFill(0xFFFFFFFF));
            canvas_.endMask();
            ++surfaces_;
        }
        const TextLine& first = layout.lines[std::min(std::size_t(field.scroll() - 1), layout.lines.size() - 1)];
        double shiftY = first.top - TextField::kGutter;
        double bottom = field.boxHeight() - TextField::kGutter;
        // Each line's runs of one format are drawn together.
        std::vector<const TextFormat*> formats;
        formats.reserve(shown.size());
        for (const auto& run : field.runs())
            formats.insert(formats.end(), run.length, &run.format);
        formats.resize(shown.size(), &field.newTextFormat());
        for (std::size_t n = std::size_t(field.scroll() - 1); n < layout.lines.size(); ++n) {
            const TextLine& line = layout.lines[n];
            double top = line.top - shiftY;
            if (n > std::size_t(field.scroll() - 1) && top + line.ascent + line.descent > bottom + 0.01)
                break;
            double x = line.x - field.hscroll();
            // The focused field's selection shows as white on black.
            auto selected = [&](std::size_t i) {
                return field.focused && i >= field.selectionBegin() && i < field.selectionEnd();
            };
            for (std::size_t i = line.begin; i < line.end;) {
                std::size_t j = i;
                double width = 0;
                while (j < line.end && formats[j] == formats[i] && selected(j) == selected(i))
                    width += field.advance(*formats[j], shown[j]), ++j;
                Segment segment{std::u16string_view(shown).substr(i, j - i), *formats[i], x, top + line.ascent, width};
                ColorTransform ink = cx;
                if (selected(i)) {
                    fillFieldRect(field, {x, top, x + width, top + line.ascent + line.descent}, m, cx.apply(0xFF000000));
                    ink = kWhiteInk * cx;
                }
                if (const FieldFont* font = field.fieldFont(segment.format))
                    drawGlyphs(field, *font, segment, m, ink);
                else
                    drawDeviceText(field, segment, box, m, ink);
                x += width;
                i = j;
            }
            if (field.focused && field.editable && field.selectionBegin() == field.selectionEnd() &&
                field.lineOf(field.caret()) == n) {
                double caretX = line.x - field.hscroll();
                for (std::size_t i = line.begin; i < field.caret() && i < line.end; ++i)
                    caretX += field.advance(*formats[i], shown[i]);
                drawCaret(field, line, caretX, top, m, cx);
            }
        }
        if (clipped) {
            canvas_.popMask();
            --surfaces_;
        }
    }

    // A rectangle given in field pixels.
    void fillFieldRect(const TextField& field, const Rect& r, const Matrix& m, Argb color)
    {
        Rect twips{field.bounds.xMin + r.xMin * kTwips, field.bounds.yMin + r.yMin * kTwips,
                   field.bounds.xMin + r.xMax * kTwips, field.bounds.yMin + r.yMax * kTwips};
        canvas_.fillPath(transformPath(rectanglePath(twips), m), solidFill(color));
    }

    // The caret: a line one pixel wide, the height of the line's text, at x.
    void drawCaret(const TextField& field, const TextLine& line, double x, double top, const Matrix& m,
                   const ColorTransform& cx)
    {
        double height = std::max(line.ascent + line.descent, 1.0);
        fillFieldRect(field, {x, top, x + 1, top + height}, m, cx.apply(0xFF000000));
    }

    // Text of one format on one line, placed in field pixels.
    struct Segment {
        std::u16string_view text;
        const TextFormat& format;
        double x, baseline, width;
    };

    void drawDeviceText(const TextField& field, const Segment& s, const Rect& box, const Matrix& m,
                        const ColorTransform& cx)
    {
        // Device pixels per field pixel.
        double scaleX = std::hypot(m.a, m.b) * kTwips, scaleY = std::hypot(m.c, m.d) * kTwips;
        FontMetrics metrics = field.metrics(s.format);
        Point origin = m.apply({field.bounds.xMin + s.x * kTwips, field.bounds.yMin + (s.baseline - metrics.ascent) * kTwips});
        TextRun run;
        run.text = s.text;
        run.font = s.format.font.value_or(u"_sans");
        run.size = s.format.size.value_or(12) * scaleY;
        run.color = cx.apply(0xFF000000u | s.format.color.value_or(0));
        // A little room beyond the measured width, for faces wider than our measures.
        run.box = Rect{origin.x, origin.y, std::min(box.xMax, origin.x + (s.width + 8) * scaleX),
                       std::min(box.yMax, origin.y + (metrics.ascent + metrics.descent + 1) * scaleY)};
        run.bold = s.format.bold.value_or(false);
        run.italic = s.format.italic.value_or(false);
        if (run.box.xMax > run.box.xMin && run.box.yMax > run.box.yMin)
            canvas_.drawText(run);
    }

    // Embedded glyphs are outlines in font units, the baseline at y = 0.
    void drawGlyphs(const TextField& field, const FieldFont& font, const Segment& s, const Matrix& m,
                    const ColorTransform& cx)
    {
        double size = s.format.size.value_or(12);
        double unit = size / font.font->unitsPerEm * kTwips; // twips per font unit
        double x = s.x;
        Path outline;
        for (char16_t c : s.text) {
            if (const Path* glyph = font.glyph(c)) {
                Matrix place{unit, 0, 0, unit, field.bounds.xMin + x * kTwips, field.bounds.yMin + s.baseline * kTwips};
                Path placed = transformPath(*glyph, m * place);
                outline.insert(outline.end(), placed.begin(), placed.end());
            }
            x += font.advance(c, size);
        }
        if (!outline.empty())
            canvas_.fillPath(outline, solidFill(cx.apply(0xFF000000u | s.format.color.value_or(0))));
    }

    Canvas& canvas_;
    double viewScale_;
    int surfaces_ = 0;
};

} // namespace

void renderTree(Playback& playback, const Matrix& view, Canvas& canvas)
{
    // The levels in order, the higher over the lower.
    for (const auto& level : playback.levels())
        Renderer(canvas, view).draw(*level, view, ColorTransform{});
}

void renderContent(const DisplayObject& object, const Matrix& toPixels, const ColorTransform& color, Canvas& canvas)
{
    Matrix view = toPixels * object.worldMatrix().inverse();
    Renderer(canvas, view).drawAlone(object, toPixels, color);
}

void setMask(DisplayObject& object, const std::shared_ptr<DisplayObject>& mask)
{
    if (auto previous = object.mask.lock())
        previous->isMask = false;
    object.mask.reset();
    if (!mask || mask.get() == &object)
        return;
    object.mask = mask;
    mask->isMask = true;
}

} // namespace lumbra::movie
