// The dotted packages of the Flash 8 classes (flash.geom, flash.filters,
// flash.display): plain objects under _global that hold the constructors.
#pragma once

#include "control/movie/actions/Machine.h"

#include <string_view>

namespace lumbra::movie {

// The package object at a dotted path such as "flash.geom", made on first
// use; the packages exist for version 8 movies and later only.
ActionObject* packageObject(Machine& m, std::u16string_view path);

// What a dotted path from _global names now ("flash.geom.Point"): scripts
// may replace a class, and values made by native code follow them as `new`
// in a script would.
Value lookUp(Machine& m, std::u16string_view path);

// new path(args...), for natives that answer with an instance of a class.
Value newInstance(Machine& m, std::u16string_view path, std::span<const Value> args = {});

} // namespace lumbra::movie
