// Test support: a context with its trace output captured, and helpers to run
// assembled images and read results.
#pragma once

#include <string>
#include <vector>

#include "script/runtime/BytecodeModule.h"
#include "script/runtime/Linker.h"
#include "script/runtime/RuntimeError.h"
#include "script/runtime/ScriptContext.h"
#include "script/runtime/ScriptString.h"
#include "tests/runtime/ImageBuilder.h"

namespace orvet::test {

class ScriptRunner {
public:
    explicit ScriptRunner(const ContextOptions& options = {}) : ctx(options)
    {
        ctx.traceSink = [](void* data, std::string_view line) {
            static_cast<ScriptRunner*>(data)->trace.emplace_back(line);
        };
        ctx.traceData = this;
    }

    // Loads, links and runs an image; false when loading failed or the run
    // ended with an error.
    bool run(const std::vector<std::uint8_t>& image)
    {
        ModulePtr module = loadModule(image.data(), image.size());
        if (!module)
            return false;
        return protectedCall(ctx, [&] { linkAndRun(ctx, *module); }) == 1;
    }
    bool run(const ImageBuilder& builder) { return run(builder.build()); }

    std::string error() const { return ctx.errorBuffer; }
    std::string text(const ScriptValue& v) const
    {
        return v.kind == ValueKind::String ? toAnsi(*v.string) : "<not a string>";
    }
    ScriptValue& global(std::string_view name) { return ctx.global(ctx.intern(name)); }

    ScriptContext ctx;
    std::vector<std::string> trace;
};

// A ".main" that evaluates the given code and leaves its value.
inline ImageBuilder mainImage()
{
    ImageBuilder b;
    b.function(".main");
    return b;
}

} // namespace orvet::test
