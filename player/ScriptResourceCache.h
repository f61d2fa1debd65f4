// The packaged compiled scripts the movie has asked for, kept unpacked so
// that a script run again and again is read from the resources only once.
// 17 buckets chosen by the name hash; names compare without regard to case.
#pragma once

#include "package/ErrorReporter.h"
#include "package/PackedBlock.h"
#include "package/ResourceSource.h"

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace lumbra {

class ScriptResourceCache {
public:
    static constexpr std::size_t kBuckets = 17;

    struct Entry {
        std::string name;
        Bytes code; // the unpacked block: a compiled image
        // Where the module's constants start in the engine it was last
        // linked into (the generation of that engine): kept across runs so
        // that a module run again reuses its constants.
        std::optional<std::uint32_t> state;
        std::uint32_t stateEngine = 0;
        std::unique_ptr<Entry> next;
    };

    ScriptResourceCache(const ResourceSource& resources, ErrorReporter& reporter);
    ScriptResourceCache(const ScriptResourceCache&) = delete;
    ScriptResourceCache& operator=(const ScriptResourceCache&) = delete;
    ~ScriptResourceCache();

    // The entry of `name`, loading resource ORVET/name on a miss. Null when
    // there is no such resource (silently) or its block is damaged (reported
    // by the unpacking; nothing is cached, so a later request tries again).
    Entry* find(std::string_view name);

    static std::size_t bucketOf(std::string_view name);

private:
    Entry* lookup(std::string_view name) const;

    const ResourceSource& resources_;
    ErrorReporter& reporter_;
    std::array<std::unique_ptr<Entry>, kBuckets> buckets_;
};

} // namespace lumbra
