#include "player/WindowPlacement.h"

#include <cmath>

namespace lumbra {

namespace {

enum WindowSize : std::uint32_t { movieSize = 0, fullScreen = 1, maximized = 2, customSize = 3, percentSize = 4 };
enum Position : std::uint32_t { customPixels = 9, customPercent = 10 };

int width(const RECT& r) { return r.right - r.left; }
int height(const RECT& r) { return r.bottom - r.top; }

SIZE windowSizeFor(const ProjectSettings& settings, const PlacementInput& input)
{
    switch (settings.windowSize) {
    case movieSize:
    case maximized:
        if (input.movie.cx > 0 && input.movie.cy > 0)
            return {input.movie.cx + input.frame.cx, input.movie.cy + input.frame.cy};
        return {width(input.window), height(input.window)};
    case customSize:
        return {settings.customWidth, settings.customHeight};
    case percentSize: // customHeight is the percentage of both sides
        return {input.screen.cx * settings.customHeight / 100, input.screen.cy * settings.customHeight / 100};
    default:
        return {0, 0};
    }
}

// The top-left corner for a window of `size`; false for an unknown anchor.
bool positionFor(const ProjectSettings& settings, SIZE screen, SIZE size, POINT& corner)
{
    const int dx = screen.cx - size.cx, dy = screen.cy - size.cy;
    if (settings.pos <= 8) {
        const int column = settings.pos % 3, row = settings.pos / 3; // 0 start, 1 centre, 2 end
        corner = {column == 0 ? 0 : column == 1 ? dx / 2 : dx, row == 0 ? 0 : row == 1 ? dy / 2 : dy};
        return true;
    }
    if (settings.pos == customPixels) {
        corner = {settings.customX, settings.customY};
        return true;
    }
    if (settings.pos == customPercent) {
        corner = {screen.cx * settings.customX / 100, screen.cy * settings.customY / 100};
        return true;
    }
    return false;
}

} // namespace

Placement computePlacement(const ProjectSettings& settings, const PlacementInput& input)
{
    Placement placement;
    if (settings.windowSize > percentSize)
        return placement; // shown where it is

    const SIZE size = windowSizeFor(settings, input);
    POINT corner;
    placement.rect = positionFor(settings, input.screen, size, corner)
                         ? RECT{corner.x, corner.y, corner.x + size.cx, corner.y + size.cy}
                         : input.window;
    placement.move = true;
    if (settings.windowSize == fullScreen) {
        placement.rect = {0, 0, input.screen.cx, input.screen.cy};
    } else if (settings.windowSize == maximized) {
        // The rectangle is the one the window returns to when restored.
        placement.repaint = false;
        placement.show = Placement::Show::maximized;
    }
    return placement;
}

// The nearest whole pixel, not the truncated one: a float ratio of 4:3 is
// a little above 4/3, and 400 / ratio would truncate to 299.
RECT keepAspectRatio(const RECT& start, const RECT& window, SIZE client, float ratio)
{
    RECT result = window;
    if (width(window) == width(start)) {
        const int frameWidth = width(window) - client.cx;
        result.right = window.left + frameWidth + static_cast<int>(std::lround(client.cy * ratio));
    } else {
        const int frameHeight = height(window) - client.cy;
        result.bottom = window.top + frameHeight + static_cast<int>(std::lround(client.cx / ratio));
    }
    return result;
}

} // namespace lumbra
