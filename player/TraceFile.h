// The script trace file: where "trace" lines and warnings of every engine
// the player runs go, once a script has chosen a file with "traceToFile".
// It outlives the engines (a fresh engine after "Orvet_Quit" writes on to
// the same file) and is closed when the main window closes.
#pragma once

#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

namespace orvet {
struct ScriptEngine;
}

namespace lumbra {

class TraceFile {
public:
    // Closes the current file; opens `path` truncated. False when it cannot.
    bool open(const std::string& path);
    void close();
    bool isOpen() const { return file_ != nullptr; }

    // Makes this file the engine's trace output (or none while closed).
    void attach(orvet::ScriptEngine& engine);

    // One line; flushed, so that the file tells what happened even if the
    // process ends abruptly.
    void write(std::string_view line);

private:
    static void sink(void* data, std::string_view line);

    struct Closer {
        void operator()(std::FILE* f) const { std::fclose(f); }
    };
    std::unique_ptr<std::FILE, Closer> file_;
};

} // namespace lumbra
