// Scripts the movie asked to run later ("Orvet_AsynRun"): names of packaged
// compiled scripts, first in first out, one taken per idle pass.
#pragma once

#include <deque>
#include <optional>
#include <string>

namespace lumbra {

class AsyncRunQueue {
public:
    void push(std::string name) { names_.push_back(std::move(name)); }
    bool empty() const { return names_.empty(); }
    std::size_t size() const { return names_.size(); }
    std::optional<std::string> pop()
    {
        if (names_.empty())
            return std::nullopt;
        std::string name = std::move(names_.front());
        names_.pop_front();
        return name;
    }

private:
    std::deque<std::string> names_;
};

} // namespace lumbra
