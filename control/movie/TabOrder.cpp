// Tab and shift+Tab: the focus moves along the stage's tab order.
//
// Who takes part: input text fields, buttons, and clips whose tabEnabled is
// true or, while it is unset, that act as buttons. tabEnabled false leaves an
// object out, a clip's tabChildren false everything inside it; hidden objects
// and disabled buttons are passed over. Once any of them has a tabIndex, only
// those with one take part, lowest first; otherwise the order is the reading
// order of the stage: top to bottom, then left to right.
#include "control/movie/Playback.h"

#include "control/movie/Bounds.h"
#include "control/movie/TextField.h"
#include "control/movie/actions/Machine.h"

#include <algorithm>
#include <cmath>

namespace lumbra::movie {

namespace {

struct TabStop {
    std::shared_ptr<DisplayObject> object;
    std::optional<double> index; // its tabIndex
    Point corner;                // top left of its stage bounds
};

} // namespace

bool Playback::takesFocus(DisplayObject& object)
{
    if (object.textField)
        return object.textField->editable || object.textField->selectable;
    return object.button() || object.isClip();
}

bool Playback::isTabStop(DisplayObject& object, const Value& tabEnabled)
{
    if (!tabEnabled.isUndefined())
        return machine_->toBoolean(tabEnabled) && takesFocus(object);
    if (object.textField)
        return object.textField->editable;
    if (object.button())
        return enabled(object);
    return object.isClip() && actsAsButton(object) && enabled(object);
}

void Playback::tabFocus(bool backwards)
{
    std::vector<TabStop> stops;
    guarded([&] {
        std::vector<DisplayObject*> pending{root_.get()};
        while (!pending.empty()) {
            DisplayObject* object = pending.back();
            pending.pop_back();
            if (!object->visible || object->clipLayer || object->isMask)
                continue;
            Value self(object->shared_from_this());
            if (object != root_.get() && isTabStop(*object, machine_->get(self, u"tabEnabled"))) {
                Value index = machine_->get(self, u"tabIndex");
                Rect box = transformRect(object->worldMatrix(), localBounds(*object));
                TabStop stop{object->shared_from_this(), std::nullopt, {box.xMin, box.yMin}};
                if (!index.isUndefined() && std::isfinite(machine_->toNumber(index)))
                    stop.index = machine_->toNumber(index);
                stops.push_back(std::move(stop));
            }
            if (!object->isClip() || object->button())
                continue;
            Value children = machine_->get(self, u"tabChildren");
            if (!children.isUndefined() && !machine_->toBoolean(children))
                continue;
            auto& list = object->children();
            for (auto it = list.rbegin(); it != list.rend(); ++it)
                pending.push_back(it->second.get());
        }
    });
    if (std::ranges::any_of(stops, [](const TabStop& s) { return s.index.has_value(); })) {
        std::erase_if(stops, [](const TabStop& s) { return !s.index; });
        std::ranges::stable_sort(stops, {}, [](const TabStop& s) { return *s.index; });
    } else {
        std::ranges::stable_sort(stops, [](const TabStop& a, const TabStop& b) {
            return a.corner.y < b.corner.y || (a.corner.y == b.corner.y && a.corner.x < b.corner.x);
        });
    }
    if (stops.empty())
        return;
    auto current = std::ranges::find(stops, focus(), &TabStop::object);
    std::ptrdiff_t n = std::ssize(stops);
    std::ptrdiff_t next = current == stops.end()       ? (backwards ? n - 1 : 0)
                          : backwards                  ? (current - stops.begin() + n - 1) % n
                                                       : (current - stops.begin() + 1) % n;
    setFocus(stops[std::size_t(next)].object);
}

} // namespace lumbra::movie
