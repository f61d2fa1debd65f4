// Owning wrappers of the GDI handles the control draws with.
#pragma once

#include <windows.h>

#include <utility>

namespace lumbra::win32 {

// A pen, brush, font, bitmap or region: deleted with DeleteObject.
template <class Handle>
class GdiObject {
public:
    GdiObject() = default;
    explicit GdiObject(Handle h) : h_(h) {}
    GdiObject(const GdiObject&) = delete;
    GdiObject& operator=(const GdiObject&) = delete;
    GdiObject(GdiObject&& other) noexcept : h_(std::exchange(other.h_, nullptr)) {}
    GdiObject& operator=(GdiObject&& other) noexcept {
        std::swap(h_, other.h_);
        return *this;
    }
    ~GdiObject() {
        if (h_) DeleteObject(h_);
    }
    Handle get() const { return h_; }
    explicit operator bool() const { return h_ != nullptr; }

private:
    Handle h_ = nullptr;
};

// Selects an object into a device context for the lifetime of the guard.
class Selection {
public:
    Selection(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
    Selection(const Selection&) = delete;
    Selection& operator=(const Selection&) = delete;
    ~Selection() { SelectObject(dc_, previous_); }

private:
    HDC dc_;
    HGDIOBJ previous_;
};

// A memory device context holding a bitmap compatible with `reference`: the
// back buffer that a frame is drawn into before it reaches its target.
class Offscreen {
public:
    Offscreen(HDC reference, int width, int height)
        : dc_(CreateCompatibleDC(reference)),
          bitmap_(CreateCompatibleBitmap(reference, width, height)) {
        if (dc_ && bitmap_) previous_ = SelectObject(dc_, bitmap_.get());
    }
    Offscreen(const Offscreen&) = delete;
    Offscreen& operator=(const Offscreen&) = delete;
    ~Offscreen() {
        if (previous_) SelectObject(dc_, previous_);
        if (dc_) DeleteDC(dc_);
    }

    bool valid() const { return previous_ != nullptr; }
    HDC dc() const { return dc_; }

private:
    HDC dc_;
    GdiObject<HBITMAP> bitmap_;
    HGDIOBJ previous_ = nullptr;
};

} // namespace lumbra::win32
