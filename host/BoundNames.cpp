#include "host/BoundNames.h"

#include <algorithm>

#include "script/engine/regex/CharCase.h"

namespace lumbra::host {

std::uint32_t boundNameHash(std::u16string_view name)
{
    std::uint32_t h = 0;
    for (char16_t c : name)
        h = (h >> 7) ^ (h >> 16) ^ static_cast<std::uint32_t>(orvet::lowerChar(c)) ^ (h << 5);
    return h;
}

bool sameBoundName(std::u16string_view a, std::u16string_view b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](char16_t x, char16_t y) { return orvet::lowerChar(x) == orvet::lowerChar(y); });
}

namespace {

std::size_t bucketOf(std::u16string_view name)
{
    return boundNameHash(name) % BoundNames::kBuckets;
}

template <class Bucket, class Key>
auto findIn(Bucket& bucket, std::u16string_view name, Key key)
{
    return std::find_if(bucket.begin(), bucket.end(), [&](const auto& e) { return sameBoundName(e.*key, name); });
}

} // namespace

void BoundNames::forEachPrefix(std::u16string_view name, const std::function<void(std::u16string_view)>& visit)
{
    for (std::size_t dot = name.find(u'.'); dot != std::u16string_view::npos; dot = name.find(u'.', dot + 1))
        if (dot > 0)
            visit(name.substr(0, dot));
}

void BoundNames::bind(std::u16string_view name)
{
    auto& bucket = bound_[bucketOf(name)];
    if (findIn(bucket, name, &Bound::name) != bucket.end())
        return;
    bucket.push_back({std::u16string(name), orvet::ScriptValue::undefined()});
    forEachPrefix(name, [&](std::u16string_view path) {
        auto& clips = clips_[bucketOf(path)];
        auto clip = findIn(clips, path, &Clip::path);
        if (clip != clips.end())
            ++clip->count;
        else
            clips.push_back({std::u16string(path), 1});
    });
}

void BoundNames::unbind(std::u16string_view name)
{
    auto& bucket = bound_[bucketOf(name)];
    auto entry = findIn(bucket, name, &Bound::name);
    if (entry == bucket.end())
        return;
    // The prefixes are taken from the stored name, as they were counted.
    const std::u16string stored = std::move(entry->name);
    bucket.erase(entry);
    forEachPrefix(stored, [&](std::u16string_view path) {
        auto& clips = clips_[bucketOf(path)];
        auto clip = findIn(clips, path, &Clip::path);
        if (clip != clips.end() && --clip->count == 0)
            clips.erase(clip);
    });
}

void BoundNames::clear()
{
    for (auto& bucket : bound_)
        bucket.clear();
    for (auto& bucket : clips_)
        bucket.clear();
}

orvet::ScriptValue* BoundNames::box(std::u16string_view name)
{
    auto& bucket = bound_[bucketOf(name)];
    auto entry = findIn(bucket, name, &Bound::name);
    return entry == bucket.end() ? nullptr : &entry->box;
}

int BoundNames::clipCount(std::u16string_view path) const
{
    const auto& clips = clips_[bucketOf(path)];
    auto clip = findIn(clips, path, &Clip::path);
    return clip == clips.end() ? 0 : clip->count;
}

bool BoundNames::isClip(std::u16string_view path) const
{
    return clipCount(path) > 0;
}

void BoundNames::forEach(const std::function<void(Bound&)>& visit)
{
    for (auto& bucket : bound_)
        for (Bound& entry : bucket)
            visit(entry);
}

std::size_t BoundNames::boundCount() const
{
    std::size_t n = 0;
    for (const auto& bucket : bound_)
        n += bucket.size();
    return n;
}

} // namespace lumbra::host
