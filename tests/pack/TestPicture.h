// Test pictures: RGBA pixels drawn by a test and written as PNG files by an
// independent encoder (stb_image_write), for the mask tool to read.
#pragma once

#include <cstdint>
#include <filesystem>
#include <vector>

namespace lumbra::test {

struct Picture {
    int width = 0, height = 0;
    std::vector<std::uint32_t> pixels; // 0xAARRGGBB, rows from the top

    Picture(int w, int h, std::uint32_t fill) : width(w), height(h), pixels(std::size_t(w) * h, fill) {}
    std::uint32_t& at(int x, int y) { return pixels[std::size_t(y) * width + x]; }
    std::uint32_t at(int x, int y) const { return pixels[std::size_t(y) * width + x]; }
};

// Writes `picture` as PNG, with an alpha channel unless `withAlpha` is false.
void writePng(const std::filesystem::path& file, const Picture& picture, bool withAlpha = true);

} // namespace lumbra::test
