// The trace file: at most one open text file that "trace" and the engine's
// warnings write to, one line each, with Windows line ends. Opened and closed
// by "Application.traceToFile"; owned by the player, so that it outlives the
// engines that write to it.
#pragma once

#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

namespace lumbra::host {

class TraceFile {
public:
    // Closes the current file; then opens `path` truncated. False when it
    // cannot be opened (there is no trace file then).
    bool open(const std::string& path);
    void close() { file_.reset(); }
    bool isOpen() const { return file_ != nullptr; }

    // Writes the line and "\r\n"; nothing without a file. Lines are flushed,
    // so that the file is whole whenever the player stops.
    void writeLine(std::string_view line);

    // The engine's trace sink; `data` is the TraceFile.
    static void sink(void* data, std::string_view line);

private:
    struct Closer {
        void operator()(std::FILE* f) const { std::fclose(f); }
    };
    std::unique_ptr<std::FILE, Closer> file_;
};

} // namespace lumbra::host
