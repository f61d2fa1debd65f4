// Error types of the package layer. Loaders throw them and catch them where a
// load is attempted; nothing outside the package layer sees them thrown.
#pragma once

#include <stdexcept>
#include <string>

namespace lumbra {

class PlayerException : public std::runtime_error {
public:
    // The system's message for the last error (GetLastError on Windows,
    // errno elsewhere), at most 255 characters.
    PlayerException();
    explicit PlayerException(const std::string& message);

    std::string message() const { return what(); }
};

// Error of a packed block or of an inflated archive entry. Made from a zlib
// result code, the code selects one of zlib's fixed messages.
class CZipException : public PlayerException {
public:
    explicit CZipException(const std::string& message);
    explicit CZipException(int zlibCode);
};

// The system's text for the last error of the calling thread.
std::string lastSystemErrorText();

} // namespace lumbra
