// Menus written in the manifest's [menus] section, one line per item, and
// the same lines read back from a packaged "MENUS" block (MANIFEST.md):
//
//   menu = Main                       starts the menu MENUS/Main
//   popup = &File                     a sub-menu; its items follow until "end"
//   item = open | &Open...\tCtrl+O    command name | caption | options
//   separator =
//   end =
//
// Options: disabled, checked, grayed, default, icon=FILE. In names and
// captions "\t" is a tab, "\|" a bar and "\\" a backslash.
#pragma once

#include "package/MenuRecord.h"
#include "tools/pack/Manifest.h"
#include "tools/pack/ReportTree.h"

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace lumbra::pack {

struct NamedMenu {
    std::string name; // ANSI
    MenuRecord menu;
};

// The menus of the [menus] section, in order; a mistake stops the build
// with the line at fault.
std::vector<NamedMenu> menusOf(const Manifest& manifest);

// The manifest lines (key, value; UTF-8) that build exactly this menu, or
// nothing when the block holds what the description cannot say (values the
// packager does not write, unknown flags, line breaks in a text).
std::optional<std::vector<std::pair<std::string, std::string>>> describeMenu(const std::string& name,
                                                                              const MenuRecord& menu);

// Everything decoded, for the JSON report.
ReportNode menuReport(const MenuRecord& menu);

} // namespace lumbra::pack
