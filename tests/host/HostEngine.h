// An engine with the host classes that need no running player, its trace
// output captured, and short ways to run a program and read its value.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/DataFile.h"
#include "host/Encryption.h"
#include "script/engine/EngineRun.h"
#include "script/engine/ScriptEngine.h"
#include "script/runtime/Conversions.h"
#include "script/runtime/RuntimeError.h"
#include "script/runtime/ScriptString.h"

namespace lumbra::test {

inline orvet::HostClasses portableHostClasses()
{
    orvet::HostClasses classes;
    classes.encryption = registerEncryptionClass;
    classes.dataFile = registerDataFileClass;
    return classes;
}

class HostEngine {
public:
    explicit HostEngine(const orvet::HostClasses& classes = portableHostClasses())
        : engine(orvet::CreateEngine({}, classes))
    {
        orvet::SetTraceOutput(*engine, [](void* lines, std::string_view line) {
            static_cast<std::vector<std::string>*>(lines)->emplace_back(line);
        }, &traced);
    }

    orvet::ScriptContext& ctx() { return *engine->context; }

    // Runs a program that must complete and gives its value as ANSI text;
    // "null" and "undefined" for those values.
    std::string value(const std::string& program)
    {
        EXPECT_EQ(orvet::RunSourceText(*engine, program.c_str()), 1)
            << program << "\n" << ctx().errorBuffer << ctx().compilerMessages;
        const orvet::ScriptValue v = ctx().result;
        if (v.is(orvet::ValueKind::Null))
            return "null";
        if (v.is(orvet::ValueKind::Undefined))
            return "undefined";
        std::string text;
        EXPECT_TRUE(orvet::protectedCall(ctx(), [&] { text = orvet::toAnsi(*orvet::toString(ctx(), v)); }));
        return text;
    }

    orvet::EnginePtr engine;
    std::vector<std::string> traced;
};

// A script string literal holding the text, with every character escaped.
inline std::string scriptLiteral(const std::string& text)
{
    std::string literal = "\"";
    for (char c : text) {
        if (c == '\n' || c == '\r') {
            literal += c == '\n' ? "\\n" : "\\r";
            continue;
        }
        if (c == '"' || c == '\\')
            literal += '\\';
        literal += c;
    }
    return literal + "\"";
}

} // namespace lumbra::test
