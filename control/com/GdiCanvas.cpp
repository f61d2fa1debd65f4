#include "control/com/GdiCanvas.h"

#include "win32/GdiHandles.h"

#include <cmath>
#include <string>
#include <vector>

namespace lumbra::com {

using win32::GdiObject;
using win32::Selection;

namespace {

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

BITMAPINFO topDownInfo(int width, int height) {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height; // rows top to bottom, as the canvas keeps them
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

} // namespace

GdiCanvas::GdiCanvas(int width, int height) : RasterCanvas(width, height) {}

// GDI draws the text white on black into a scratch bitmap of the text box; its
// grey levels are the glyphs' coverage, painted in the text colour like any
// other shape, so that masks, layers and partial alpha apply to text too.
void GdiCanvas::drawText(const movie::TextRun& run) {
    movie::PixelRect box{static_cast<int>(std::lround(run.box.xMin)), static_cast<int>(std::lround(run.box.yMin)),
                         static_cast<int>(std::lround(run.box.xMax)), static_cast<int>(std::lround(run.box.yMax))};
    movie::PixelRect area = movie::intersect(box, bounds());
    if (area.empty() || movie::alphaOf(run.color) == 0) return;
    int w = area.width(), h = area.height();
    BITMAPINFO info = topDownInfo(w, h);
    void* bits = nullptr;
    GdiObject<HBITMAP> bitmap(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    HDC dc = CreateCompatibleDC(nullptr);
    if (!bitmap || !dc || !bits) {
        if (dc) DeleteDC(dc);
        return;
    }
    {
        Selection selectBitmap(dc, bitmap.get());
        GdiObject<HFONT> font(CreateFontW(-static_cast<int>(std::lround(run.size)), 0, 0, 0,
                                          run.bold ? FW_BOLD : FW_NORMAL, run.italic, FALSE, FALSE,
                                          DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                          ANTIALIASED_QUALITY, DEFAULT_PITCH | FF_DONTCARE, faceName(run.font)));
        Selection selectFont(dc, font.get());
        SetTextColor(dc, RGB(255, 255, 255));
        SetBkMode(dc, TRANSPARENT);
        std::wstring text = windowsLines(run.text);
        UINT format = alignFlags(run.align) | DT_NOPREFIX;
        if (!run.multiline)
            format |= DT_SINGLELINE;
        else if (run.wordWrap)
            format |= DT_WORDBREAK;
        // The layout box in the scratch bitmap's coordinates.
        RECT r = {box.x0 - area.x0, box.y0 - area.y0, box.x1 - area.x0, box.y1 - area.y0};
        DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, format);
        GdiFlush();
    }
    DeleteDC(dc);
    const auto* pixels = static_cast<const std::uint32_t*>(bits);
    std::vector<std::uint8_t> coverage(static_cast<std::size_t>(w) * static_cast<std::size_t>(h));
    for (std::size_t i = 0; i < coverage.size(); ++i) coverage[i] = static_cast<std::uint8_t>((pixels[i] >> 8) & 0xFF);
    movie::Fill fill;
    fill.color = run.color;
    paintCoverage(area, coverage.data(), static_cast<std::size_t>(w), movie::Paint(fill));
}

void GdiCanvas::present(HDC dc, int x, int y) const {
    if (pixels().empty()) return;
    BITMAPINFO info = topDownInfo(width(), height());
    SetDIBitsToDevice(dc, x, y, width(), height(), 0, 0, 0, height(), pixels().data(), &info, DIB_RGB_COLORS);
}

} // namespace lumbra::com
