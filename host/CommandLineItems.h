// The items of a command line as "Application.cmdItems" gives them: quotes
// group blanks into an item and are dropped; the program itself is left out.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace lumbra::host {

// Items are separated by blanks; tabs separate only before an item starts.
// An item that starts with a double (single) quote runs to the next double
// (single) quote or the end of the line.
std::vector<std::string> commandLineItems(std::string_view commandLine);

} // namespace lumbra::host
