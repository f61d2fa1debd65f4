#include "control/movie/BitmapData.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace lumbra::movie {

namespace {

std::size_t pixelCount(const PixelBuffer& b) { return std::size_t(b.width()) * std::size_t(b.height()); }

// Gives a buffer's pixels back to the allowance when its last holder goes.
struct ReturnPixels {
    std::shared_ptr<std::size_t> inUse;
    void operator()(PixelBuffer* buffer) const
    {
        *inUse -= pixelCount(*buffer);
        delete buffer;
    }
};

bool validSize(int width, int height)
{
    return width >= 1 && height >= 1 && width <= BitmapData::kMaxSide && height <= BitmapData::kMaxSide;
}

// The bits of a straight ARGB colour that a channel flag names.
constexpr unsigned shiftOf(unsigned channel)
{
    switch (channel) {
    case ChannelRed:
        return 16;
    case ChannelGreen:
        return 8;
    case ChannelBlue:
        return 0;
    default:
        return 24;
    }
}

// A copy of the source's pixels under `rect` (straight ARGB), so an operation
// reading and writing the same picture sees the pixels as they were.
std::vector<Argb> straightCopy(const BitmapData& source, const PixelRect& rect)
{
    std::vector<Argb> out;
    out.reserve(std::size_t(rect.width()) * std::size_t(rect.height()));
    for (int y = rect.y0; y < rect.y1; ++y)
        for (int x = rect.x0; x < rect.x1; ++x)
            out.push_back(source.pixel32(x, y));
    return out;
}

// The "minimal standard" generator of Park and Miller: small and the same everywhere.
class NoiseSource {
public:
    explicit NoiseSource(std::int32_t seed)
    {
        auto s = std::uint32_t(seed) % kModulus;
        state_ = s == 0 ? 1 : s;
    }
    unsigned next(unsigned low, unsigned high)
    {
        state_ = std::uint32_t(std::uint64_t(state_) * 16807 % kModulus);
        return low + state_ % (high - low + 1);
    }

private:
    static constexpr std::uint32_t kModulus = 2147483647;
    std::uint32_t state_;
};

// Gradient noise on a lattice shuffled by a seed (improved Perlin noise in
// two dimensions), optionally wrapping with a period so the result tiles.
class GradientNoise {
public:
    explicit GradientNoise(NoiseSource& random)
    {
        for (int i = 0; i < 256; ++i)
            order_[std::size_t(i)] = std::uint8_t(i);
        for (int i = 255; i > 0; --i)
            std::swap(order_[std::size_t(i)], order_[random.next(0, unsigned(i))]);
    }

    // -1..1 at (x, y); the lattice repeats every periodX x periodY cells when given.
    double at(double x, double y, int periodX, int periodY) const
    {
        double fx = std::floor(x), fy = std::floor(y);
        double u = x - fx, v = y - fy;
        long long cx = (long long)fx, cy = (long long)fy;
        auto corner = [&](long long i, long long j, double dx, double dy) {
            if (periodX > 0)
                i = ((i % periodX) + periodX) % periodX;
            if (periodY > 0)
                j = ((j % periodY) + periodY) % periodY;
            unsigned h = order_[(order_[std::size_t(i & 255)] + std::size_t(j & 255)) & 255] & 7;
            // Eight directions: the axes and the diagonals.
            static constexpr double gx[8] = {1, -1, 0, 0, 0.7071, -0.7071, 0.7071, -0.7071};
            static constexpr double gy[8] = {0, 0, 1, -1, 0.7071, 0.7071, -0.7071, -0.7071};
            return gx[h] * dx + gy[h] * dy;
        };
        auto fade = [](double t) { return t * t * t * (t * (t * 6 - 15) + 10); };
        double a = corner(cx, cy, u, v), b = corner(cx + 1, cy, u - 1, v);
        double c = corner(cx, cy + 1, u, v - 1), d = corner(cx + 1, cy + 1, u - 1, v - 1);
        double su = fade(u), sv = fade(v);
        double top = a + (b - a) * su, bottom = c + (d - c) * su;
        // Two-dimensional gradient noise stays within +-sqrt(2)/2; scaled to +-1.
        return (top + (bottom - top) * sv) * 1.4142;
    }

private:
    std::array<std::uint8_t, 256> order_;
};

} // namespace

std::shared_ptr<BitmapData> BitmapData::make(int width, int height, bool transparent, Argb fill,
                                             std::shared_ptr<std::size_t> pixelsInUse)
{
    if (!validSize(width, height) || *pixelsInUse + std::size_t(width) * std::size_t(height) > kMaxPixelsInUse)
        return nullptr;
    return std::make_shared<BitmapData>(width, height, transparent, fill, std::move(pixelsInUse));
}

std::shared_ptr<BitmapData> BitmapData::fromPixels(const PixelBuffer& pixels, bool transparent,
                                                   std::shared_ptr<std::size_t> pixelsInUse)
{
    auto out = make(pixels.width(), pixels.height(), transparent, 0, std::move(pixelsInUse));
    if (out)
        *out->pixels_ = pixels;
    return out;
}

BitmapData::BitmapData(int width, int height, bool transparent, Argb fill, std::shared_ptr<std::size_t> pixelsInUse)
    : pixels_(new PixelBuffer(width, height), ReturnPixels{pixelsInUse}), transparent_(transparent),
      pixelsInUse_(std::move(pixelsInUse))
{
    *pixelsInUse_ += pixelCount(*pixels_);
    pixels_->fill(stored(fill));
}

void BitmapData::dispose()
{
    // The buffer object stays: fills holding it now find it empty.
    *pixelsInUse_ -= pixelCount(*pixels_);
    *pixels_ = PixelBuffer();
}

std::shared_ptr<BitmapData> BitmapData::clone() const { return fromPixels(*pixels_, transparent_, pixelsInUse_); }

Argb BitmapData::stored(Argb straight) const
{
    return transparent_ ? premultiply(straight) : (straight | 0xFF000000u);
}

Argb BitmapData::pixel32(int x, int y) const
{
    if (x < 0 || y < 0 || x >= width() || y >= height())
        return 0;
    return unpremultiply(pixels_->at(x, y));
}

void BitmapData::setPixel32(int x, int y, Argb color)
{
    if (x >= 0 && y >= 0 && x < width() && y < height())
        pixels_->at(x, y) = stored(color);
}

void BitmapData::setPixel(int x, int y, std::uint32_t rgb)
{
    if (x >= 0 && y >= 0 && x < width() && y < height())
        pixels_->at(x, y) = stored((pixel32(x, y) & 0xFF000000u) | (rgb & 0xFFFFFFu));
}

void BitmapData::fillRect(const PixelRect& rect, Argb color)
{
    PixelRect r = intersect(rect, bounds());
    Argb c = stored(color);
    for (int y = r.y0; y < r.y1; ++y)
        std::fill(pixels_->row(y) + r.x0, pixels_->row(y) + r.x1, c);
}

void BitmapData::floodFill(int x, int y, Argb color)
{
    if (x < 0 || y < 0 || x >= width() || y >= height())
        return;
    Argb from = pixels_->at(x, y), to = stored(color);
    if (from == to)
        return;
    // Span filling: each entry is a pixel whose row run is still to be filled.
    std::vector<std::pair<int, int>> pending{{x, y}};
    while (!pending.empty()) {
        auto [px, py] = pending.back();
        pending.pop_back();
        Argb* row = pixels_->row(py);
        if (row[px] != from)
            continue;
        int left = px, right = px;
        while (left > 0 && row[left - 1] == from)
            --left;
        while (right + 1 < width() && row[right + 1] == from)
            ++right;
        std::fill(row + left, row + right + 1, to);
        for (int ny : {py - 1, py + 1}) {
            if (ny < 0 || ny >= height())
                continue;
            const Argb* next = pixels_->row(ny);
            for (int i = left; i <= right; ++i)
                if (next[i] == from && (i == left || next[i - 1] != from))
                    pending.emplace_back(i, ny);
        }
    }
}

void BitmapData::colorTransform(const PixelRect& rect, const ColorTransform& transform)
{
    PixelRect r = intersect(rect, bounds());
    for (int y = r.y0; y < r.y1; ++y)
        for (int x = r.x0; x < r.x1; ++x)
            pixels_->at(x, y) = stored(transform.apply(pixel32(x, y)));
}

void BitmapData::scroll(int dx, int dy)
{
    int w = width(), h = height();
    if (dx >= w || dx <= -w || dy >= h || dy <= -h || (dx == 0 && dy == 0))
        return;
    PixelBuffer before = *pixels_;
    for (int y = std::max(0, dy); y < std::min(h, h + dy); ++y)
        std::copy(before.row(y - dy) + std::max(0, -dx), before.row(y - dy) + std::min(w, w - dx),
                  pixels_->row(y) + std::max(0, dx));
}

void BitmapData::noise(std::int32_t seed, unsigned low, unsigned high, unsigned channels, bool gray)
{
    low = std::min(low, 255u);
    high = std::clamp(high, low, 255u);
    NoiseSource random(seed);
    for (int y = 0; y < height(); ++y)
        for (int x = 0; x < width(); ++x) {
            unsigned a = 255, r = 0, g = 0, b = 0;
            if (gray) {
                r = g = b = random.next(low, high);
            } else {
                if (channels & ChannelRed)
                    r = random.next(low, high);
                if (channels & ChannelGreen)
                    g = random.next(low, high);
                if (channels & ChannelBlue)
                    b = random.next(low, high);
            }
            if (channels & ChannelAlpha)
                a = random.next(low, high);
            pixels_->at(x, y) = stored(argb(a, r, g, b));
        }
}

void BitmapData::perlinNoise(const PerlinSettings& p)
{
    // One lattice per channel, so the channels differ; all from the one seed.
    NoiseSource random(p.seed);
    std::array<std::optional<GradientNoise>, 4> lattices; // red, green, blue, alpha
    for (auto& lattice : lattices)
        lattice.emplace(random);
    // Bases are kept where lattice positions stay well within integer range.
    auto positive = [](double v) { return std::isfinite(v) && v > 0 ? std::clamp(v, 1e-3, 1e6) : 1.0; };
    double baseX = positive(p.baseX), baseY = positive(p.baseY);
    int octaves = std::clamp(p.octaves, 0, kMaxOctaves);
    auto value = [&](const GradientNoise& noise, int x, int y) {
        double total = 0, amplitude = 1, frequency = 1, weight = 0;
        for (int o = 0; o < octaves; ++o) {
            Point shift = std::size_t(o) < p.offsets.size() ? p.offsets[std::size_t(o)] : Point{};
            double sx = std::isfinite(shift.x) ? std::clamp(shift.x, -1e6, 1e6) : 0;
            double sy = std::isfinite(shift.y) ? std::clamp(shift.y, -1e6, 1e6) : 0;
            // Stitching: the lattice repeats after the picture's width and height.
            auto period = [&](int size, double base) {
                return p.stitch ? int(std::lround(std::clamp(size * frequency / base, 1.0, 1e9))) : 0;
            };
            int periodX = period(width(), baseX), periodY = period(height(), baseY);
            double scaleX = p.stitch ? periodX / double(width()) : frequency / baseX;
            double scaleY = p.stitch ? periodY / double(height()) : frequency / baseY;
            double n = noise.at((x + sx) * scaleX, (y + sy) * scaleY, periodX, periodY);
            total += (p.fractal ? n : std::abs(n)) * amplitude;
            weight += amplitude;
            amplitude /= 2;
            frequency *= 2;
        }
        if (weight == 0)
            return 0u;
        double v = total / weight;
        return unsigned(std::lround(std::clamp(p.fractal ? (v + 1) * 127.5 : v * 255, 0.0, 255.0)));
    };
    for (int y = 0; y < height(); ++y)
        for (int x = 0; x < width(); ++x) {
            unsigned c[4] = {0, 0, 0, 255};
            if (p.gray) {
                c[0] = c[1] = c[2] = value(*lattices[0], x, y);
            } else {
                for (unsigned k = 0; k < 3; ++k)
                    if (p.channels & (ChannelRed << k))
                        c[k] = value(*lattices[k], x, y);
            }
            if (p.channels & ChannelAlpha)
                c[3] = value(*lattices[3], x, y);
            pixels_->at(x, y) = stored(argb(c[3], c[0], c[1], c[2]));
        }
}

PixelRect BitmapData::colorBounds(std::uint32_t mask, std::uint32_t color, bool find) const
{
    PixelRect found{width(), height(), 0, 0};
    for (int y = 0; y < height(); ++y)
        for (int x = 0; x < width(); ++x)
            if (((pixel32(x, y) & mask) == (color & mask)) == find) {
                found.x0 = std::min(found.x0, x);
                found.y0 = std::min(found.y0, y);
                found.x1 = std::max(found.x1, x + 1);
                found.y1 = std::max(found.y1, y + 1);
            }
    return found.empty() ? PixelRect{} : found;
}

void BitmapData::composite(const PixelBuffer& layer, const PixelRect& clip, BlendMode mode)
{
    PixelRect r = intersect(intersect(clip, bounds()), {0, 0, layer.width(), layer.height()});
    for (int y = r.y0; y < r.y1; ++y)
        for (int x = r.x0; x < r.x1; ++x) {
            Argb src = layer.at(x, y);
            // Where nothing was drawn only the alpha mode changes the picture.
            if (src == 0 && mode != BlendMode::Alpha)
                continue;
            Argb& dst = pixels_->at(x, y);
            dst = blendPixel(dst, src, mode);
            if (!transparent_)
                dst |= 0xFF000000u;
        }
}

void BitmapData::replace(const PixelBuffer& layer, int dx, int dy)
{
    PixelRect r = intersect({dx, dy, dx + layer.width(), dy + layer.height()}, bounds());
    for (int y = r.y0; y < r.y1; ++y)
        for (int x = r.x0; x < r.x1; ++x)
            pixels_->at(x, y) = transparent_ ? layer.at(x - dx, y - dy) : stored(unpremultiply(layer.at(x - dx, y - dy)));
}

PixelRect BitmapData::clipTransfer(const Transfer& t, int& dx, int& dy) const
{
    PixelRect src = intersect(t.rect, t.source.bounds());
    // Where the clipped source lands, cut to this picture, carried back.
    PixelRect dst{t.dx + (src.x0 - t.rect.x0), t.dy + (src.y0 - t.rect.y0), 0, 0};
    dst.x1 = dst.x0 + src.width();
    dst.y1 = dst.y0 + src.height();
    PixelRect cut = intersect(dst, bounds());
    if (cut.empty())
        return {};
    src = {src.x0 + (cut.x0 - dst.x0), src.y0 + (cut.y0 - dst.y0), 0, 0};
    src.x1 = src.x0 + cut.width();
    src.y1 = src.y0 + cut.height();
    dx = cut.x0;
    dy = cut.y0;
    return src;
}

// The source is copied before anything is written, so a picture may
// transfer onto itself.
template <class Visit> void BitmapData::eachTransferred(const Transfer& t, Visit visit)
{
    int dx = 0, dy = 0;
    PixelRect src = clipTransfer(t, dx, dy);
    std::vector<Argb> values = straightCopy(t.source, src);
    std::size_t i = 0;
    for (int y = 0; y < src.height(); ++y)
        for (int x = 0; x < src.width(); ++x, ++i)
            visit(dx + x, dy + y, values[i]);
}

void BitmapData::copyPixels(const Transfer& t, const BitmapData* alpha, int ax, int ay, bool merge)
{
    eachTransferred(t, [&](int x, int y, Argb c) {
        if (!t.source.transparent())
            c |= 0xFF000000u;
        if (alpha) {
            // Outside the alpha picture nothing shows.
            unsigned a = alphaOf(alpha->pixel32(ax + x - t.dx, ay + y - t.dy));
            c = (c & 0xFFFFFFu) | (Argb(mul255(alphaOf(c), a)) << 24);
        }
        Argb& dst = pixels_->at(x, y);
        if (merge)
            dst = blendOver(dst, premultiply(c));
        else
            dst = stored(c);
        if (!transparent_)
            dst |= 0xFF000000u;
    });
}

void BitmapData::copyChannel(const Transfer& t, unsigned sourceChannel, unsigned destChannel)
{
    unsigned from = shiftOf(sourceChannel), to = shiftOf(destChannel);
    eachTransferred(t, [&](int x, int y, Argb source) {
        Argb value = (source >> from) & 0xFF;
        if (from == 24 && !t.source.transparent())
            value = 0xFF;
        setPixel32(x, y, (pixel32(x, y) & ~(0xFFu << to)) | (value << to));
    });
}

void BitmapData::merge(const Transfer& t, const std::array<unsigned, 4>& argbMultipliers)
{
    eachTransferred(t, [&](int x, int y, Argb a) {
        Argb b = pixel32(x, y), out = 0;
        for (unsigned k = 0; k < 4; ++k) {
            unsigned shift = 24 - 8 * k, mult = std::min(argbMultipliers[k], 256u);
            unsigned value = (((a >> shift) & 0xFF) * mult + ((b >> shift) & 0xFF) * (256 - mult)) / 256;
            out |= Argb(value) << shift;
        }
        setPixel32(x, y, out);
    });
}

void BitmapData::paletteMap(const Transfer& t,
                            const std::array<std::optional<std::array<std::uint32_t, 256>>, 4>& argbTables)
{
    eachTransferred(t, [&](int x, int y, Argb source) {
        Argb out = 0;
        for (unsigned k = 0; k < 4; ++k) {
            unsigned shift = 24 - 8 * k, value = (source >> shift) & 0xFF;
            out += argbTables[k] ? (*argbTables[k])[value] : Argb(value) << shift;
        }
        setPixel32(x, y, out);
    });
}

std::optional<unsigned> BitmapData::threshold(const Transfer& t, std::u16string_view op, std::uint32_t threshold,
                                              Argb color, std::uint32_t mask, bool copySource)
{
    bool (*test)(std::uint32_t, std::uint32_t) = nullptr;
    if (op == u"<")
        test = [](std::uint32_t a, std::uint32_t b) { return a < b; };
    else if (op == u"<=")
        test = [](std::uint32_t a, std::uint32_t b) { return a <= b; };
    else if (op == u">")
        test = [](std::uint32_t a, std::uint32_t b) { return a > b; };
    else if (op == u">=")
        test = [](std::uint32_t a, std::uint32_t b) { return a >= b; };
    else if (op == u"==")
        test = [](std::uint32_t a, std::uint32_t b) { return a == b; };
    else if (op == u"!=")
        test = [](std::uint32_t a, std::uint32_t b) { return a != b; };
    if (!test)
        return std::nullopt;
    unsigned passed = 0;
    eachTransferred(t, [&](int x, int y, Argb source) {
        if (test(source & mask, threshold & mask)) {
            setPixel32(x, y, color);
            ++passed;
        } else if (copySource) {
            setPixel32(x, y, source);
        }
    });
    return passed;
}

bool BitmapData::opaqueWithin(const PixelRect& area, unsigned alphaThreshold) const
{
    PixelRect r = intersect(area, bounds());
    for (int y = r.y0; y < r.y1; ++y)
        for (int x = r.x0; x < r.x1; ++x)
            if (alphaOf(pixels_->at(x, y)) >= alphaThreshold)
                return true;
    return false;
}

bool BitmapData::overlaps(unsigned threshold, const BitmapData& other, int dx, int dy, unsigned otherThreshold) const
{
    PixelRect r = intersect(bounds(), {dx, dy, dx + other.width(), dy + other.height()});
    for (int y = r.y0; y < r.y1; ++y)
        for (int x = r.x0; x < r.x1; ++x)
            if (alphaOf(pixels_->at(x, y)) >= threshold &&
                alphaOf(other.pixels_->at(x - dx, y - dy)) >= otherThreshold)
                return true;
    return false;
}

BitmapData::Comparison BitmapData::compare(const BitmapData& other) const
{
    if (width() != other.width())
        return Comparison::OtherWidth;
    if (height() != other.height())
        return Comparison::OtherHeight;
    return std::equal(pixels_->data(), pixels_->data() + std::size_t(width()) * height(), other.pixels_->data())
               ? Comparison::Equal
               : Comparison::Different;
}

std::shared_ptr<BitmapData> BitmapData::difference(const BitmapData& other) const
{
    auto out = make(width(), height(), true, 0, pixelsInUse_);
    if (!out)
        return nullptr;
    for (int y = 0; y < height(); ++y)
        for (int x = 0; x < width(); ++x) {
            Argb a = pixel32(x, y), b = other.pixel32(x, y);
            if (a == b)
                continue;
            auto channel = [&](unsigned shift) { return (((a >> shift) & 0xFF) - ((b >> shift) & 0xFF)) & 0xFF; };
            if ((a & 0xFFFFFFu) != (b & 0xFFFFFFu))
                out->setPixel32(x, y, argb(0xFF, channel(16), channel(8), channel(0)));
            else
                out->setPixel32(x, y, argb(channel(24), 0xFF, 0xFF, 0xFF));
        }
    return out;
}

} // namespace lumbra::movie
