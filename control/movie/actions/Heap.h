// Where the script objects of one playback live. Objects are freed by marking
// what the roots reach and sweeping the rest, only between frames when no
// action runs, so C++ code holding a raw object pointer during a run is safe.
// The number of live objects is bounded: a movie that makes more gets an error
// in the action that tried.
#pragma once

#include "control/movie/actions/ActionObject.h"

#include <functional>
#include <memory>
#include <vector>

namespace lumbra::movie {

class Marker {
public:
    void mark(const Value& value);
    void mark(ActionObject* object);

private:
    friend class Heap;
    std::vector<ActionObject*> pending_;
};

class Heap {
public:
    explicit Heap(int version) : version_(version) {}
    // New objects compare names by the rules of this version: that of the
    // movie whose actions make them.
    void setVersion(int version) { version_ = version; }
    ActionObject* make(ActionObject::Kind kind, ActionObject* proto);
    std::size_t size() const { return objects_.size(); }
    // Frees every object the roots do not reach; markRoots marks them.
    void collect(const std::function<void(Marker&)>& markRoots);
    // Whether enough was made since the last collection to make one worth it.
    bool due() const { return objects_.size() >= 2 * survivors_ + 1000; }

private:
    int version_;
    std::vector<std::unique_ptr<ActionObject>> objects_;
    std::size_t survivors_ = 0;
};

} // namespace lumbra::movie
