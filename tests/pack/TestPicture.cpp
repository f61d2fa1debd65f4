#include "TestPicture.h"

#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STB_IMAGE_WRITE_STATIC
#include <stb_image_write.h>

namespace lumbra::test {

void writePng(const std::filesystem::path& file, const Picture& picture, bool withAlpha)
{
    const int channels = withAlpha ? 4 : 3;
    std::vector<unsigned char> bytes;
    for (std::uint32_t pixel : picture.pixels) {
        bytes.push_back(static_cast<unsigned char>(pixel >> 16));
        bytes.push_back(static_cast<unsigned char>(pixel >> 8));
        bytes.push_back(static_cast<unsigned char>(pixel));
        if (withAlpha)
            bytes.push_back(static_cast<unsigned char>(pixel >> 24));
    }
    stbi_write_png(file.string().c_str(), picture.width, picture.height, channels, bytes.data(),
                   picture.width * channels);
}

} // namespace lumbra::test
