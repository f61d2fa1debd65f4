// An engine with its trace output captured, and short ways to run a program
// and look at its value.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "script/runtime/Conversions.h"
#include "script/runtime/RuntimeError.h"
#include "script/runtime/ScriptString.h"
#include "script/engine/EngineRun.h"
#include "script/engine/ScriptEngine.h"

namespace orvet::test {

class EngineFixture : public ::testing::Test {
protected:
    EngineFixture()
    {
        SetTraceOutput(*engine, [](void* lines, std::string_view line) {
            static_cast<std::vector<std::string>*>(lines)->emplace_back(line);
        }, &traced);
    }

    ScriptContext& ctx() { return *engine->context; }

    // Runs a program that must complete, and gives its value.
    ScriptValue run(const char* program)
    {
        const int status = RunSourceText(*engine, program);
        EXPECT_EQ(status, 1) << program << "\n" << ctx().errorBuffer << ctx().compilerMessages;
        return ctx().result;
    }

    // The program's value as text, "<kind n>" in front for numbers and
    // booleans so that an Integer and a Float with the same text differ.
    std::string value(const char* program)
    {
        const ScriptValue v = run(program);
        std::string text;
        EXPECT_TRUE(protectedCall(ctx(), [&] { text = toAnsi(*toString(ctx(), v)); })) << ctx().errorBuffer;
        switch (v.kind) {
        case ValueKind::Integer: return "int " + text;
        case ValueKind::Float: return "float " + text;
        case ValueKind::Boolean: return "bool " + text;
        case ValueKind::Undefined: return "undefined";
        case ValueKind::Null: return "null";
        default: return text;
        }
    }

    // Runs a program that must fail, and gives the error buffer.
    std::string failure(const char* program)
    {
        EXPECT_EQ(RunSourceText(*engine, program), 0) << program;
        return ctx().errorBuffer;
    }

    EnginePtr engine = CreateEngine();
    std::vector<std::string> traced;
};

} // namespace orvet::test
