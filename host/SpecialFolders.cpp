#include "host/SpecialFolders.h"

#include <string>

namespace lumbra::host {

namespace {

struct NamedFolder {
    std::string_view name;
    SpecialFolder folder;
};

constexpr SpecialFolder shell(int csidl) { return {FolderSource::Shell, csidl}; }

constexpr NamedFolder kFolders[] = {
    {"appdata", shell(0x1A)},
    {"cookies", shell(0x21)},
    {"desktop", shell(0x10)},
    {"desktop all", shell(0x19)},
    {"favorites", shell(0x06)},
    {"fonts", shell(0x14)},
    {"history", shell(0x22)},
    {"internet cache", shell(0x20)},
    {"my documents", shell(0x05)},
    {"nethood", shell(0x13)},
    {"printers", shell(0x1B)},
    {"programs", shell(0x02)},
    {"programs all", shell(0x17)},
    {"recent", shell(0x08)},
    {"sendto", shell(0x09)},
    {"startmenu", shell(0x0B)},
    {"startmenu all", shell(0x16)},
    {"startup", shell(0x07)},
    {"startup all", shell(0x18)},
    {"templates", shell(0x15)},
    {"windows", {FolderSource::WindowsDirectory}},
    {"system", {FolderSource::SystemDirectory}},
    {"temp", {FolderSource::Temp}},
    {"program files", {FolderSource::ProgramFiles}},
    {"recycle bin", {FolderSource::None}},
};

} // namespace

std::optional<SpecialFolder> findSpecialFolder(std::string_view name)
{
    std::string lower(name);
    for (char& c : lower)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    for (const NamedFolder& entry : kFolders)
        if (entry.name == lower)
            return entry.folder;
    return std::nullopt;
}

} // namespace lumbra::host
