// Target and variable paths: "/clip/inner", "../sibling", "_root.clip",
// "_parent.x", "/clip:var", "clip.var", "_level1/clip:var".
#include "control/movie/Playback.h"

#include "control/movie/Properties.h"
#include "control/movie/TextCodec.h"
#include "control/movie/actions/Machine.h"

#include <vector>

namespace lumbra::movie {

namespace {

std::vector<std::u16string_view> split(std::u16string_view path, char16_t separator)
{
    std::vector<std::u16string_view> parts;
    std::size_t start = 0;
    for (;;) {
        std::size_t end = path.find(separator, start);
        parts.push_back(path.substr(start, end == std::u16string_view::npos ? end : end - start));
        if (end == std::u16string_view::npos)
            return parts;
        start = end + 1;
    }
}

struct VariablePath {
    std::u16string_view clip; // empty: the starting clip
    std::u16string_view name;
    bool hasClip = false;
};

VariablePath splitVariablePath(std::u16string_view path)
{
    std::size_t at = path.rfind(u':');
    if (at == std::u16string_view::npos)
        at = path.rfind(u'.');
    if (at == std::u16string_view::npos)
        return {{}, path, false};
    return {path.substr(0, at), path.substr(at + 1), true};
}

} // namespace

std::shared_ptr<DisplayObject> Playback::resolveTarget(DisplayObject& from, std::u16string_view path) const
{
    std::shared_ptr<DisplayObject> current = from.shared_from_this();
    if (path.empty())
        return current;
    bool slashes = path.find(u'/') != std::u16string_view::npos;
    if (slashes && path.front() == u'/') {
        current = rootOf(*current);
        path.remove_prefix(1);
    }
    for (std::u16string_view part : split(path, slashes ? u'/' : u'.')) {
        if (part.empty() || part == u"." || equalsFolded(part, u"this"))
            continue;
        if (part == u".." || equalsFolded(part, u"_parent")) {
            DisplayObject* parent = current->parent();
            if (!parent)
                return nullptr;
            current = parent->shared_from_this();
        } else if (auto root = rootNamed(*current, part)) {
            current = *root;
            if (!current)
                return nullptr;
        } else {
            current = current->childNamed(part);
            if (!current)
                return nullptr;
        }
    }
    return current;
}

std::optional<Value> Playback::getVariable(DisplayObject& from, std::u16string_view path) const
{
    VariablePath parts = splitVariablePath(path);
    if (!parts.hasClip && path.find(u'/') != std::u16string_view::npos) {
        // A slash path without a variable names the clip itself.
        if (auto clip = resolveTarget(from, path))
            return Value(clip);
        return std::nullopt;
    }
    auto clip = resolveTarget(from, parts.clip);
    if (!clip) {
        if (const Value* flat = root_->variable(path))
            return *flat;
        return std::nullopt;
    }
    if (const Value* value = clip->variable(parts.name))
        return *value;
    std::u16string_view name = parts.name;
    if (auto root = rootNamed(*clip, name))
        return *root ? std::optional<Value>(Value(*root)) : std::nullopt;
    if (equalsFolded(name, u"this"))
        return Value(clip);
    if (equalsFolded(name, u"_parent"))
        return clip->parent() ? std::optional<Value>(Value(clip->parent()->shared_from_this())) : std::nullopt;
    if (auto child = clip->childNamed(name))
        return Value(child);
    if (auto property = propertyIndex(name))
        return getProperty(*this, *clip, *property);
    if (clip->textField) // "field.text" and the other properties of a text field
        if (Value member = machine_->get(Value(clip), name); !member.isUndefined())
            return member;
    return std::nullopt;
}

void Playback::setVariable(DisplayObject& from, std::u16string_view path, Value value)
{
    VariablePath parts = splitVariablePath(path);
    auto clip = resolveTarget(from, parts.clip);
    if (!clip) {
        root_->setVariable(path, std::move(value));
    } else {
        // As a member assignment: properties, accessors and watchpoints apply.
        machine_->set(Value(clip), parts.name, std::move(value));
    }
    dirty = true; // a text field may show it
}

} // namespace lumbra::movie
