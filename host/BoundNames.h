// The data-binding tables of the FlashPlayer object. A bound name (such as
// game.player.score) mirrors one Flash variable in a value box; every prefix
// ending just before a "." (game, game.player) is a clip path, counted by the
// bound names that pass through it, so that scripts can walk the dots as
// nested properties. Names compare without regard to case.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "script/runtime/ScriptValue.h"

namespace lumbra::host {

// The bucket hash of a name: the name hash over its case-folded UTF-16 units.
std::uint32_t boundNameHash(std::u16string_view name);
bool sameBoundName(std::u16string_view a, std::u16string_view b);

class BoundNames {
public:
    static constexpr std::size_t kBuckets = 17;

    struct Bound {
        std::u16string name;
        orvet::ScriptValue box; // Undefined when bound
    };

    // Binds the name; nothing happens when it is already bound.
    void bind(std::u16string_view name);
    // Unbinds the name and releases its clip paths; unknown names are ignored.
    void unbind(std::u16string_view name);
    void clear();

    // The value box of a bound name, or null.
    orvet::ScriptValue* box(std::u16string_view name);
    bool isClip(std::u16string_view path) const;
    // The reference count of a clip path (0 when absent).
    int clipCount(std::u16string_view path) const;

    // Every bound entry, bucket by bucket (the order of updates).
    void forEach(const std::function<void(Bound&)>& visit);
    std::size_t boundCount() const;

private:
    struct Clip {
        std::u16string path;
        int count;
    };

    // Calls `visit` with every clip path of a name: each proper prefix that
    // ends just before a "." and is not empty.
    static void forEachPrefix(std::u16string_view name, const std::function<void(std::u16string_view)>& visit);

    std::array<std::vector<Bound>, kBuckets> bound_;
    std::array<std::vector<Clip>, kBuckets> clips_;
};

} // namespace lumbra::host
