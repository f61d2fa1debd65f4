#include "package/PackageIdentity.h"

#include "package/AnsiText.h"
#include "package/BuiltinDigest.h"
#include "package/ByteReader.h"
#include "package/ByteWriter.h"

#include <algorithm>

namespace lumbra {

namespace {

constexpr std::size_t sealSize = 32; // opaque bytes and digest

} // namespace

std::optional<std::string> checkPackageIdentity(std::span<const std::uint8_t> block)
{
    if (block.size() <= sealSize)
        return std::nullopt;
    auto sealed = block.first(block.size() - 16);
    Md5Digest digest = builtinDigest(sealed);
    if (!std::ranges::equal(digest, block.last(16)))
        return std::nullopt;
    auto text = block.first(block.size() - sealSize);
    std::u16string units;
    for (std::size_t i = 0; i + 1 < text.size(); i += 2) {
        char16_t unit = char16_t(loadU16(&text[i]));
        if (unit == 0)
            return utf16ToAnsi(units);
        units.push_back(unit);
    }
    return std::nullopt;
}

std::vector<std::uint8_t> makePackageIdentity(std::string_view text, const std::array<std::uint8_t, 16>& opaque)
{
    ByteWriter writer;
    for (char16_t unit : ansiToUtf16(text))
        writer.u16(unit);
    writer.u16(0);
    writer.bytes(opaque);
    Md5Digest digest = builtinDigest(writer.data());
    writer.bytes(digest);
    return writer.release();
}

ProfileLocation profileLocation(std::string_view identity, std::string_view applicationName)
{
    std::size_t slash = identity.find('/');
    if (slash == std::string_view::npos)
        return {std::string(identity), std::string(applicationName)};
    return {std::string(identity.substr(0, slash)), std::string(identity.substr(slash + 1))};
}

} // namespace lumbra
