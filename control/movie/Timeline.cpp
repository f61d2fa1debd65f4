#include "control/movie/Timeline.h"

#include "control/movie/TextCodec.h"

#include <algorithm>

namespace lumbra::movie {

std::optional<int> Timeline::findLabel(std::u16string_view label) const
{
    for (int i = 0; i < frameCount(); ++i)
        if (!frames[i].label.empty() && equalsFolded(frames[i].label, label))
            return i;
    return std::nullopt;
}

std::u16string Timeline::labelAt(int frame) const
{
    for (int i = std::min(frame, frameCount() - 1); i >= 0; --i)
        if (!frames[i].label.empty())
            return frames[i].label;
    return {};
}

} // namespace lumbra::movie
