#include "tools/actionscript/ClipEvents.h"

#include <utility>

namespace lumbra::actionscript {

std::optional<std::uint32_t> clipEventFlag(std::string_view name)
{
    static constexpr std::pair<std::string_view, std::uint32_t> kEvents[] = {
        {"load", 0x01}, {"enterFrame", 0x02}, {"unload", 0x04}, {"mouseMove", 0x08}, {"mouseDown", 0x10},
        {"mouseUp", 0x20}, {"keyDown", 0x40}, {"keyUp", 0x80}, {"data", 0x100}, {"initialize", 0x200},
        {"press", 0x400}, {"release", 0x800}, {"releaseOutside", 0x1000}, {"rollOver", 0x2000},
        {"rollOut", 0x4000}, {"dragOver", 0x8000}, {"dragOut", 0x10000}, {"construct", 0x40000},
    };
    for (const auto& [event, flag] : kEvents)
        if (event == name)
            return flag;
    return std::nullopt;
}

} // namespace lumbra::actionscript
