#include "package/MenuRecord.h"

#include "package/ByteReader.h"
#include "package/ByteWriter.h"
#include "package/PlayerException.h"

#include <string>

namespace lumbra {

namespace {

// Flags, two carried values and three empty texts: the least an item takes,
// so a count is checked against the bytes left before anything is allocated.
constexpr std::size_t kSmallestItem = 6 * 4;

class MenuReader {
public:
    explicit MenuReader(std::span<const std::uint8_t> bytes) : reader_(bytes) {}

    MenuRecord read()
    {
        MenuRecord menu;
        for (std::uint32_t& value : menu.carried)
            value = reader_.u32();
        for (OptionalText& text : menu.texts)
            text = readStoredText(reader_);
        menu.items = items(1);
        return menu;
    }

private:
    std::vector<MenuItemRecord> items(int depth)
    {
        if (depth > kMaxMenuDepth)
            throw PlayerException("Menu nested deeper than " + std::to_string(kMaxMenuDepth) + " levels");
        const std::uint32_t count = reader_.u32();
        if (count > reader_.remaining() / kSmallestItem)
            throw PlayerException("Menu item count runs past the end of the menu");
        std::vector<MenuItemRecord> list(count);
        for (MenuItemRecord& item : list) {
            if (++total_ > kMaxMenuItems)
                throw PlayerException("Menu with more than " + std::to_string(kMaxMenuItems) + " items");
            item.flags = reader_.u32();
            for (std::uint32_t& value : item.carried)
                value = reader_.u32();
            item.name = readStoredText(reader_);
            item.caption = readStoredText(reader_);
            item.icon = readStoredText(reader_);
            if (item.flags & kMenuSubMenu)
                item.items = items(depth + 1);
        }
        return list;
    }

    ByteReader reader_;
    std::size_t total_ = 0;
};

void writeItems(ByteWriter& writer, const std::vector<MenuItemRecord>& items)
{
    writer.u32(std::uint32_t(items.size()));
    for (const MenuItemRecord& item : items) {
        writer.u32(item.flags);
        for (std::uint32_t value : item.carried)
            writer.u32(value);
        writeOptionalText(writer, item.name);
        writeOptionalText(writer, item.caption);
        writeOptionalText(writer, item.icon);
        if (item.flags & kMenuSubMenu)
            writeItems(writer, item.items);
    }
}

} // namespace

MenuRecord readMenuRecord(std::span<const std::uint8_t> bytes)
{
    return MenuReader(bytes).read();
}

Bytes writeMenuRecord(const MenuRecord& menu)
{
    ByteWriter writer;
    for (std::uint32_t value : menu.carried)
        writer.u32(value);
    for (const OptionalText& text : menu.texts)
        writeOptionalText(writer, text);
    writeItems(writer, menu.items);
    return writer.release();
}

} // namespace lumbra
