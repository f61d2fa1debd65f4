#include "tools/pack/MenuDescription.h"

#include "tools/pack/Utf8.h"

#include <set>

namespace lumbra::pack {

namespace {

constexpr std::pair<std::string_view, std::uint32_t> kOptions[] = {
    {"disabled", kMenuDisabled}, {"checked", kMenuChecked}, {"grayed", kMenuGrayed}, {"default", kMenuDefault}};
constexpr std::uint32_t kStateFlags = kMenuDisabled | kMenuChecked | kMenuGrayed | kMenuDefault;

std::string_view trimSpaces(std::string_view text)
{
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ')
        text.remove_suffix(1);
    return text;
}

// The fields of a value split at unescaped bars, escapes resolved, spaces
// around each field dropped. Nothing for an unknown escape.
std::optional<std::vector<std::string>> fieldsOf(std::string_view value)
{
    std::vector<std::string> fields;
    std::string raw; // escapes kept, to trim before resolving them
    std::vector<std::string> raws;
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] == '\\' && i + 1 < value.size()) {
            raw += value.substr(i, 2);
            ++i;
        } else if (value[i] == '|') {
            raws.push_back(std::exchange(raw, {}));
        } else {
            raw += value[i];
        }
    }
    raws.push_back(raw);
    for (const std::string& part : raws) {
        std::string_view text = trimSpaces(part);
        std::string field;
        for (std::size_t i = 0; i < text.size(); ++i) {
            if (text[i] != '\\') {
                field += text[i];
                continue;
            }
            const char next = i + 1 < text.size() ? text[++i] : '\0';
            if (next == 't')
                field += '\t';
            else if (next == '|' || next == '\\')
                field += next;
            else
                return std::nullopt;
        }
        fields.push_back(std::move(field));
    }
    return fields;
}

std::string escaped(std::string_view text)
{
    std::string out;
    for (char c : text) {
        if (c == '\t')
            out += "\\t";
        else if (c == '|' || c == '\\')
            out += std::string("\\") + c;
        else
            out += c;
    }
    return out;
}

class MenuParser {
public:
    explicit MenuParser(const Manifest& manifest) : manifest_(manifest) {}

    std::vector<NamedMenu> parse()
    {
        for (const ManifestEntry* entry : manifest_.section("menus"))
            line(*entry);
        close();
        return std::move(menus_);
    }

private:
    void line(const ManifestEntry& entry)
    {
        if (entry.key == "menu") {
            close();
            std::string name = utf8ToAnsi(entry.value);
            if (name.empty() || name.find_first_of("/\\") != std::string::npos)
                manifest_.fail(entry, "'" + entry.value + "' cannot name a menu");
            for (const NamedMenu& menu : menus_)
                if (equalsIgnoringCase(menu.name, name))
                    manifest_.fail(entry, "a second menu named '" + entry.value + "'");
            menus_.push_back({name, {}});
            open_ = {&menus_.back().menu.items};
            opened_ = {&entry};
            return;
        }
        if (open_.empty())
            manifest_.fail(entry, "'" + entry.key + "' before the first 'menu ='");
        if (entry.key == "end") {
            if (open_.size() == 1)
                manifest_.fail(entry, "'end' without a popup");
            open_.pop_back();
            opened_.pop_back();
            return;
        }
        if (++total_ > kMaxMenuItems)
            manifest_.fail(entry, "more than " + std::to_string(kMaxMenuItems) + " items in the menus");
        MenuItemRecord item = itemOf(entry);
        open_.back()->push_back(std::move(item));
        if (entry.key == "popup") {
            if (int(open_.size()) >= kMaxMenuDepth)
                manifest_.fail(entry, "popups nested deeper than " + std::to_string(kMaxMenuDepth) + " levels");
            open_.push_back(&open_.back()->back().items);
            opened_.push_back(&entry);
        }
    }

    MenuItemRecord itemOf(const ManifestEntry& entry) const
    {
        MenuItemRecord item;
        if (entry.key == "separator") {
            if (!entry.value.empty())
                manifest_.fail(entry, "a separator takes no value");
            item.flags = kMenuSeparator;
            return item;
        }
        if (entry.key != "item" && entry.key != "popup")
            manifest_.fail(entry, "unknown key '" + entry.key + "' (menu, popup, item, separator, end)");
        auto fields = fieldsOf(entry.value);
        if (!fields)
            manifest_.fail(entry, "unknown escape: use \\t, \\| or \\\\");
        const bool popup = entry.key == "popup";
        const std::size_t texts = popup ? 1 : 2;
        if (fields->size() < texts)
            manifest_.fail(entry, "an item is 'name | caption', then its options");
        if (popup) {
            item.flags = kMenuSubMenu;
            item.caption = utf8ToAnsi((*fields)[0]);
        } else {
            if ((*fields)[0].empty())
                manifest_.fail(entry, "an item needs a command name");
            item.name = utf8ToAnsi((*fields)[0]);
            item.caption = utf8ToAnsi((*fields)[1]);
        }
        for (std::size_t i = texts; i < fields->size(); ++i)
            option(entry, (*fields)[i], popup, item);
        return item;
    }

    void option(const ManifestEntry& entry, const std::string& text, bool popup, MenuItemRecord& item) const
    {
        if (text.starts_with("icon=") && !popup && text.size() > 5) {
            item.icon = utf8ToAnsi(text.substr(5));
            return;
        }
        for (auto [name, flag] : kOptions)
            if (text == name) {
                item.flags |= flag;
                return;
            }
        manifest_.fail(entry, "unknown option '" + text + "' (disabled, checked, grayed, default" +
                                  (popup ? ")" : ", icon=FILE)"));
    }

    void close()
    {
        if (open_.size() > 1)
            manifest_.fail(*opened_.back(), "popup without 'end'");
        open_.clear();
        opened_.clear();
    }

    static bool equalsIgnoringCase(std::string_view a, std::string_view b)
    {
        auto lower = [](unsigned char c) { return c >= 'A' && c <= 'Z' ? char(c + 32) : char(c); };
        if (a.size() != b.size())
            return false;
        for (std::size_t i = 0; i < a.size(); ++i)
            if (lower(a[i]) != lower(b[i]))
                return false;
        return true;
    }

    const Manifest& manifest_;
    std::vector<NamedMenu> menus_;
    std::vector<std::vector<MenuItemRecord>*> open_; // the menu, then each open popup
    std::vector<const ManifestEntry*> opened_;
    std::size_t total_ = 0;
};

// A text the description can carry back: no line breaks, no outer spaces.
bool sayable(const OptionalText& text)
{
    if (!text)
        return true;
    return text->find_first_of("\r\n") == std::string::npos && trimSpaces(*text) == *text;
}

bool describeItems(const std::vector<MenuItemRecord>& items, std::vector<std::pair<std::string, std::string>>& lines)
{
    for (const MenuItemRecord& item : items) {
        if (item.carried != std::array<std::uint32_t, 2>{} || !sayable(item.name) || !sayable(item.caption) ||
            !sayable(item.icon))
            return false;
        if (item.flags == kMenuSeparator) {
            if (item.name || item.caption || item.icon)
                return false;
            lines.emplace_back("separator", "");
            continue;
        }
        const bool popup = (item.flags & kMenuSubMenu) != 0;
        if ((item.flags & ~(kStateFlags | kMenuSubMenu)) != 0 || !item.caption)
            return false;
        if (popup ? (item.name || item.icon) : (!item.name || item.name->empty() || (item.icon && item.icon->empty())))
            return false;
        std::string value = (popup ? "" : escaped(ansiToUtf8(*item.name)) + " | ") + escaped(ansiToUtf8(*item.caption));
        for (auto [name, flag] : kOptions)
            if (item.flags & flag)
                value += " | " + std::string(name);
        if (item.icon)
            value += " | icon=" + escaped(ansiToUtf8(*item.icon));
        lines.emplace_back(popup ? "popup" : "item", value);
        if (popup) {
            if (!describeItems(item.items, lines))
                return false;
            lines.emplace_back("end", "");
        }
    }
    return true;
}

ReportNode text(const OptionalText& value) { return value ? ReportNode(ansiToUtf8(*value)) : ReportNode(); }

ReportList itemsReport(const std::vector<MenuItemRecord>& items)
{
    ReportList list;
    for (const MenuItemRecord& item : items) {
        ReportObject node{{"flags", item.flags},
                          {"values", ReportList{item.carried[0], item.carried[1]}},
                          {"name", text(item.name)},
                          {"caption", text(item.caption)},
                          {"icon", text(item.icon)}};
        if (item.flags & kMenuSubMenu)
            node.emplace_back("items", itemsReport(item.items));
        list.push_back(std::move(node));
    }
    return list;
}

} // namespace

std::vector<NamedMenu> menusOf(const Manifest& manifest) { return MenuParser(manifest).parse(); }

std::optional<std::vector<std::pair<std::string, std::string>>> describeMenu(const std::string& name,
                                                                              const MenuRecord& menu)
{
    if (menu.carried != std::array<std::uint32_t, 3>{} || menu.texts[0] || menu.texts[1] || menu.texts[2])
        return std::nullopt;
    std::vector<std::pair<std::string, std::string>> lines{{"menu", ansiToUtf8(name)}};
    if (!describeItems(menu.items, lines))
        return std::nullopt;
    return lines;
}

ReportNode menuReport(const MenuRecord& menu)
{
    return ReportObject{{"values", ReportList{menu.carried[0], menu.carried[1], menu.carried[2]}},
                        {"texts", ReportList{text(menu.texts[0]), text(menu.texts[1]), text(menu.texts[2])}},
                        {"items", itemsReport(menu.items)}};
}

} // namespace lumbra::pack
