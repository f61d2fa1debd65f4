// Where the package layer sends the message of an error it caught: the player
// shows it in a message box owned by the main window, tests collect it.
#pragma once

#include <string_view>

namespace lumbra {

class ErrorReporter {
public:
    virtual ~ErrorReporter() = default;
    virtual void report(std::string_view message) = 0;
};

} // namespace lumbra
