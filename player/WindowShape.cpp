#include "player/WindowShape.h"

#include "player/LayoutMessages.h"
#include "player/MaskTransform.h"

#include <fstream>
#include <iterator>
#include <optional>

namespace lumbra {

namespace {

constexpr std::uint32_t kShapeTransparent = 1, kShapeMask = 2, kShapeTransparentToo = 3;
// A mask larger than this is not a mask a window could use.
constexpr std::uintmax_t kLargestMaskFile = 64u << 20;

std::optional<MaskShape> readMask(const std::filesystem::path& file)
{
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(file, error);
    if (error || size > kLargestMaskFile)
        return std::nullopt;
    std::ifstream in(file, std::ios::binary);
    const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return readMaskFile(bytes);
}

HRGN maskRegion(HWND frame, const ProjectSettings& settings, const std::filesystem::path& workingFolder, SIZE movie)
{
    const std::optional<MaskShape> mask =
        readMask(workingFolder / (settings.shapeMaskFile.str() + ".msk"));
    if (!mask)
        return nullptr;
    RECT window, client;
    GetWindowRect(frame, &window);
    GetClientRect(frame, &client);
    POINT clientOrigin{0, 0};
    ClientToScreen(frame, &clientOrigin);
    const POINT offset{clientOrigin.x - window.left, clientOrigin.y - window.top};
    const XFORM transform = maskTransform(flashScaleFor(settings.scaleMode).value_or(FlashScale::showAll),
                                          {client.right, client.bottom}, movie, offset);
    return createRegion(*mask, &transform);
}

} // namespace

HRGN createRegion(const MaskShape& shape, const XFORM* transform)
{
    const std::vector<std::uint8_t> data = regionData(shape);
    return ExtCreateRegion(transform, static_cast<DWORD>(data.size()), reinterpret_cast<const RGNDATA*>(data.data()));
}

void applyShape(HWND frame, HWND host, const ProjectSettings& settings, const std::filesystem::path& workingFolder,
                SIZE movie)
{
    if (settings.windowShape == kShapeMask) {
        // The window owns the region once it is set.
        SetWindowRgn(frame, maskRegion(frame, settings, workingFolder, movie), TRUE);
        RedrawWindow(frame, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    } else {
        SetWindowRgn(frame, nullptr, TRUE);
    }
    const bool transparent = settings.windowShape == kShapeTransparent || settings.windowShape == kShapeTransparentToo;
    SendMessageA(host, kTransparentModeMessage, transparent ? 1 : 0, 0);
}

} // namespace lumbra
