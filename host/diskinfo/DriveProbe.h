// Where drive identification comes from: the system's device interfaces on
// Windows; tests hand in recorded answers.
#pragma once

#include <memory>
#include <optional>

#include "host/diskinfo/DriveIdentity.h"

namespace lumbra {

class DriveProbe {
public:
    virtual ~DriveProbe() = default;
    // The IDENTIFY answers of drives 0-3; an entry is empty where no drive answered.
    virtual std::array<std::optional<IdentifyData>, 4> identifyDrives() = 0;
};

// The probe of this system (on systems without one, a probe that finds nothing).
std::unique_ptr<DriveProbe> systemDriveProbe();

} // namespace lumbra
