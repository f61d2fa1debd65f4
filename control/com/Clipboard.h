// The system clipboard, for System.setClipboard of the movies the control plays.
#pragma once

#include <string_view>

namespace lumbra::com {

// Replaces the clipboard's contents with the text; false when the clipboard
// is held by another program or memory runs out.
bool putClipboardText(std::u16string_view text);

} // namespace lumbra::com
