#include "control/com/GdiCanvas.h"

#include "win32/GdiHandles.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace lumbra::com {

using win32::GdiObject;
using win32::Offscreen;
using win32::Selection;

using movie::Argb;

namespace {

COLORREF colorRef(Argb c) { return RGB(movie::redOf(c), movie::greenOf(c), movie::blueOf(c)); }

POINT devicePoint(movie::Point p) {
    return {static_cast<LONG>(std::lround(p.x)), static_cast<LONG>(std::lround(p.y))};
}

// Pixel bounds of a path, grown by `margin` (half a pen) on every side.
RECT pathBounds(const movie::Path& path, double margin) {
    double x0 = HUGE_VAL, y0 = HUGE_VAL, x1 = -HUGE_VAL, y1 = -HUGE_VAL;
    for (const auto& contour : path)
        for (auto p : contour) {
            x0 = std::min(x0, p.x);
            y0 = std::min(y0, p.y);
            x1 = std::max(x1, p.x);
            y1 = std::max(y1, p.y);
        }
    if (x0 > x1) return {};
    return {static_cast<LONG>(std::floor(x0 - margin)), static_cast<LONG>(std::floor(y0 - margin)),
            static_cast<LONG>(std::ceil(x1 + margin)) + 1, static_cast<LONG>(std::ceil(y1 + margin)) + 1};
}

// Adds the contours to the DC's current path; `close` joins each contour's
// ends, as fills need.
void tracePath(HDC dc, const movie::Path& path, bool close) {
    for (const auto& contour : path) {
        if (contour.empty()) continue;
        POINT start = devicePoint(contour.front());
        MoveToEx(dc, start.x, start.y, nullptr);
        for (std::size_t i = 1; i < contour.size(); ++i) {
            POINT p = devicePoint(contour[i]);
            LineTo(dc, p.x, p.y);
        }
        if (close) CloseFigure(dc);
    }
}

// Device fonts of the movie format name families, not faces.
const wchar_t* faceName(const std::u16string& font) {
    if (font == u"_sans") return L"Arial";
    if (font == u"_serif") return L"Times New Roman";
    if (font == u"_typewriter") return L"Courier New";
    return reinterpret_cast<const wchar_t*>(font.c_str());
}

// DrawTextW breaks lines at "\r\n"; the movie separates them with a lone "\r".
std::wstring windowsLines(const std::u16string& text) {
    std::wstring out;
    out.reserve(text.size() + 8);
    for (std::size_t i = 0; i < text.size(); ++i) {
        out.push_back(static_cast<wchar_t>(text[i]));
        if (text[i] == u'\r' && (i + 1 == text.size() || text[i + 1] != u'\n')) out.push_back(L'\n');
    }
    return out;
}

UINT alignFlags(movie::TextAlign align) {
    switch (align) {
    case movie::TextAlign::Right: return DT_RIGHT;
    case movie::TextAlign::Center: return DT_CENTER;
    default: return DT_LEFT;
    }
}

} // namespace

GdiCanvas::GdiCanvas(HDC dc, int width, int height) : dc_(dc), width_(width), height_(height) {}

template <class Draw>
void GdiCanvas::withAlpha(unsigned alpha, const RECT& bounds, Draw draw) {
    if (alpha == 0) return;
    if (alpha == 255) {
        draw(dc_);
        return;
    }
    RECT area;
    RECT surface = {0, 0, width_, height_};
    if (!IntersectRect(&area, &bounds, &surface)) return;
    int w = area.right - area.left, h = area.bottom - area.top;
    Offscreen layer(dc_, w, h);
    if (!layer.valid()) return;
    // The layer starts as a copy of what lies below, so that blending it back
    // changes only the pixels the drawing covers.
    BitBlt(layer.dc(), 0, 0, w, h, dc_, area.left, area.top, SRCCOPY);
    SetViewportOrgEx(layer.dc(), -area.left, -area.top, nullptr);
    draw(layer.dc());
    SetViewportOrgEx(layer.dc(), 0, 0, nullptr);
    BLENDFUNCTION blend = {AC_SRC_OVER, 0, static_cast<BYTE>(alpha), 0};
    GdiAlphaBlend(dc_, area.left, area.top, w, h, layer.dc(), 0, 0, w, h, blend);
}

void GdiCanvas::clear(Argb background) {
    GdiObject<HBRUSH> brush(CreateSolidBrush(colorRef(background)));
    RECT all = {0, 0, width_, height_};
    FillRect(dc_, &all, brush.get());
}

void GdiCanvas::fillPath(const movie::Path& path, const movie::Fill& fill) {
    withAlpha(movie::alphaOf(fill.color), pathBounds(path, 0), [&](HDC dc) {
        GdiObject<HBRUSH> brush(CreateSolidBrush(colorRef(fill.color)));
        Selection selectBrush(dc, brush.get());
        Selection selectPen(dc, GetStockObject(NULL_PEN));
        SetPolyFillMode(dc, WINDING);
        BeginPath(dc);
        tracePath(dc, path, true);
        EndPath(dc);
        FillPath(dc);
    });
}

void GdiCanvas::strokePath(const movie::Path& path, const movie::Stroke& stroke) {
    double width = std::max(stroke.width, 1.0);
    withAlpha(movie::alphaOf(stroke.color), pathBounds(path, width / 2 + 1), [&](HDC dc) {
        LOGBRUSH brush = {BS_SOLID, colorRef(stroke.color), 0};
        GdiObject<HPEN> pen(ExtCreatePen(PS_GEOMETRIC | PS_SOLID | PS_ENDCAP_ROUND | PS_JOIN_ROUND,
                                         static_cast<DWORD>(std::lround(width)), &brush, 0, nullptr));
        Selection selectPen(dc, pen.get());
        BeginPath(dc);
        tracePath(dc, path, false);
        EndPath(dc);
        StrokePath(dc);
    });
}

void GdiCanvas::drawText(const movie::TextRun& run) {
    RECT box = {static_cast<LONG>(std::lround(run.box.xMin)), static_cast<LONG>(std::lround(run.box.yMin)),
                static_cast<LONG>(std::lround(run.box.xMax)), static_cast<LONG>(std::lround(run.box.yMax))};
    withAlpha(movie::alphaOf(run.color), box, [&](HDC dc) {
        GdiObject<HFONT> font(CreateFontW(-static_cast<int>(std::lround(run.size)), 0, 0, 0,
                                          run.bold ? FW_BOLD : FW_NORMAL, run.italic, FALSE, FALSE,
                                          DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                          DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                                          faceName(run.font)));
        Selection selectFont(dc, font.get());
        SetTextColor(dc, colorRef(run.color));
        SetBkMode(dc, TRANSPARENT);
        std::wstring text = windowsLines(run.text);
        UINT format = alignFlags(run.align) | DT_NOPREFIX;
        if (!run.multiline)
            format |= DT_SINGLELINE;
        else if (run.wordWrap)
            format |= DT_WORDBREAK;
        RECT r = box;
        DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, format);
    });
}

} // namespace lumbra::com
