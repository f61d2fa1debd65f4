// The built-in items of the right-click menu as scripts name them in a
// ContextMenu's builtInItems, in the order the menu shows them.
#pragma once

#include <string_view>

namespace lumbra::movie {

inline constexpr std::u16string_view kBuiltInMenuItems[] = {u"save", u"zoom",   u"quality",      u"play",
                                                            u"loop", u"rewind", u"forward_back", u"print"};

} // namespace lumbra::movie
