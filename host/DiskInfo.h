// "DiskInfo": the identification data of the hard disks (model, serial
// number, firmware revision, geometry), for drive numbers 0-3.
#pragma once

#include <memory>

namespace orvet {
struct ScriptEngine;
}

namespace lumbra {

class DriveProbe;

// With the system's own drive probe.
void registerDiskInfoClass(orvet::ScriptEngine& engine, void* host);
void registerDiskInfoClass(orvet::ScriptEngine& engine, void* host, std::unique_ptr<DriveProbe> probe);

} // namespace lumbra
