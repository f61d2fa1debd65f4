#include "control/movie/Properties.h"

#include "control/movie/Bounds.h"
#include "control/movie/Playback.h"
#include "control/movie/TextCodec.h"
#include "control/movie/TextField.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace lumbra::movie {

namespace {

enum Property {
    X, Y, XScale, YScale, CurrentFrame, TotalFrames, Alpha, Visible, Width, Height, Rotation,
    Target, FramesLoaded, Name, DropTarget, Url, HighQuality, FocusRect, SoundBufTime, Quality,
    XMouse, YMouse
};

constexpr std::u16string_view kNames[kPropertyCount] = {
    u"_x", u"_y", u"_xscale", u"_yscale", u"_currentframe", u"_totalframes", u"_alpha", u"_visible",
    u"_width", u"_height", u"_rotation", u"_target", u"_framesloaded", u"_name", u"_droptarget",
    u"_url", u"_highquality", u"_focusrect", u"_soundbuftime", u"_quality", u"_xmouse", u"_ymouse"};

double xScaleOf(const Matrix& m) { return std::hypot(m.a, m.b); }
double yScaleOf(const Matrix& m) { return std::hypot(m.c, m.d); }
double rotationOf(const Matrix& m) { return std::atan2(m.b, m.a) * 180 / std::numbers::pi; }

// Rebuilds the linear part from scales and a rotation in degrees.
void compose(Matrix& m, double xScale, double yScale, double degrees)
{
    double r = degrees * std::numbers::pi / 180;
    // Keep the skew between the axes: the y axis turns with the x axis.
    double skew = std::atan2(-m.c, m.d) - std::atan2(m.b, m.a);
    m.a = xScale * std::cos(r);
    m.b = xScale * std::sin(r);
    m.c = -yScale * std::sin(r + skew);
    m.d = yScale * std::cos(r + skew);
}

// What a script set last, else what the matrix gives.
ScaleAndRotation scaleAndRotation(const DisplayObject& object)
{
    if (object.scriptScale)
        return *object.scriptScale;
    const Matrix& m = object.matrix;
    return {xScaleOf(m), yScaleOf(m), rotationOf(m)};
}

void setScaleAndRotation(DisplayObject& object, const ScaleAndRotation& t)
{
    object.scriptScale = t;
    compose(object.matrix, t.xScale, t.yScale, t.rotation);
}

// "/" for the root, "/clip/inner" below it.
std::u16string slashPath(const DisplayObject& object)
{
    // "/" on level 0; "_level1" and "_level1/clip" above it.
    if (!object.parent())
        return object.level > 0 ? u"_level" + numberToString(object.level) : u"/";
    std::u16string parent = slashPath(*object.parent());
    return (parent == u"/" ? u"" : parent) + u"/" + object.name;
}

} // namespace

std::optional<std::u16string> qualityName(std::u16string_view text)
{
    for (const char16_t* name : {u"LOW", u"MEDIUM", u"HIGH", u"BEST"})
        if (equalsFolded(text, name))
            return std::u16string(name);
    return std::nullopt;
}

std::optional<int> propertyIndex(std::u16string_view name)
{
    for (int i = 0; i < kPropertyCount; ++i)
        if (equalsFolded(name, kNames[i]))
            return i;
    return std::nullopt;
}

Value getProperty(const Playback& playback, const DisplayObject& object, int property)
{
    const Matrix& m = object.matrix;
    switch (property) {
    case X: return m.tx / kTwips;
    case Y: return m.ty / kTwips;
    case XScale: return scaleAndRotation(object).xScale * 100;
    case YScale: return scaleAndRotation(object).yScale * 100;
    case CurrentFrame: return object.isClip() ? object.frame + 1 : 0;
    case TotalFrames:
    case FramesLoaded: return object.isClip() ? object.timeline()->frameCount() : 0;
    case Alpha: return object.colorTransform.aMult * 100;
    case Visible:
        if (playback.version() < 5)
            return object.visible ? 1 : 0;
        return object.visible;
    case Width: return transformRect(m, localBounds(object)).width() / kTwips;
    case Height: return transformRect(m, localBounds(object)).height() / kTwips;
    case Rotation: return scaleAndRotation(object).rotation;
    case Target: return slashPath(object);
    case Name: return object.name;
    case DropTarget: {
        auto target = playback.dropTarget(object);
        return target ? slashPath(*target) : u"";
    }
    case Url:
        for (const DisplayObject* p = &object; p; p = p->parent())
            if (p->loadedUrl)
                return *p->loadedUrl;
        return u"";
    case HighQuality: return playback.quality == u"LOW" ? 0 : playback.quality == u"BEST" ? 2 : 1;
    case FocusRect: return 1;
    case SoundBufTime: return 5;
    case Quality: return playback.quality;
    case XMouse:
    case YMouse: {
        Point local = object.worldMatrix().inverse().apply(playback.mouse());
        return (property == XMouse ? local.x : local.y) / kTwips;
    }
    default: return Value();
    }
}

double multiplierFromPercent(double percent)
{
    if (!std::isfinite(percent))
        return 0;
    double units = std::trunc(std::fmod(percent * 256 / 100, 65536.0));
    if (units >= 32768)
        units -= 65536;
    else if (units < -32768)
        units += 65536;
    return units / 256;
}

bool setProperty(Playback& playback, DisplayObject& object, int property, const Value& value)
{
    double n = value.toNumber(playback.version());
    Matrix& m = object.matrix;
    bool finite = std::isfinite(n);
    switch (property) {
    // Positions are whole twips: 10.333 reads back as 10.3.
    case X:
        if (finite)
            m.tx = std::trunc(n * kTwips);
        break;
    case Y:
        if (finite)
            m.ty = std::trunc(n * kTwips);
        break;
    case XScale:
    case YScale:
        if (finite) {
            ScaleAndRotation t = scaleAndRotation(object);
            (property == XScale ? t.xScale : t.yScale) = n / 100;
            setScaleAndRotation(object, t);
        }
        break;
    // The multiplier is kept in 8.8 fixed point: 30 reads back as 29.6875.
    case Alpha:
        if (finite)
            object.colorTransform.aMult = multiplierFromPercent(n);
        break;
    case Visible:
        object.visible = value.toBoolean(playback.version());
        break;
    case Width:
    case Height: {
        if (object.textField && finite && n >= 0) {
            // A text field's box takes the new size; its text is not stretched.
            double scale = property == Width ? xScaleOf(m) : yScaleOf(m);
            if (scale != 0)
                object.textField->resize(property == Width, std::min(n * kTwips / std::abs(scale), 1e9));
            playback.fitTextBox(object);
            break;
        }
        Rect now = transformRect(m, localBounds(object));
        double size = property == Width ? now.width() : now.height();
        if (!finite || n < 0 || size <= 0)
            return finite && size > 0;
        ScaleAndRotation t = scaleAndRotation(object);
        (property == Width ? t.xScale : t.yScale) *= n * kTwips / size;
        setScaleAndRotation(object, t);
        break;
    }
    case Rotation:
        if (finite) {
            // Kept within -180..180 degrees.
            ScaleAndRotation t = scaleAndRotation(object);
            t.rotation = std::fmod(n, 360);
            if (t.rotation > 180)
                t.rotation -= 360;
            else if (t.rotation < -180)
                t.rotation += 360;
            setScaleAndRotation(object, t);
        }
        break;
    case Name:
        if (!object.parent())
            return false;
        object.name = value.toString();
        break;
    case Quality:
        if (auto name = qualityName(value.toString()))
            playback.quality = *name;
        return true;
    case HighQuality:
        // 0 low, 1 high, 2 best; others leave the quality as it is.
        if (n == 0 || n == 1 || n == 2)
            playback.quality = n == 0 ? u"LOW" : n == 1 ? u"HIGH" : u"BEST";
        return true;
    case FocusRect:
    case SoundBufTime:
        return true; // accepted; this player draws one way
    default:
        return false;
    }
    if (property <= YScale || property == Alpha || property == Width || property == Height || property == Rotation)
        object.scriptTransformed = true;
    playback.dirty = true;
    return true;
}

} // namespace lumbra::movie
