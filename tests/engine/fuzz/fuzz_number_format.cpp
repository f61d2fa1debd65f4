// Script-supplied printf formats for Number "format": any text must give a
// result or nothing, never read an argument that is not there.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "script/engine/builtins/NumberClassFormat.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 8)
        return 0;
    std::int64_t integer;
    std::memcpy(&integer, data, sizeof integer);
    double number;
    std::memcpy(&number, data, sizeof number);
    const std::string_view format(reinterpret_cast<const char*>(data + 8), size - 8);
    orvet::formatNumber(format, integer);
    orvet::formatNumber(format, number);
    return 0;
}
