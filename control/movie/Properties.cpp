#include "control/movie/Properties.h"

#include "control/movie/Bounds.h"
#include "control/movie/Playback.h"
#include "control/movie/TextCodec.h"

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

constexpr double kTwips = 20;

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

// "/" for the root, "/clip/inner" below it.
std::u16string slashPath(const DisplayObject& object)
{
    if (!object.parent())
        return u"/";
    std::u16string parent = slashPath(*object.parent());
    return (parent == u"/" ? u"" : parent) + u"/" + object.name;
}

} // namespace

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
    case XScale: return xScaleOf(m) * 100;
    case YScale: return yScaleOf(m) * 100;
    case CurrentFrame: return object.isClip() ? object.frame + 1 : 0;
    case TotalFrames:
    case FramesLoaded: return object.isClip() ? object.timeline()->frameCount() : 0;
    case Alpha: return object.colorTransform.aMult * 100;
    case Visible: return object.visible ? 1 : 0;
    case Width: return transformRect(m, localBounds(object)).width() / kTwips;
    case Height: return transformRect(m, localBounds(object)).height() / kTwips;
    case Rotation: return rotationOf(m);
    case Target: return slashPath(object);
    case Name: return object.name;
    case DropTarget: {
        auto target = playback.dropTarget(object);
        return target ? slashPath(*target) : u"";
    }
    case Url: return u"";
    case HighQuality:
    case FocusRect: return 1;
    case SoundBufTime: return 5;
    case Quality: return u"HIGH";
    case XMouse:
    case YMouse: {
        Point local = object.worldMatrix().inverse().apply(playback.mouse());
        return (property == XMouse ? local.x : local.y) / kTwips;
    }
    default: return Value();
    }
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
        if (finite)
            compose(m, n / 100, yScaleOf(m), rotationOf(m));
        break;
    case YScale:
        if (finite)
            compose(m, xScaleOf(m), n / 100, rotationOf(m));
        break;
    case Alpha:
        if (finite)
            object.colorTransform.aMult = n / 100;
        break;
    case Visible:
        object.visible = value.toBoolean(playback.version());
        break;
    case Width:
    case Height: {
        Rect now = transformRect(m, localBounds(object));
        double size = property == Width ? now.width() : now.height();
        if (!finite || n < 0 || size <= 0)
            return finite && size > 0;
        double factor = n * kTwips / size;
        if (property == Width)
            compose(m, xScaleOf(m) * factor, yScaleOf(m), rotationOf(m));
        else
            compose(m, xScaleOf(m), yScaleOf(m) * factor, rotationOf(m));
        break;
    }
    case Rotation:
        if (finite)
            compose(m, xScaleOf(m), yScaleOf(m), n);
        break;
    case Name:
        if (!object.parent())
            return false;
        object.name = value.toString();
        break;
    case HighQuality:
    case FocusRect:
    case SoundBufTime:
    case Quality:
        return true; // accepted; this player draws one way
    default:
        return false;
    }
    playback.dirty = true;
    return true;
}

} // namespace lumbra::movie
