#include "control/movie/actions/Heap.h"

#include "control/movie/BitReader.h"

namespace lumbra::movie {

namespace {

constexpr std::size_t kMaxObjects = 200'000;

} // namespace

void Marker::mark(const Value& value)
{
    mark(value.toObject());
}

void Marker::mark(ActionObject* object)
{
    if (object && !object->marked) {
        object->marked = true;
        pending_.push_back(object);
    }
}

ActionObject* Heap::make(ActionObject::Kind kind, ActionObject* proto)
{
    if (objects_.size() >= kMaxObjects)
        throw FormatError("too many script objects");
    objects_.push_back(std::make_unique<ActionObject>(kind, proto, version_));
    return objects_.back().get();
}

void Heap::collect(const std::function<void(Marker&)>& markRoots)
{
    Marker marker;
    markRoots(marker);
    // An explicit work list: deep structures do not deepen the C++ stack.
    while (!marker.pending_.empty()) {
        ActionObject* object = marker.pending_.back();
        marker.pending_.pop_back();
        marker.mark(object->proto);
        for (auto& [key, property] : object->properties())
            marker.mark(property.value);
        for (const auto& element : object->elements)
            marker.mark(element);
        marker.mark(object->primitive);
        for (const auto& link : object->scope)
            marker.mark(link.object);
        for (const auto& watch : object->watches) {
            marker.mark(watch.callback);
            marker.mark(watch.data);
        }
    }
    std::erase_if(objects_, [](const std::unique_ptr<ActionObject>& object) { return !object->marked; });
    for (auto& object : objects_)
        object->marked = false;
    survivors_ = objects_.size();
}

} // namespace lumbra::movie
