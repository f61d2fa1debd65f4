// A timeline as the file gives it: per frame, the display-list changes and the
// action blocks that become due when the frame is entered.
#pragma once

#include "control/movie/ColorTransform.h"
#include "control/movie/Filters.h"
#include "control/movie/Geometry.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace lumbra::movie {

using ActionBytes = std::vector<std::uint8_t>;

// The events of onClipEvent handlers, as the placement's flags give them
// (version 6 layout; version 5's 16 bits are the low half).
enum ClipEvent : std::uint32_t {
    ClipLoad = 0x1, ClipEnterFrame = 0x2, ClipUnload = 0x4, ClipMouseMove = 0x8, ClipMouseDown = 0x10,
    ClipMouseUp = 0x20, ClipKeyDown = 0x40, ClipKeyUp = 0x80, ClipData = 0x100, ClipInitialize = 0x200,
    ClipPress = 0x400, ClipRelease = 0x800, ClipReleaseOutside = 0x1000, ClipRollOver = 0x2000,
    ClipRollOut = 0x4000, ClipKeyPress = 0x20000, ClipConstruct = 0x40000,
};

struct ClipAction {
    std::uint32_t events = 0;
    unsigned keyCode = 0; // for ClipKeyPress
    ActionBytes actions;
};

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
    // Shared: the objects placed keep them while the timeline is rebuilt.
    std::shared_ptr<const std::vector<ClipAction>> clipActions;
};

struct RemoveCommand {
    int depth = 0;
};

using DisplayCommand = std::variant<PlaceCommand, RemoveCommand>;

struct Frame {
    std::vector<DisplayCommand> commands;
    std::vector<ActionBytes> actions;
    std::vector<ActionBytes> initActions; // DoInitAction: run once, before the frame's actions
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
