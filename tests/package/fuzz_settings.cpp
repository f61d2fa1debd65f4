// Settings records from untrusted blocks or profiles: read, written back,
// and no embedded file placed outside the working folder.
#include "FuzzFolder.h"

#include "package/SettingsRecord.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    auto working = lumbra::test::freshWorkingFolder();
    lumbra::ProjectSettings settings = lumbra::readSettings({data, size}, working);
    auto record = lumbra::writeSettings(settings);
    // A record written by writeSettings reads back to the same settings.
    if (lumbra::readSettings(record, working) != settings)
        std::abort();
    if (!lumbra::test::nothingEscaped())
        std::abort();
    return 0;
}
