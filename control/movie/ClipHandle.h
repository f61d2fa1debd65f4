// What a script's reference to a clip holds. Scripts name clips by their place
// on the stage: while the object is there the reference reaches it; once it
// has left, the reference answers to whatever object now has its name under
// the same parent (itself found the same way), and to nothing when none has.
#pragma once

#include <memory>
#include <string>

namespace lumbra::movie {

class DisplayObject;

class ClipHandle {
public:
    ClipHandle(const std::shared_ptr<DisplayObject>& object, std::shared_ptr<ClipHandle> parent);

    // The object the reference stands for now; null when no object holds the place.
    std::shared_ptr<DisplayObject> resolve() const;
    // The object is going away: its name is all that is left of it.
    void keepName(std::u16string name) { name_ = std::move(name); }
    // Whether the object was a movie clip (rather than a text field or a
    // button): what `typeof` says of the reference, even once it has lapsed.
    bool movieClip() const { return movieClip_; }

private:
    std::weak_ptr<DisplayObject> object_;
    std::shared_ptr<ClipHandle> parent_; // null for a level's root
    std::u16string name_;
    bool movieClip_;
};

} // namespace lumbra::movie
