#include "host/win32/DisplayModes.h"

namespace lumbra {

namespace {

// A DirectDraw object for the primary display, or null.
IDirectDraw* createDirectDraw()
{
    IDirectDraw* directDraw = nullptr;
    if (FAILED(CoCreateInstance(CLSID_DirectDraw, nullptr, CLSCTX_ALL, IID_IDirectDraw,
                                reinterpret_cast<void**>(&directDraw))))
        return nullptr;
    if (FAILED(directDraw->Initialize(nullptr))) {
        directDraw->Release();
        return nullptr;
    }
    return directDraw;
}

} // namespace

bool DisplayModes::ensureDirectDraw()
{
    if (!directDraw_)
        directDraw_.reset(createDirectDraw());
    return bool(directDraw_);
}

bool DisplayModes::setMode(HWND owner, DWORD width, DWORD height, DWORD bitsPerPixel)
{
    if (!ensureDirectDraw())
        return false;
    if (restored_) {
        if (FAILED(directDraw_->SetCooperativeLevel(owner, DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN)))
            return false;
        restored_ = false;
    }
    return SUCCEEDED(directDraw_->SetDisplayMode(width, height, bitsPerPixel));
}

bool DisplayModes::restore(HWND owner)
{
    if (!directDraw_)
        return true;
    if (FAILED(directDraw_->SetCooperativeLevel(owner, DDSCL_NORMAL)))
        return false;
    const bool restoredMode = SUCCEEDED(directDraw_->RestoreDisplayMode());
    restored_ = true;
    return restoredMode;
}

bool DisplayModes::available() const
{
    if (directDraw_)
        return true;
    IDirectDraw* probe = createDirectDraw();
    if (!probe)
        return false;
    probe->Release();
    return true;
}

} // namespace lumbra
