// A picture that scripts make and change pixel by pixel (flash.display.BitmapData).
// Pixels are stored premultiplied, as every picture of the player is, so a
// colour read back is the one written only as far as its alpha lets it
// survive: at alpha 0 every colour reads back as 0.
//
// The pixels live in one buffer for the picture's whole life: fills and
// attached bitmaps share it, so what a script changes shows on the next frame.
// Every buffer counts against one allowance of pixels per movie until the last
// of its holders lets it go, so a movie making pictures in a loop cannot
// exhaust memory, not even by keeping them only on the stage.
#pragma once

#include "control/movie/ColorTransform.h"
#include "control/movie/Filters.h"
#include "control/movie/PixelBuffer.h"
#include "control/movie/Rasterizer.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

namespace lumbra::movie {

// Channel bits as scripts name them (BitmapDataChannel).
enum Channel : unsigned { ChannelRed = 1, ChannelGreen = 2, ChannelBlue = 4, ChannelAlpha = 8 };

class BitmapData {
public:
    // The largest side a picture may have.
    static constexpr int kMaxSide = 2880;
    // The pixels all pictures of one movie may hold together (96 MB).
    static constexpr std::size_t kMaxPixelsInUse = std::size_t(24) << 20;

    // A picture of width x height pixels filled with `fill` (straight ARGB;
    // opaque pictures ignore its alpha), or null when the size is out of range
    // or the allowance has no room for it.
    static std::shared_ptr<BitmapData> make(int width, int height, bool transparent, Argb fill,
                                            std::shared_ptr<std::size_t> pixelsInUse);
    // A picture holding a copy of `pixels` (premultiplied); null as above.
    static std::shared_ptr<BitmapData> fromPixels(const PixelBuffer& pixels, bool transparent,
                                                  std::shared_ptr<std::size_t> pixelsInUse);
    BitmapData(int width, int height, bool transparent, Argb fill, std::shared_ptr<std::size_t> pixelsInUse);
    BitmapData(const BitmapData&) = delete;
    BitmapData& operator=(const BitmapData&) = delete;

    // A disposed picture has no pixels and draws nothing.
    bool disposed() const { return pixels_->empty(); }
    void dispose();
    int width() const { return pixels_->width(); }
    int height() const { return pixels_->height(); }
    bool transparent() const { return transparent_; }
    PixelRect bounds() const { return {0, 0, width(), height()}; }
    // The buffer fills and attached bitmaps draw from.
    std::shared_ptr<const PixelBuffer> pixels() const { return pixels_; }
    PixelBuffer& buffer() { return *pixels_; }
    std::shared_ptr<BitmapData> clone() const;

    // Straight ARGB of one pixel; 0 outside the picture.
    Argb pixel32(int x, int y) const;
    // Writes a straight ARGB colour; opaque pictures keep alpha 255.
    void setPixel32(int x, int y, Argb color);
    // Writes the colour, keeping the pixel's alpha.
    void setPixel(int x, int y, std::uint32_t rgb);

    void fillRect(const PixelRect& rect, Argb color);
    // Fills the 4-connected area of (x, y)'s colour.
    void floodFill(int x, int y, Argb color);
    void colorTransform(const PixelRect& rect, const ColorTransform& transform);
    // Moves the content; what it leaves uncovered keeps its pixels.
    void scroll(int dx, int dy);
    // Random values low..high in the given channels (gray: one value for red,
    // green and blue); alpha 255 unless alpha is among the channels.
    void noise(std::int32_t seed, unsigned low, unsigned high, unsigned channels, bool gray);
    // Perlin noise: octaves of smooth gradient noise, the first with features
    // baseX x baseY pixels apart, each next one twice as fine and half as
    // strong, the octave's `offsets` entry (if any) moving it. Fractal noise
    // centres on 128; turbulence sums the octaves' magnitudes up from 0.
    // Stitching makes the picture tile seamlessly.
    struct PerlinSettings {
        double baseX = 1, baseY = 1;
        int octaves = 1;
        std::int32_t seed = 0;
        bool stitch = false, fractal = false;
        unsigned channels = ChannelRed | ChannelGreen | ChannelBlue;
        bool gray = false;
        std::vector<Point> offsets;
    };
    // The most octaves drawn: past this each is finer than a pixel anyway.
    static constexpr int kMaxOctaves = 24;
    void perlinNoise(const PerlinSettings& settings);
    // The smallest rectangle holding every pixel whose colour under `mask`
    // is (find) or is not (!find) `color`; empty when none.
    PixelRect colorBounds(std::uint32_t mask, std::uint32_t color, bool find) const;
    // Puts a premultiplied layer's pixels in place of the picture's, its top
    // left at (dx, dy); what falls outside is left out.
    void replace(const PixelBuffer& layer, int dx, int dy);
    // Blends a premultiplied layer of the picture's size onto it within `clip`.
    void composite(const PixelBuffer& layer, const PixelRect& clip, BlendMode mode);

    // The operations taking a source: `rect` in the source, placed at (dx, dy) here.
    struct Transfer {
        const BitmapData& source;
        PixelRect rect;
        int dx = 0, dy = 0;
    };
    // `alpha`, when given, multiplies the source's alpha by its own at
    // (ax, ay) onwards; merge blends over what is here instead of replacing it.
    void copyPixels(const Transfer& t, const BitmapData* alpha, int ax, int ay, bool merge);
    void copyChannel(const Transfer& t, unsigned sourceChannel, unsigned destChannel);
    // Per channel: (source * mult + here * (256 - mult)) / 256.
    void merge(const Transfer& t, const std::array<unsigned, 4>& argbMultipliers);
    // Each source channel picks a value from its table (identity for a missing
    // table); the four values are added.
    void paletteMap(const Transfer& t, const std::array<std::optional<std::array<std::uint32_t, 256>>, 4>& argbTables);
    // Pixels whose source colour under `mask` passes `op` against `threshold`
    // take `color`; the others take the source pixel when `copySource`. Returns
    // how many passed, or nothing for an unknown operation.
    std::optional<unsigned> threshold(const Transfer& t, std::u16string_view op, std::uint32_t threshold,
                                      Argb color, std::uint32_t mask, bool copySource);

    // Whether any pixel of `area` (this picture's coordinates) has at least
    // `alphaThreshold` alpha.
    bool opaqueWithin(const PixelRect& area, unsigned alphaThreshold) const;
    // Whether a pixel of this picture with at least `threshold` alpha lies on
    // one of `other` (placed at (dx, dy) here) with at least `otherThreshold`.
    bool overlaps(unsigned threshold, const BitmapData& other, int dx, int dy, unsigned otherThreshold) const;

    // compare(): 0 for equal pictures, -3 / -4 for other widths / heights, else
    // a picture of the differences (RGB differences opaque; alpha alone as 0xZZFFFFFF).
    enum class Comparison { Equal, OtherWidth, OtherHeight, Different };
    Comparison compare(const BitmapData& other) const;
    std::shared_ptr<BitmapData> difference(const BitmapData& other) const;

private:
    // Clips a transfer to both pictures; the source's rectangle comes back.
    PixelRect clipTransfer(const Transfer& t, int& dx, int& dy) const;
    // Calls visit(x, y, source) for each pixel of a transfer that lands here,
    // (x, y) in this picture, the source pixel straight ARGB.
    template <class Visit> void eachTransferred(const Transfer& t, Visit visit);
    Argb stored(Argb straight) const;

    std::shared_ptr<PixelBuffer> pixels_;
    bool transparent_;
    std::shared_ptr<std::size_t> pixelsInUse_;
};

} // namespace lumbra::movie
