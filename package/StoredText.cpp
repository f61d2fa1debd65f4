#include "package/StoredText.h"

#include "package/AnsiText.h"

namespace lumbra {

OptionalText readStoredText(ByteReader& reader)
{
    std::uint32_t count = reader.u32();
    if (count == 0)
        return std::nullopt;
    if (count > reader.remaining() / 2)
        throw PlayerException("Unexpected end of package data");
    auto bytes = reader.bytes(std::size_t(count) * 2);
    std::u16string units;
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        char16_t unit = char16_t(loadU16(&bytes[i]));
        if (unit == 0)
            break;
        units.push_back(unit);
    }
    return utf16ToAnsi(units);
}

void writeStoredText(ByteWriter& writer, std::string_view text)
{
    std::u16string units = ansiToUtf16(text);
    writer.u32(std::uint32_t(units.size() + 1));
    for (char16_t unit : units)
        writer.u16(unit);
    writer.u16(0);
}

void writeOptionalText(ByteWriter& writer, const OptionalText& text)
{
    if (text)
        writeStoredText(writer, *text);
    else
        writer.u32(0);
}

} // namespace lumbra
