// Running scripts in an engine: compiled images from memory or a file,
// source text, source files, and files of either kind.
//
// Every entry returns 1 when the script ran to its end (its value is then
// the context's result), 0 when a runtime error or an uncaught throw ended
// it (the message is in the context's error buffer), and -1 when there was
// nothing to run: the source did not compile or a file could not be opened
// (the messages are in the context's compiler messages), or the image did not
// load (the loaders write no message; the error buffer is empty).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace orvet {

struct ScriptEngine;

int RunCompiledMemory(ScriptEngine& engine, const std::uint8_t* bytes, std::size_t length);
int RunCompiledFile(ScriptEngine& engine, const std::string& path);
// The text ends at its first NUL, if it has one.
int RunSourceText(ScriptEngine& engine, const char* text);
int RunSourceText(ScriptEngine& engine, const char* text, std::size_t length);
int RunSourceFile(ScriptEngine& engine, const std::string& path);
// By extension (".ovc" compiled, ".ovs" source, case-insensitive), else by
// content: the image magic, after an optional first line that begins with
// "#", means compiled; anything else is source.
int RunFile(ScriptEngine& engine, const std::string& path);

} // namespace orvet
