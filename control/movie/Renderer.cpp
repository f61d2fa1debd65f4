#include "control/movie/Renderer.h"

#include "control/movie/HtmlText.h"

#include <algorithm>
#include <cmath>

namespace lumbra::movie {

namespace {

constexpr double kTwips = 20;

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

class Renderer {
public:
    Renderer(Playback& playback, Canvas& canvas) : playback_(playback), canvas_(canvas) {}

    void draw(const DisplayObject& object, const Matrix& parent, const ColorTransform& parentColor)
    {
        if (!object.visible || object.clipLayer)
            return;
        Matrix m = parent * object.matrix;
        ColorTransform cx = parentColor * object.colorTransform;
        if (auto shape = object.shape())
            drawShape(*shape, m, cx);
        else if (auto text = object.text())
            drawText(object, *text, m, cx);
        else
            drawChildren(object, m, cx);
    }

private:
    void drawChildren(const DisplayObject& object, const Matrix& m, const ColorTransform& cx)
    {
        unsigned state = 0;
        if (object.button())
            state = object.buttonPhase == ButtonPhase::OverUp ? StateOver
                  : object.buttonPhase == ButtonPhase::OverDown ? StateDown : StateUp;
        for (const auto& [depth, child] : object.children())
            if (!state || (child->buttonStates & state))
                draw(*child, m, cx);
    }

    void drawShape(const ShapeDef& shape, const Matrix& m, const ColorTransform& cx)
    {
        for (std::size_t i = 0; i < shape.fills.size(); ++i) {
            const FillStyle& style = shape.fills[i];
            if (!style.visible || shape.fillPaths[i].empty())
                continue;
            Fill fill = style.fill;
            fill.color = cx.apply(fill.color);
            for (auto& stop : fill.stops)
                stop.color = cx.apply(stop.color);
            fill.gradientToPixels = m * fill.gradientToPixels;
            canvas_.fillPath(transformPath(shape.fillPaths[i], m), fill);
        }
        double scale = std::sqrt(std::abs(m.a * m.d - m.b * m.c));
        for (std::size_t i = 0; i < shape.lines.size(); ++i) {
            if (shape.linePaths[i].empty())
                continue;
            Stroke stroke{std::max(1.0, shape.lines[i].width * scale), cx.apply(shape.lines[i].color)};
            canvas_.strokePath(transformPath(shape.linePaths[i], m), stroke);
        }
    }

    void drawText(const DisplayObject& object, const EditTextDef& def, const Matrix& m, const ColorTransform& cx)
    {
        Rect box = transformRect(m, def.bounds);
        if (def.border) {
            canvas_.fillPath(rectanglePath(box), Fill{Fill::Kind::Solid, cx.apply(0xFFFFFFFF), {}, {}});
            canvas_.strokePath(rectanglePath(box), Stroke{1, cx.apply(0xFF000000)});
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
};

} // namespace

void renderTree(Playback& playback, const Matrix& view, Canvas& canvas)
{
    Renderer(playback, canvas).draw(playback.root(), view, ColorTransform{});
}

} // namespace lumbra::movie
