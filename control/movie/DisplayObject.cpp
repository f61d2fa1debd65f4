#include "control/movie/DisplayObject.h"

#include "control/movie/Movie.h"
#include "control/movie/TextCodec.h"
#include "control/movie/TextField.h"

#include <algorithm>

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
    if (handle_)
        handle_->keepName(std::move(name));
    --*census_;
}

std::shared_ptr<ClipHandle> DisplayObject::handle()
{
    if (!handle_)
        handle_ = std::make_shared<ClipHandle>(shared_from_this(), parent_ ? parent_->handle() : nullptr);
    return handle_;
}

std::u16string DisplayObject::targetPath() const
{
    if (!parent_)
        return u"_level" + std::u16string(numberToString(level));
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
    std::u16string key = caseSensitiveNames ? std::u16string(name) : foldCase(name);
    variableNames_.try_emplace(key, std::u16string(name), variablesMade_++);
    variables_[std::move(key)] = std::move(value);
}

void DisplayObject::removeVariable(std::u16string_view name)
{
    std::u16string key = caseSensitiveNames ? std::u16string(name) : foldCase(name);
    variables_.erase(key);
    variableNames_.erase(key);
}

Watchpoint* DisplayObject::watchOf(std::u16string_view name)
{
    auto key = [this](std::u16string_view n) { return caseSensitiveNames ? std::u16string(n) : foldCase(n); };
    const std::u16string wanted = key(name);
    for (auto& watch : watches)
        if (key(watch.name) == wanted)
            return &watch;
    return nullptr;
}

std::vector<std::u16string> DisplayObject::variableNames() const
{
    std::vector<const std::pair<std::u16string, std::uint64_t>*> made;
    for (const auto& [key, entry] : variableNames_)
        made.push_back(&entry);
    std::ranges::sort(made, [](const auto* a, const auto* b) { return a->second > b->second; });
    std::vector<std::u16string> names;
    for (const auto* entry : made)
        names.push_back(entry->first);
    return names;
}

void DisplayObject::loadContent(std::shared_ptr<const Movie> movie, std::u16string url)
{
    character_ = nullptr;
    characterId_ = 0;
    timeline_ = &movie->root;
    variables_.clear();
    variableNames_.clear();
    drawing.reset();
    prototype = Value();
    caseSensitiveNames = movie->info.version >= 7;
    frame = -1;
    playing = true;
    loadedUrl = std::move(url);
    definitions = std::move(movie);
}

// Instance names follow the movie's rule for names: exact from version 7.
std::shared_ptr<DisplayObject> DisplayObject::childNamed(std::u16string_view name) const
{
    for (const auto& [depth, child] : children_)
        if (child->scriptable())
            if (caseSensitiveNames ? child->name == name : equalsFolded(child->name, name))
                return child;
    return nullptr;
}

} // namespace lumbra::movie
