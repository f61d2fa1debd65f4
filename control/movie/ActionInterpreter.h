// The action language of movie files: runs one block of action records for a
// clip. Every record is checked against the block's bounds; unknown records are
// skipped by their length; each record spends a step of the playback's budget.
#pragma once

#include "control/movie/DisplayObject.h"

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace lumbra::movie {

class Playback;

// `stack`, when given, is the stack the block starts with and leaves behind:
// the blocks of one frame share theirs.
void runActionBlock(Playback& playback, DisplayObject& clip, std::span<const std::uint8_t> code,
                    std::vector<Value>* stack = nullptr);
// Calls the clip's method of that name (an event handler) when it has one.
void runHandler(Playback& playback, DisplayObject& clip, std::u16string_view name);

} // namespace lumbra::movie
