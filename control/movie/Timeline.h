// A timeline as the file gives it: per frame, the display-list changes and the
// action blocks that become due when the frame is entered.
#pragma once

#include "control/movie/ColorTransform.h"
#include "control/movie/Filters.h"
#include "control/movie/Geometry.h"

#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace lumbra::movie {

using ActionBytes = std::vector<std::uint8_t>;

struct PlaceCommand {
    int depth = 0;
    bool move = false; // modifies the object at depth instead of adding one
    std::optional<std::uint16_t> character;
    std::optional<Matrix> matrix;
    std::optional<ColorTransform> colorTransform;
    std::optional<int> ratio;
    std::optional<std::u16string> name;
    bool clipLayer = false; // a mask: not drawn itself
    int clipDepth = 0;      // the highest depth the mask covers
    std::optional<LayerEffects> effects; // PlaceObject3's filters and blend mode
};

struct RemoveCommand {
    int depth = 0;
};

using DisplayCommand = std::variant<PlaceCommand, RemoveCommand>;

struct Frame {
    std::vector<DisplayCommand> commands;
    std::vector<ActionBytes> actions;
    std::u16string label;
};

struct Timeline {
    std::vector<Frame> frames; // never empty once parsed

    int frameCount() const { return int(frames.size()); }
    // The frame carrying the label (compared without case), or nothing.
    std::optional<int> findLabel(std::u16string_view label) const;
    // The label of the frame or of the nearest labelled frame before it.
    std::u16string labelAt(int frame) const;
};

} // namespace lumbra::movie
