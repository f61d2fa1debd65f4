// Collects reported messages instead of showing them.
#pragma once

#include "package/ErrorReporter.h"

#include <string>
#include <vector>

namespace lumbra::test {

class RecordingReporter : public ErrorReporter {
public:
    void report(std::string_view message) override { messages.emplace_back(message); }
    std::vector<std::string> messages;
};

} // namespace lumbra::test
