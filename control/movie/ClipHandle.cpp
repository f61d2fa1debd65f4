#include "control/movie/ClipHandle.h"

#include "control/movie/DisplayObject.h"

namespace lumbra::movie {

ClipHandle::ClipHandle(const std::shared_ptr<DisplayObject>& object, std::shared_ptr<ClipHandle> parent)
    : object_(object), parent_(std::move(parent)), movieClip_(object->isClip())
{
}

std::shared_ptr<DisplayObject> ClipHandle::resolve() const
{
    auto object = object_.lock();
    if (object && !object->removed)
        return object;
    if (!parent_)
        return nullptr;
    // Depth is bounded by the nesting limit on the stage.
    auto parent = parent_->resolve();
    return parent ? parent->childNamed(object ? object->name : name_) : nullptr;
}

} // namespace lumbra::movie
