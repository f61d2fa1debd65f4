#include "control/movie/Renderer.h"

#include "control/movie/HtmlText.h"
#include "control/movie/MorphShape.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace lumbra::movie {

namespace {

constexpr double kTwips = 20;
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

Path rectanglePath(const Rect& r)
{
    return {{{r.xMin, r.yMin}, {r.xMax, r.yMin}, {r.xMax, r.yMax}, {r.xMin, r.yMax}, {r.xMin, r.yMin}}};
}

// Every line break as a single '\r', as canvases expect.
std::u16string normalizedBreaks(const std::u16string& text)
{
    std::u16string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
            ++i;
        out += text[i] == u'\n' ? u'\r' : text[i];
    }
    return out;
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

// Filter sizes are stage pixels: they grow with the view, not with the object.
LayerEffects scaledEffects(LayerEffects effects, double scale)
{
    for (Filter& filter : effects.filters)
        std::visit(
            [scale](auto& f) {
                if constexpr (requires { f.blurX; }) {
                    f.blurX *= scale;
                    f.blurY *= scale;
                }
                if constexpr (requires { f.distance; })
                    f.distance *= scale;
            },
            filter);
    return effects;
}

class Renderer {
public:
    Renderer(Playback& playback, Canvas& canvas, const Matrix& view)
        : playback_(playback), canvas_(canvas), viewScale_(std::sqrt(std::abs(view.a * view.d - view.b * view.c)) * kTwips)
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
        bool layered = object.effects.any() && surfaces_ < kMaxSurfaces;
        if (layered) {
            canvas_.beginLayer();
            ++surfaces_;
        }
        drawContent(object, parent * object.matrix, parentColor * object.colorTransform);
        if (layered) {
            canvas_.endLayer(scaledEffects(object.effects, viewScale_));
            --surfaces_;
        }
        if (masked) {
            canvas_.popMask();
            --surfaces_;
        }
    }

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
        else if (auto text = object.text())
            drawText(object, *text, m, cx);
        else {
            // A clip's drawing lies under its children.
            if (object.drawing)
                drawShape(object.drawing->shape(), m, cx);
            drawChildren(object, m, cx);
        }
    }

    void drawChildren(const DisplayObject& object, const Matrix& m, const ColorTransform& cx)
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
            draw(*child, m, cx);
        }
        for (std::size_t i = 0; i < openMasks.size(); ++i) {
            canvas_.popMask();
            --surfaces_;
        }
    }

    void drawShape(const ShapeDef& shape, const Matrix& m, const ColorTransform& cx)
    {
        for (std::size_t i = 0; i < shape.fills.size(); ++i) {
            const FillStyle& style = shape.fills[i];
            if (!style.visible || shape.fillPaths[i].empty())
                continue;
            canvas_.fillPath(transformPath(shape.fillPaths[i], m), placedFill(style.fill, m, cx));
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
            canvas_.strokePath(transformPath(shape.linePaths[i], m), stroke);
        }
    }

    void drawText(const DisplayObject& object, const EditTextDef& def, const Matrix& m, const ColorTransform& cx)
    {
        Rect box = transformRect(m, def.bounds);
        if (def.border) {
            // A bordered field has a white background and a one-pixel black frame
            // lying inside its box.
            canvas_.fillPath(rectanglePath(box), solidFill(cx.apply(0xFFFFFFFF)));
            Rect frame{box.xMin + 0.5, box.yMin + 0.5, box.xMax - 0.5, box.yMax - 0.5};
            Stroke stroke;
            stroke.color = cx.apply(0xFF000000);
            stroke.join = JoinStyle::Miter;
            canvas_.strokePath(rectanglePath(frame), stroke);
        }
        TextRun run;
        run.text = shownText(object, def);
        if (run.text.empty())
            return;
        double scaleX = std::hypot(m.a, m.b), scaleY = std::hypot(m.c, m.d);
        run.font = def.font;
        run.size = def.height * scaleY;
        run.color = cx.apply(def.color);
        run.box = box;
        run.box.xMin += (def.leftMargin + 2 * kTwips) * scaleX;
        run.box.xMax -= (def.rightMargin + 2 * kTwips) * scaleX;
        run.box.yMin += 2 * kTwips * scaleY;
        run.align = def.align;
        run.bold = def.bold;
        run.italic = def.italic;
        run.multiline = def.multiline;
        run.wordWrap = def.wordWrap;
        canvas_.drawText(run);
    }

    // A bound field shows its variable, which starts as the field's own text.
    std::u16string shownText(const DisplayObject& object, const EditTextDef& def)
    {
        std::u16string text = def.initialText;
        if (!def.variable.empty() && object.parent()) {
            auto value = playback_.getVariable(*object.parent(), def.variable);
            text = value ? value->toString() : std::u16string();
            if (def.html)
                text = plainTextFromHtml(text);
        }
        if (def.password)
            text.assign(text.size(), u'*');
        return normalizedBreaks(text);
    }

    Playback& playback_;
    Canvas& canvas_;
    double viewScale_;
    int surfaces_ = 0;
};

} // namespace

void renderTree(Playback& playback, const Matrix& view, Canvas& canvas)
{
    Renderer(playback, canvas, view).draw(playback.root(), view, ColorTransform{});
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
