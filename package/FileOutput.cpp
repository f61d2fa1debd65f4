#include "package/FileOutput.h"

#include <fstream>

namespace lumbra {

bool writeWholeFile(const std::filesystem::path& path, std::span<const std::uint8_t> bytes)
{
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        if (!out)
            return false;
        out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
        if (out.flush())
            return true;
    }
    std::error_code ignored;
    std::filesystem::remove(path, ignored);
    return false;
}

} // namespace lumbra
