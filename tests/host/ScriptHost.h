// An engine with the host classes a test hands in, its trace output captured,
// and short ways to run a program and read its value.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "script/engine/EngineRun.h"
#include "script/engine/ScriptEngine.h"
#include "script/runtime/Conversions.h"
#include "script/runtime/RuntimeError.h"
#include "script/runtime/ScriptString.h"

namespace lumbra::test {

class ScriptHost {
public:
    explicit ScriptHost(const orvet::HostClasses& classes) : engine(orvet::CreateEngine({}, classes))
    {
        orvet::SetTraceOutput(*engine, [](void* lines, std::string_view line) {
            static_cast<std::vector<std::string>*>(lines)->emplace_back(line);
        }, &traced);
    }

    orvet::ScriptContext& ctx() { return *engine->context; }

    // Runs a program that must complete; its value.
    orvet::ScriptValue run(const std::string& program)
    {
        EXPECT_EQ(orvet::RunSourceText(*engine, program.c_str()), 1)
            << program << "\n" << ctx().errorBuffer << ctx().compilerMessages;
        return ctx().result;
    }

    // The program's value as ANSI text; "null" and "undefined" for those.
    std::string value(const std::string& program)
    {
        const orvet::ScriptValue v = run(program);
        if (v.is(orvet::ValueKind::Null))
            return "null";
        if (v.is(orvet::ValueKind::Undefined))
            return "undefined";
        std::string text;
        EXPECT_TRUE(orvet::protectedCall(ctx(), [&] { text = orvet::toAnsi(*orvet::toString(ctx(), v)); }));
        return text;
    }

    // The program's value as UTF-16 text (empty for a value that is no string).
    std::u16string text(const std::string& program)
    {
        const orvet::ScriptValue v = run(program);
        return v.is(orvet::ValueKind::String) ? std::u16string(v.string->view()) : std::u16string();
    }

    orvet::EnginePtr engine;
    std::vector<std::string> traced;
};

} // namespace lumbra::test
