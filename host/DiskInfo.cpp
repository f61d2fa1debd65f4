#include "host/DiskInfo.h"

#include "host/diskinfo/DriveProbe.h"
#include "script/engine/ClassRegistration.h"
#include "script/engine/ScriptEngine.h"

namespace lumbra {

namespace {

using namespace orvet;

enum Member { kModelNumber, kSerialNumber, kRevisionNumber, kDriveType, kBufferSize, kCylinders, kHeads, kSectors };

// The class's drive table, filled from the probe when a drive is first asked for.
struct DiskInfoClass : MemberAtoms {
    std::unique_ptr<DriveProbe> probe;
    std::array<std::optional<DriveIdentity>, 4> drives;

    // The drive's entry, running detection first when it is not there yet.
    const DriveIdentity* drive(std::size_t number)
    {
        if (!drives[number]) {
            const auto answers = probe->identifyDrives();
            for (std::size_t i = 0; i < drives.size(); ++i)
                if (!drives[i] && answers[i])
                    drives[i] = parseIdentifyData(*answers[i]);
        }
        return drives[number] ? &*drives[number] : nullptr;
    }
};

// DiskInfo(n) and new DiskInfo(n): the object of drive n (0 when missing), or
// Null for another argument or a drive that gives no identification.
ScriptValue diskObject(ScriptContext& ctx, NativeClass& cls, const ScriptValue* args)
{
    std::int64_t number = 0;
    if (hasArgument(args, 1)) {
        if (!args[1].is(ValueKind::Integer) || args[1].integer < 0 || args[1].integer > 3)
            return ScriptValue::null();
        number = args[1].integer;
    }
    const DriveIdentity* drive = MemberAtoms::of<DiskInfoClass>(cls).drive(std::size_t(number));
    if (!drive)
        return ScriptValue::null();
    // The entry lives in the class's table, which outlives every instance.
    return newInstance(ctx, &cls, const_cast<DriveIdentity*>(drive));
}

void diskInfoCall(ScriptContext& ctx, NativeClass& cls, void*, ScriptValue* result, ScriptValue* args)
{
    *result = diskObject(ctx, cls, args);
}

void diskInfoConstruct(ScriptContext& ctx, NativeClass& cls, ScriptValue* args, ScriptValue* result)
{
    *result = diskObject(ctx, cls, args);
}

int diskInfoMethod(ScriptContext& ctx, NativeClass&, void*, Atom name, ScriptValue* result, ScriptValue*)
{
    if (name != kAtomToString)
        return 0;
    *result = staticStringValue(ctx, u"[object DiskInfo]");
    return 1;
}

int diskInfoProperty(ScriptContext& ctx, NativeClass& cls, void* data, Atom name, int set, ScriptValue* value)
{
    const int member = MemberAtoms::of(cls).find(name);
    if (!data || member < 0)
        return 0;
    if (set)
        return 1; // read only
    const auto& drive = *static_cast<const DriveIdentity*>(data);
    switch (member) {
    case kModelNumber: *value = ansiStringValue(ctx, drive.modelNumber); break;
    case kSerialNumber: *value = ansiStringValue(ctx, drive.serialNumber); break;
    case kRevisionNumber: *value = ansiStringValue(ctx, drive.revisionNumber); break;
    case kDriveType: *value = ansiStringValue(ctx, drive.driveType); break;
    case kBufferSize: *value = ScriptValue::ofInt(drive.bufferSize); break;
    case kCylinders: *value = ScriptValue::ofInt(drive.cylinders); break;
    case kHeads: *value = ScriptValue::ofInt(drive.heads); break;
    case kSectors: *value = ScriptValue::ofInt(drive.sectors); break;
    }
    return 1;
}

} // namespace

void registerDiskInfoClass(ScriptEngine& engine, void* host, std::unique_ptr<DriveProbe> probe)
{
    ScriptContext& ctx = *engine.context;
    NativeClass* cls = newClass(ctx);
    auto& state = MemberAtoms::attach<DiskInfoClass>(engine, host, *cls, {"modelNumber", "serialNumber", "revisionNumber",
                                                                 "driveType", "bufferSize", "cylinders", "heads",
                                                                 "sectors"});
    state.probe = std::move(probe);
    cls->call = diskInfoCall;
    cls->construct = diskInfoConstruct;
    cls->callMethod = diskInfoMethod;
    cls->accessProperty = diskInfoProperty;
    registerGlobalClass(ctx, "DiskInfo", cls);
}

void registerDiskInfoClass(ScriptEngine& engine, void* host)
{
    registerDiskInfoClass(engine, host, systemDriveProbe());
}

} // namespace lumbra
