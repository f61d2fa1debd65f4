// The portable build asks no device: it finds no drive, and DiskInfo answers
// Null as on a machine without readable drives.
#include "host/diskinfo/DriveProbe.h"

namespace lumbra {

namespace {

class NoDriveProbe final : public DriveProbe {
public:
    std::array<std::optional<IdentifyData>, 4> identifyDrives() override { return {}; }
};

} // namespace

std::unique_ptr<DriveProbe> systemDriveProbe() { return std::make_unique<NoDriveProbe>(); }

} // namespace lumbra
