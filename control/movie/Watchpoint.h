// A watchpoint (Object.watch) on one name of an object or clip: an assignment
// to the name calls the callback with (name, old value, new value, data), and
// what the callback returns is what gets stored.
#pragma once

#include "control/movie/Value.h"

#include <string>
#include <vector>

namespace lumbra::movie {

struct Watchpoint {
    std::u16string name;
    Value callback;
    Value data;
    bool running = false; // the callback's own assignments to the name are not watched
};

using Watchpoints = std::vector<Watchpoint>;

} // namespace lumbra::movie
