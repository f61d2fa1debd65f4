#include "player/LayeredRenderer.h"

#include "player/CShockwaveFlash.h"
#include "player/LayeredPixels.h"
#include "player/WindowShape.h"

#include "win32/GdiHandles.h"

#include <algorithm>
#include <cstdlib>

namespace lumbra {

namespace {

using UpdateLayeredWindowFunction = BOOL(WINAPI*)(HWND, HDC, POINT*, SIZE*, HDC, POINT*, COLORREF, BLENDFUNCTION*,
                                                  DWORD);

// Looked up at run time: a system without layered windows still runs the
// player, with the region fallback.
UpdateLayeredWindowFunction updateLayeredWindow()
{
    return reinterpret_cast<UpdateLayeredWindowFunction>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("user32.dll"), "UpdateLayeredWindow")));
}

constexpr std::int32_t kBlack = 0x000000, kWhite = 0xFFFFFF;

} // namespace

// A 32-bit bottom-up device-independent bitmap selected into its own
// memory device context.
class LayeredRenderer::Image {
public:
    Image(int width, int height) : width_(width), height_(height), dc_(CreateCompatibleDC(nullptr))
    {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = height; // bottom-up rows
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        bitmap_ = win32::GdiObject<HBITMAP>(CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
        bits_ = static_cast<std::uint32_t*>(bits);
        if (dc_ && bitmap_)
            previous_ = SelectObject(dc_, bitmap_.get());
    }
    Image(const Image&) = delete;
    Image& operator=(const Image&) = delete;
    ~Image()
    {
        if (previous_)
            SelectObject(dc_, previous_);
        if (dc_)
            DeleteDC(dc_);
    }

    bool valid() const { return previous_ && bits_; }
    HDC dc() const { return dc_; }
    std::uint32_t* bits() const { return bits_; }
    std::size_t count() const { return std::size_t(width_) * std::size_t(height_); }
    // The pixel at (x, y) from the top left.
    std::uint32_t at(int x, int y) const { return bits_[std::size_t(height_ - 1 - y) * width_ + x]; }
    void fill(std::uint32_t pixel) { std::fill(bits_, bits_ + count(), pixel); }

private:
    int width_, height_;
    HDC dc_;
    win32::GdiObject<HBITMAP> bitmap_;
    std::uint32_t* bits_ = nullptr;
    HGDIOBJ previous_ = nullptr;
};

bool LayeredRenderer::layeredWindowsAvailable()
{
    const char* forced = std::getenv("LUMBRA_NO_LAYERED_WINDOWS");
    return !(forced && *forced) && updateLayeredWindow() != nullptr;
}

LayeredRenderer::LayeredRenderer(HWND frame, bool allowLayered)
    : frame_(frame), layered_(allowLayered && layeredWindowsAvailable())
{
    prepare();
}

LayeredRenderer::~LayeredRenderer()
{
    black_.reset();
    white_.reset();
    if (region_) {
        // Only the renderer's own region goes: a mask set meanwhile stays.
        HRGN current = CreateRectRgn(0, 0, 0, 0);
        win32::GdiObject<HRGN> mine(createRegion(*region_, nullptr));
        if (GetWindowRgn(frame_, current) != ERROR && mine && EqualRgn(current, mine.get()))
            SetWindowRgn(frame_, nullptr, TRUE);
        DeleteObject(current);
    }
    const LONG exStyle = GetWindowLongA(frame_, GWL_EXSTYLE);
    if (exStyle & WS_EX_LAYERED) {
        const bool visible = IsWindowVisible(frame_);
        if (visible)
            ShowWindow(frame_, SW_HIDE);
        SetWindowLongA(frame_, GWL_EXSTYLE, exStyle & ~WS_EX_LAYERED);
        if (visible)
            ShowWindow(frame_, SW_SHOWNA);
    }
}

void LayeredRenderer::prepare()
{
    mode_ = Mode::unusable;
    black_.reset();
    white_.reset();
    GetWindowRect(frame_, &savedRect_);
    POINT origin{0, 0};
    ClientToScreen(frame_, &origin);
    clientOffset_ = {origin.x - savedRect_.left, origin.y - savedRect_.top};
    RECT client;
    GetClientRect(frame_, &client);
    clientSize_ = {client.right, client.bottom};

    const int width = savedRect_.right - savedRect_.left, height = savedRect_.bottom - savedRect_.top;
    if (width <= 0 || height <= 0)
        return;
    black_ = std::make_unique<Image>(width, height);
    white_ = std::make_unique<Image>(width, height);
    if (!black_->valid() || !white_->valid()) {
        black_.reset();
        white_.reset();
        return;
    }
    if (layered_)
        SetWindowLongA(frame_, GWL_EXSTYLE, GetWindowLongA(frame_, GWL_EXSTYLE) | WS_EX_LAYERED);
    mode_ = layered_ ? Mode::layered : Mode::region;
}

void LayeredRenderer::render(CShockwaveFlash& host)
{
    if (mode_ == Mode::unusable)
        return;
    // What lies outside the movie's area shows the background in both.
    black_->fill(0);
    white_->fill(0xFFFFFFFF);
    const std::int32_t background = host.backgroundRgb();
    if (mode_ == Mode::layered) {
        drawMovie(host, *black_, kBlack);
        drawMovie(host, *white_, kWhite);
    } else {
        drawMovie(host, *white_, kWhite);
        drawMovie(host, *black_, kBlack);
    }
    host.setBackgroundRgb(background); // the movie keeps the colour it had
    GdiFlush();
    if (mode_ == Mode::layered)
        showLayered();
    else
        showRegion();
}

void LayeredRenderer::drawMovie(CShockwaveFlash& host, Image& image, std::int32_t background)
{
    const win32::ComPtr<IViewObject> view = host.viewObject();
    if (!view)
        return;
    host.setBackgroundRgb(background);
    const RECTL bounds{clientOffset_.x, clientOffset_.y, clientOffset_.x + clientSize_.cx,
                       clientOffset_.y + clientSize_.cy};
    view->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, image.dc(), &bounds, nullptr, nullptr, 0);
}

void LayeredRenderer::showLayered()
{
    setAlphaFromPair(black_->bits(), white_->bits(), black_->count());
    RECT window;
    GetWindowRect(frame_, &window);
    POINT position{window.left, window.top}, source{0, 0};
    SIZE size{savedRect_.right - savedRect_.left, savedRect_.bottom - savedRect_.top};
    BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    updateLayeredWindow()(frame_, nullptr, &position, &size, black_->dc(), &source, 0, &blend, ULW_ALPHA);

    // Fully transparent pixels also leave the window's region, so that the
    // mouse reaches the windows below them on systems that hit-test a
    // layered window by its rectangle alone.
    const Image& image = *black_;
    setRegion(opaqueRuns({0, 0, size.cx, size.cy}, [&](int x, int y) { return (image.at(x, y) >> 24) != 0; }));
}

void LayeredRenderer::showRegion()
{
    const Image &black = *black_, &white = *white_;
    const MaskRect area{clientOffset_.x, clientOffset_.y, clientOffset_.x + clientSize_.cx,
                        clientOffset_.y + clientSize_.cy};
    setRegion(opaqueRuns(area, [&](int x, int y) { return !showsBackground(black.at(x, y), white.at(x, y)); }));
}

void LayeredRenderer::setRegion(MaskShape shape)
{
    // A new region repaints the window, which renders again: only a changed
    // outline is given to the window.
    if (region_ && region_->rects == shape.rects)
        return;
    HRGN region = createRegion(shape, nullptr);
    if (!region)
        return;
    region_ = std::make_unique<MaskShape>(std::move(shape));
    SetWindowRgn(frame_, region, TRUE); // the window owns the region now
}

} // namespace lumbra
