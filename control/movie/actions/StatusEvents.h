// What the connection classes (LocalConnection, NetConnection, NetStream,
// XMLSocket) share: their events reach the script on a later frame, as they
// do when a network or another movie answers, and status events carry an
// info object with the documented `code` and `level` texts.
#pragma once

#include "control/movie/actions/Machine.h"

#include <string_view>
#include <vector>

namespace lumbra::movie {

// Calls target.method(args...) on the next frame; the method is looked up
// then, so a handler set after the call that caused the event still hears it.
void callLater(Machine& m, const Value& target, std::u16string_view method, std::vector<Value> args = {});

// {level: level} and, when given, {code: code}: what onStatus receives.
Value statusInfo(Machine& m, std::u16string_view level, std::u16string_view code = {});

} // namespace lumbra::movie
