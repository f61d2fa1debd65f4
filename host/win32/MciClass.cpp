#include "host/win32/MciClass.h"

#include "host/win32/MciSystem.h"

#include <memory>
#include <optional>
#include <string>

#include "host/MciTimeFormat.h"
#include "host/win32/MciClassState.h"
#include "host/win32/MciDevice.h"
#include "host/win32/WideText.h"
#include "script/engine/ScriptEngine.h"
#include "script/runtime/Collector.h"
#include "script/runtime/NativeClass.h"
#include "script/runtime/ScriptArray.h"
#include "script/runtime/ScriptString.h"

namespace lumbra::host {

namespace {

using orvet::ScriptValue;
using orvet::ValueKind;
using Member = MciMember;

MciClassState& stateOf(const orvet::NativeClass& cls) { return orvet::MemberAtoms::of<MciClassState>(cls); }

// new MCI() and MCI(): a closed connection with its playback window.
ScriptValue newConnection(orvet::ScriptContext& ctx, orvet::NativeClass& cls)
{
    MciClassState& state = stateOf(cls);
    auto device = std::make_unique<MciDevice>(*state.engine, state.player() ? state.player()->flashWindow() : nullptr);
    device->self = orvet::newInstance(ctx, &cls, device.get());
    MciDevice* owned = device.release(); // the instance's from now on
    state.connections.insert(owned);
    return owned->self;
}

void mciCall(orvet::ScriptContext& ctx, orvet::NativeClass& cls, void*, ScriptValue* result, ScriptValue*)
{
    *result = newConnection(ctx, cls);
}

void mciConstruct(orvet::ScriptContext& ctx, orvet::NativeClass& cls, ScriptValue*, ScriptValue* result)
{
    *result = newConnection(ctx, cls);
}

// Null data is the class object, which owns no device.
void destroyConnection(orvet::ScriptContext&, orvet::NativeClass& cls, void* data)
{
    stateOf(cls).connections.erase(data);
    delete static_cast<MciDevice*>(data);
}

void markConnection(orvet::ScriptContext& ctx, orvet::NativeClass&, void* data)
{
    if (data)
        orvet::markValue(ctx, static_cast<MciDevice*>(data)->onNotify);
}

// The raw command string, without a callback window: the device's answer,
// or the system's text for the failure.
ScriptValue sendCommandString(orvet::ScriptContext& ctx, MciDevice* device, const ScriptValue* args)
{
    if (!orvet::hasArgument(args, 1) || !args[1].is(ValueKind::String))
        return ScriptValue();
    constexpr UINT kReturnSize = 4096;
    auto answer = std::make_unique<wchar_t[]>(kReturnSize);
    answer[0] = 0;
    const MCIERROR status = mciSendStringW(wideText(args[1].string->view()).c_str(), answer.get(), kReturnSize, nullptr);
    if (device)
        device->lastError = status;
    if (status != 0 && !mciGetErrorStringW(status, answer.get(), kReturnSize))
        answer[0] = 0;
    return orvet::stringValue(ctx, scriptText(answer.get(), wcslen(answer.get())));
}

// The installed devices: the system's count, then each device's name by
// number (an empty text where a name cannot be read).
ScriptValue installedDevices(orvet::ScriptContext& ctx)
{
    const auto sysinfo = [](DWORD flags, DWORD number, void* answer, DWORD size) {
        MCI_SYSINFO_PARMSW params{};
        params.lpstrReturn = static_cast<wchar_t*>(answer);
        params.dwRetSize = size;
        params.dwNumber = number;
        params.wDeviceType = MCI_ALL_DEVICE_ID;
        return LOWORD(mciSendCommandW(MCI_ALL_DEVICE_ID, MCI_SYSINFO, flags, reinterpret_cast<DWORD_PTR>(&params)));
    };
    DWORD count = 0;
    if (sysinfo(MCI_SYSINFO_QUANTITY, 0, &count, sizeof count) != 0)
        count = 0;
    orvet::ScriptArray* devices = orvet::newArray(ctx);
    const ScriptValue result = ScriptValue::ofArray(devices);
    for (DWORD number = 1; number <= count; ++number) {
        wchar_t name[MAX_PATH] = {};
        if (sysinfo(MCI_SYSINFO_NAME, number, name, MAX_PATH) != 0)
            name[0] = 0;
        orvet::arrayAppend(ctx, *devices, orvet::stringValue(ctx, scriptText(name, wcslen(name))));
    }
    return result;
}

// The time-format helpers: an Integer for each Integer argument, else
// Undefined.
std::optional<std::int64_t> integerArgument(const ScriptValue* args, int n)
{
    if (!orvet::hasArgument(args, n) || !args[n].is(ValueKind::Integer))
        return std::nullopt;
    return args[n].integer;
}

ScriptValue field(const ScriptValue* args, int index)
{
    const auto packed = integerArgument(args, 1);
    return packed ? ScriptValue::ofInt(timeField(*packed, index)) : ScriptValue();
}

ScriptValue pack(const ScriptValue* args, int fields)
{
    std::int64_t values[4] = {};
    for (int i = 0; i < fields; ++i) {
        const auto value = integerArgument(args, i + 1);
        if (!value)
            return ScriptValue();
        values[i] = *value;
    }
    return ScriptValue::ofInt(fields == 4 ? packTime(values[0], values[1], values[2], values[3])
                                          : packTime(values[0], values[1], values[2]));
}

// The methods answer on the class object as on its instances.
int mciMethod(orvet::ScriptContext& ctx, orvet::NativeClass& cls, void* data, orvet::Atom name, ScriptValue* result,
              ScriptValue* args)
{
    if (name == orvet::kAtomToString) {
        *result = orvet::staticStringValue(ctx, u"[object MCI]");
        return 1;
    }
    switch (stateOf(cls).member(name)) {
    case Member::SendCmdString: *result = sendCommandString(ctx, static_cast<MciDevice*>(data), args); return 1;
    case Member::GetDevices: *result = installedDevices(ctx); return 1;
    case Member::HmsHour:
    case Member::MsfMinute:
    case Member::TmsfTrack: *result = field(args, 0); return 1;
    case Member::HmsMinute:
    case Member::MsfSecond:
    case Member::TmsfMinute: *result = field(args, 1); return 1;
    case Member::HmsSecond:
    case Member::MsfFrame:
    case Member::TmsfSecond: *result = field(args, 2); return 1;
    case Member::TmsfFrame: *result = field(args, 3); return 1;
    case Member::MakeHms:
    case Member::MakeMsf: *result = pack(args, 3); return 1;
    case Member::MakeTmsf: *result = pack(args, 4); return 1;
    default: return 0;
    }
}

} // namespace

void registerMciClass(orvet::ScriptEngine& engine, void* host)
{
    orvet::ScriptContext& ctx = *engine.context;
    registerPlaybackWindowClass();
    orvet::NativeClass* cls = orvet::newClass(ctx);
    orvet::MemberAtoms::attach<MciClassState>(engine, host, *cls, {
        "deviceID", "deviceType", "fileName", "alias", "from", "to", "frames", "track", "notify", "wait", "sharable",
        "recordMode", "channel", "timeFormat", "length", "position", "start", "mode", "tracks", "trackLength",
        "trackPosition", "canEject", "canPlay", "canRecord", "canStep", "error", "errorMsg", "left", "top", "width",
        "height", "playerWindow", "onNotify", "command",
        "sendCmdString", "getDevices", "hmsHour", "hmsMinute", "hmsSecond", "msfMinute", "msfSecond", "msfFrame",
        "tmsfTrack", "tmsfMinute", "tmsfSecond", "tmsfFrame", "makeHMS", "makeMSF", "makeTMSF",
    });
    cls->call = mciCall;
    cls->construct = mciConstruct;
    cls->callMethod = mciMethod;
    cls->accessProperty = mciProperty;
    cls->destroyData = destroyConnection;
    cls->markData = markConnection;
    orvet::registerGlobalClass(ctx, "MCI", cls);
}

} // namespace lumbra::host
