// An engine with the player's host classes over a FakePlayer, its trace
// output captured, and short ways to run a program and read its value.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "FakePlayer.h"
#include "host/HostClasses.h"
#include "script/engine/EngineRun.h"
#include "script/engine/ScriptEngine.h"
#include "script/runtime/Conversions.h"
#include "script/runtime/RuntimeError.h"
#include "script/runtime/ScriptString.h"

namespace lumbra::test {

class HostFixture : public ::testing::Test {
protected:
    HostFixture()
    {
        orvet::SetTraceOutput(*engine, [](void* lines, std::string_view line) {
            static_cast<std::vector<std::string>*>(lines)->emplace_back(line);
        }, &traced);
    }

    orvet::ScriptContext& ctx() { return *engine->context; }

    orvet::ScriptValue run(const std::string& program)
    {
        const int status = orvet::RunSourceText(*engine, program.c_str());
        EXPECT_EQ(status, 1) << program << "\n" << ctx().errorBuffer << ctx().compilerMessages;
        return ctx().result;
    }

    // The value as text, with "int ", "float ", "bool " in front of numbers
    // and booleans; "undefined" and "null" for those.
    std::string value(const std::string& program)
    {
        const orvet::ScriptValue v = run(program);
        std::string text;
        EXPECT_TRUE(orvet::protectedCall(ctx(), [&] { text = orvet::toAnsi(*orvet::toString(ctx(), v)); }));
        switch (v.kind) {
        case orvet::ValueKind::Integer: return "int " + text;
        case orvet::ValueKind::Float: return "float " + text;
        case orvet::ValueKind::Boolean: return "bool " + text;
        case orvet::ValueKind::Undefined: return "undefined";
        case orvet::ValueKind::Null: return "null";
        default: return text;
        }
    }

    FakePlayer player;
    orvet::EnginePtr engine = orvet::CreateEngine({}, host::hostClasses(static_cast<HostPlayer*>(&player)));
    std::vector<std::string> traced;
};

} // namespace lumbra::test
