#include "package/PlayerException.h"

#include <windows.h>

namespace lumbra {

std::string lastSystemErrorText()
{
    char buffer[256] = {};
    DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                                  GetLastError(), MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), buffer,
                                  sizeof buffer - 1, nullptr);
    return std::string(buffer, length);
}

} // namespace lumbra
