// FlashPlayer.getMovieInfo: a movie file's header as a script object.
#pragma once

#include <string>

#include "script/runtime/ScriptValue.h"

namespace orvet {
struct ScriptContext;
}

namespace lumbra::host {

// Null unless `path` is an existing ".swf" file or an ".exe" that carries
// an appended movie; else an Object with "frameSize" (xMin, xMax, yMin,
// yMax in pixels), "rate", "frameCount", "version" and "size". A header that
// cannot be read gives zeros.
orvet::ScriptValue movieInfoObject(orvet::ScriptContext& ctx, const std::string& path);

} // namespace lumbra::host
