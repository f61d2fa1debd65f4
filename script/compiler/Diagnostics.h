// The compiler's diagnostic sink: "warning: line N: ..." and "error: line N:
// ..." lines on the compilation's message stream. A warning returns; an error
// writes its line and abandons the compilation by throwing CompileError,
// which only the compile driver catches.
#pragma once

#include <cstdarg>
#include <exception>

#include "script/runtime/ByteStream.h"

namespace orvet {

class CompileError : public std::exception {
public:
    const char* what() const noexcept override { return "compilation abandoned"; }
};

class Diagnostics {
public:
    explicit Diagnostics(ByteStream& messages) : messages_(messages) {}

    [[gnu::format(printf, 3, 4)]] void warning(int line, const char* format, ...);
    [[noreturn, gnu::format(printf, 3, 4)]] void error(int line, const char* format, ...);

private:
    void write(const char* kind, int line, const char* format, std::va_list args);

    ByteStream& messages_;
};

} // namespace orvet
