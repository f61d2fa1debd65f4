#include "player/MaskTransform.h"

#include <algorithm>

namespace lumbra {

std::optional<FlashScale> flashScaleFor(std::uint32_t scaleMode)
{
    switch (scaleMode) {
    case 0x1:
        return FlashScale::showAll;
    case 0x2:
        return FlashScale::noBorder;
    case 0x100:
        return FlashScale::exactFit;
    case 0x10:
        return FlashScale::noScale;
    default:
        return std::nullopt;
    }
}

XFORM maskTransform(FlashScale scale, SIZE client, SIZE movie, POINT clientOffset)
{
    double scaleX = 1, scaleY = 1;
    int offsetX = 0, offsetY = 0;
    if (movie.cx > 0 && movie.cy > 0) {
        const double fx = double(client.cx) / movie.cx, fy = double(client.cy) / movie.cy;
        switch (scale) {
        case FlashScale::showAll:
        case FlashScale::noBorder: {
            // Both axes by one factor, the movie centred.
            const double f = scale == FlashScale::showAll ? std::min(fx, fy) : std::max(fx, fy);
            scaleX = scaleY = f;
            offsetX = static_cast<int>((client.cx - static_cast<int>(f * movie.cx)) * 0.5);
            offsetY = static_cast<int>((client.cy - static_cast<int>(f * movie.cy)) * 0.5);
            break;
        }
        case FlashScale::exactFit:
            scaleX = fx;
            scaleY = fy;
            break;
        case FlashScale::noScale:
            offsetX = static_cast<int>((client.cx - movie.cx) * 0.5);
            offsetY = static_cast<int>((client.cy - movie.cy) * 0.5);
            break;
        }
    }
    XFORM transform{};
    transform.eM11 = static_cast<FLOAT>(scaleX);
    transform.eM22 = static_cast<FLOAT>(scaleY);
    transform.eDx = static_cast<FLOAT>(offsetX + clientOffset.x);
    transform.eDy = static_cast<FLOAT>(offsetY + clientOffset.y);
    return transform;
}

} // namespace lumbra
