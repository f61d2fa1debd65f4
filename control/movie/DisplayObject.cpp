#include "control/movie/DisplayObject.h"

#include "control/movie/TextCodec.h"
#include "control/movie/TextField.h"

namespace lumbra::movie {

DisplayObject::DisplayObject(const Character* character, std::uint16_t id, DisplayObject* parent,
                             std::shared_ptr<std::size_t> census)
    : character_(character), characterId_(id), parent_(parent), census_(std::move(census))
{
    ++*census_;
    if (auto sprite = character ? std::get_if<SpriteDef>(character) : nullptr)
        timeline_ = &sprite->timeline;
}

DisplayObject::~DisplayObject()
{
    for (auto& [depth, child] : children_)
        child->parent_ = nullptr;
    --*census_;
}

std::u16string DisplayObject::targetPath() const
{
    if (!parent_)
        return u"_level0";
    return parent_->targetPath() + u"." + name;
}

Matrix DisplayObject::worldMatrix() const
{
    return parent_ ? parent_->worldMatrix() * matrix : matrix;
}

ColorTransform DisplayObject::worldColorTransform() const
{
    return parent_ ? parent_->worldColorTransform() * colorTransform : colorTransform;
}

const Value* DisplayObject::variable(std::u16string_view name) const
{
    auto it = variables_.find(caseSensitiveNames ? std::u16string(name) : foldCase(name));
    return it == variables_.end() ? nullptr : &it->second;
}

void DisplayObject::setVariable(std::u16string_view name, Value value)
{
    variables_[caseSensitiveNames ? std::u16string(name) : foldCase(name)] = std::move(value);
}

void DisplayObject::removeVariable(std::u16string_view name)
{
    variables_.erase(caseSensitiveNames ? std::u16string(name) : foldCase(name));
}

std::shared_ptr<DisplayObject> DisplayObject::childNamed(std::u16string_view name) const
{
    for (const auto& [depth, child] : children_)
        if (child->isClip() || child->button() || child->text())
            if (equalsFolded(child->name, name))
                return child;
    return nullptr;
}

} // namespace lumbra::movie
