// Shared helpers of the compiler tests.
#pragma once

#include <string>
#include <string_view>

#include "script/compiler/Compiler.h"
#include "script/runtime/ConstantPool.h"

namespace orvet::test {

// Byte-to-unit decoding: enough for the ASCII texts of the tests.
AnsiDecoder latin1Decoder();

CompileResult compileSource(std::string_view source, std::uint32_t options = 0);

// Disassembly of the compiled source; on failure, the messages instead.
std::string listing(std::string_view source, std::uint32_t options = 0);

// Only the instruction lines of the listing of the given function.
std::string functionCode(std::string_view source, std::string_view function = ".main", std::uint32_t options = 0);

// Messages of a compilation that is expected to fail.
std::string errors(std::string_view source, std::uint32_t options = 0);

} // namespace orvet::test
