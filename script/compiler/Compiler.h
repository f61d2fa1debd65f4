// The compile entry: Orvet source text in, a compiled image ("OV1b") out, or
// nothing and the warning and error lines that say why.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "script/runtime/ByteStream.h"
#include "script/runtime/ConstantPool.h"

namespace orvet {

// Option bits of a compilation.
struct CompileOptions {
    static constexpr std::uint32_t kRewindSource = 1u << 1;  // before writing the listing
    static constexpr std::uint32_t kDebugInfo = 1u << 2;     // line table and source name
    static constexpr std::uint32_t kOptimizerPasses = 0xFu << 5; // always run, whatever is asked
    static constexpr std::uint32_t kWarnMissingSemicolon = 1u << 20;
    static constexpr std::uint32_t kWarnLineTerminators = 1u << 21;

    std::uint32_t bits = 0;

    bool has(std::uint32_t bit) const { return (bits & bit) != 0; }
};

// Optional files a compilation also writes; empty paths mean none. A file
// that cannot be opened is skipped silently.
struct CompileFiles {
    std::string listingPath;
    std::string outputPath; // receives the image bytes
};

struct CompileResult {
    std::optional<ByteStream> image; // memory stream holding the image
    std::string messages;            // "warning: line N: ..." / "error: line N: ..." lines
    bool outOfMemory = false;
};

// Compiles the text read from source (which is consumed and closed).
// decoder converts string and pattern literals (system code page) to UTF-16.
CompileResult compile(ByteStream source, CompileOptions options, const AnsiDecoder& decoder,
                      const CompileFiles& files = {});

// Source from a text in memory (source name "string").
CompileResult compileText(std::string_view text, CompileOptions options, const AnsiDecoder& decoder,
                          const CompileFiles& files = {});

// Source from a file (source name = the path); a file that cannot be opened
// gives the message "can't open the script file: <path>".
CompileResult compileFile(const std::string& path, CompileOptions options, const AnsiDecoder& decoder,
                          const CompileFiles& files = {});

} // namespace orvet
