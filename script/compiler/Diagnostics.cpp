#include "script/compiler/Diagnostics.h"

#include <cstdarg>
#include <cstdio>

namespace orvet {

namespace {
constexpr std::size_t kMessageSize = 256; // longer messages are cut
}

void Diagnostics::write(const char* kind, int line, const char* format, std::va_list args)
{
    char message[kMessageSize];
    std::vsnprintf(message, sizeof message, format, args);
    messages_.pack("sasss", kind, line, ": ", static_cast<const char*>(message), "\r\n");
}

void Diagnostics::warning(int line, const char* format, ...)
{
    std::va_list args;
    va_start(args, format);
    write("warning: line ", line, format, args);
    va_end(args);
}

void Diagnostics::error(int line, const char* format, ...)
{
    std::va_list args;
    va_start(args, format);
    write("error: line ", line, format, args);
    va_end(args);
    throw CompileError();
}

} // namespace orvet
