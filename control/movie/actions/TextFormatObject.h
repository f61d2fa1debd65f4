// Script TextFormat objects and the formats text fields keep: members left
// null (or undefined) are the ones a format does not set.
#pragma once

#include "control/movie/TextFormat.h"
#include "control/movie/Value.h"

namespace lumbra::movie {

class ActionObject;
class Machine;

TextFormat textFormatFrom(Machine& m, const Value& object);
// A new TextFormat object with every member of the format, null where unset.
ActionObject* textFormatObject(Machine& m, const TextFormat& format);

} // namespace lumbra::movie
