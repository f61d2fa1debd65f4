#include "package/PlayerException.h"

#include <cerrno>
#include <cstring>

namespace lumbra {

std::string lastSystemErrorText()
{
    std::string text = std::strerror(errno);
    if (text.size() > 255)
        text.resize(255);
    return text;
}

} // namespace lumbra
