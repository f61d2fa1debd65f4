// Every field of the settings record by name, in stored order: the manifest
// sets them and inspection prints them through this one table.
#pragma once

#include "package/ProjectSettings.h"

#include <span>
#include <string>
#include <string_view>
#include <variant>

namespace lumbra::pack {

using FieldRef = std::variant<OptionalText*, PathText*, FixedText<32>*, std::uint32_t*, std::uint16_t*,
                              std::int32_t*, std::uint8_t*, std::array<std::uint8_t, 16>*>;

struct SettingsField {
    std::string_view name;
    bool embeddedFile; // the field is a PathText naming a file stored inside the record
    bool bits;         // a set of flags or a colour: written in hexadecimal
    FieldRef (*get)(ProjectSettings&);
};

std::span<const SettingsField> settingsFields();
const SettingsField* findSettingsField(std::string_view name);

// The defaults of a new project: a resizable, centred window that shows all
// of the movie and plays it at once.
ProjectSettings defaultSettings();

// Sets a field from its manifest text (UTF-8); false when the text does not
// fit the field's type. Embedded files take a path, resolved by the caller.
bool setField(const SettingsField& field, ProjectSettings& settings, std::string_view text);

} // namespace lumbra::pack
