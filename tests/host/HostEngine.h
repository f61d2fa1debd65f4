// The host classes that need no running player, in an engine of their own.
#pragma once

#include "ScriptHost.h"

#include "host/DataFile.h"
#include "host/Encryption.h"

namespace lumbra::test {

inline orvet::HostClasses portableHostClasses()
{
    orvet::HostClasses classes;
    classes.encryption = registerEncryptionClass;
    classes.dataFile = registerDataFileClass;
    return classes;
}

class HostEngine : public ScriptHost {
public:
    explicit HostEngine(const orvet::HostClasses& classes = portableHostClasses()) : ScriptHost(classes) {}
};

// A script string literal holding the text.
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
