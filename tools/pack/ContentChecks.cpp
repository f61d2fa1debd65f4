#include "tools/pack/ContentChecks.h"

#include "package/ByteReader.h"
#include "package/PeLayout.h"
#include "package/PlayerException.h"

#include <string_view>

namespace lumbra::pack {

namespace {

constexpr std::size_t movieHeaderSize = 8;     // signature, version, u32 file length
constexpr std::size_t regionHeaderSize = 32;   // RGNDATAHEADER
constexpr std::uint32_t regionRectangles = 1;  // RDH_RECTANGLES
constexpr std::size_t rectangleSize = 16;
constexpr std::uint16_t machineI386 = 0x14C;
constexpr std::uint16_t dllImage = 0x2000;
constexpr std::uint32_t exportDirectory = 0;
constexpr std::string_view classFactoryExport = "DllGetClassObject";

bool startsWith(std::span<const std::uint8_t> bytes, std::string_view text)
{
    return bytes.size() >= text.size() && std::equal(text.begin(), text.end(), bytes.begin());
}

// Whether the export directory names the function (names are sorted, but a
// linear walk is plenty for one check).
bool exportsName(std::span<const std::uint8_t> image, const PeLayout& layout, std::string_view wanted)
{
    if (layout.dataDirectoryCount <= exportDirectory)
        return false;
    std::size_t entry = layout.directoryOffset(exportDirectory);
    auto directory = layout.mapRva(image, loadU32(&image[entry]), 40);
    if (!directory)
        return false;
    std::uint32_t count = loadU32(directory->data() + 24);
    auto names = layout.mapRva(image, loadU32(directory->data() + 32), std::uint32_t(std::min<std::uint64_t>(
                                                                         std::uint64_t(count) * 4, 0xFFFFFFFF)));
    if (!names)
        return false;
    for (std::uint32_t i = 0; i < count; ++i) {
        auto name = layout.mapRva(image, loadU32(names->data() + 4 * i), std::uint32_t(wanted.size() + 1));
        if (name && startsWith(*name, wanted) && (*name)[wanted.size()] == 0)
            return true;
    }
    return false;
}

} // namespace

std::optional<std::string> movieProblem(std::span<const std::uint8_t> file)
{
    if (!startsWith(file, "FWS") && !startsWith(file, "CWS"))
        return "not a Flash movie: it does not begin with \"FWS\" or \"CWS\"";
    if (file.size() < movieHeaderSize)
        return "not a Flash movie: the header is cut short";
    std::uint32_t length = loadU32(&file[4]);
    if (length < movieHeaderSize)
        return "not a Flash movie: the header gives a length of " + std::to_string(length) + " bytes";
    if (file[0] == 'F' && length > file.size())
        return "the movie is cut short: its header gives " + std::to_string(length) + " bytes, the file has " +
               std::to_string(file.size());
    return std::nullopt;
}

std::optional<std::string> maskProblem(std::span<const std::uint8_t> file)
{
    if (file.size() < 4 + regionHeaderSize)
        return "not a mask: shorter than a region header";
    std::uint32_t count = loadU32(&file[0]);
    if (count != file.size() - 4)
        return "not a mask: it announces " + std::to_string(count) + " bytes of region data and has " +
               std::to_string(file.size() - 4);
    const std::uint8_t* header = &file[4];
    if (loadU32(header) != regionHeaderSize || loadU32(header + 4) != regionRectangles)
        return "not a mask: the region header is not a rectangle list";
    std::uint64_t rectangles = loadU32(header + 8);
    if (regionHeaderSize + rectangles * rectangleSize > count)
        return "not a mask: its " + std::to_string(rectangles) + " rectangles run past the end";
    return std::nullopt;
}

std::optional<std::string> controlLibraryProblem(std::span<const std::uint8_t> file)
{
    PeLayout layout;
    try {
        layout = parsePeLayout(file);
    } catch (const PlayerException& error) {
        return "not a control library: " + error.message();
    }
    if (loadU16(&file[layout.fileHeader]) != machineI386)
        return "not a control library: not a 32-bit x86 program";
    if ((loadU16(&file[layout.fileHeader + 18]) & dllImage) == 0)
        return "not a control library: a program, not a DLL";
    if (!exportsName(file, layout, classFactoryExport))
        return "not a control library: it does not export " + std::string(classFactoryExport);
    return std::nullopt;
}

} // namespace lumbra::pack
