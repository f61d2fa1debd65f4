// The shared objects of one playback: one object per name, its data read
// from the host's per-user folder when first asked for and written back on
// flush and when the movie ends. The stored form is this player's own: typed
// values, strings with their length, objects and arrays with their count. A
// stored file is untrusted like any input: nesting, counts and lengths are
// checked, and a file that does not read cleanly gives empty data.
#pragma once

#include "control/movie/actions/ActionObject.h"

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lumbra::movie {

class Machine;
class Marker;

class SharedObjectStore {
public:
    // An empty folder keeps the data for this run only.
    explicit SharedObjectStore(std::filesystem::path folder) : folder_(std::move(folder)) {}
    // The data is saved when its movie ends, flushed or not. The machine
    // destroys the store before its heap, so the objects are still there.
    ~SharedObjectStore() { flushAll(); }
    SharedObjectStore(const SharedObjectStore&) = delete;
    SharedObjectStore& operator=(const SharedObjectStore&) = delete;

    // Whether scripts may use the name: no characters the reference refuses,
    // none a file name cannot hold, and "/" only between plain parts.
    static bool validName(std::u16string_view name);

    // The shared object of the name (the same object each time), with its
    // saved data the first time; null for a refused name.
    ActionObject* get(Machine& m, std::u16string_view name, ActionObject* prototype);
    // Writes the object's data; false when the file could not be written.
    bool flush(const ActionObject* object) const;
    void flushAll() const;
    // Forgets the object's data, in memory and on disk.
    void clear(Machine& m, ActionObject* object) const;
    std::size_t size(const ActionObject* object) const;
    void mark(Marker& marker) const;

    // The stored form of a data object, and back (nothing when malformed).
    static std::string serialize(const ActionObject* data);
    static std::optional<Value> deserialize(Machine& m, std::string_view bytes);

private:
    struct Entry {
        std::u16string name;
        ActionObject* object;
    };
    const Entry* entryOf(const ActionObject* object) const;
    std::filesystem::path fileOf(std::u16string_view name) const;

    std::filesystem::path folder_;
    std::vector<Entry> entries_;
};

} // namespace lumbra::movie
