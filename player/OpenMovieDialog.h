// The open-movie dialog: a path field and a browse button that opens the
// file dialog for movies. Offered only while no packaged movie is set.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace lumbra {

// Shows the dialog owned by `owner`; the chosen path, or nothing when the
// user cancels or leaves the path empty.
std::optional<std::string> askForMovie(HINSTANCE instance, HWND owner);

} // namespace lumbra
