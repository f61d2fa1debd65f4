// The properties of an "MCI" object: what the script sets for the next
// command, the device's status and capabilities asked on every read, the
// last command's status, and "command", which runs one.
#include <cmath>
#include <cstdint>
#include <optional>
#include <string>

#include "host/win32/MciClassState.h"
#include "host/win32/MciDevice.h"
#include "host/win32/WideText.h"
#include "host/win32/WindowClass.h"
#include "script/runtime/Conversions.h"
#include "script/runtime/NativeClass.h"
#include "script/runtime/ScriptString.h"

namespace lumbra::host {

namespace {

using orvet::ScriptValue;
using orvet::ValueKind;
using Member = MciMember;

ScriptValue textValue(orvet::ScriptContext& ctx, const std::optional<std::wstring>& text)
{
    return text ? orvet::stringValue(ctx, scriptText(text->c_str(), text->size())) : ScriptValue::null();
}

// An Integer kept as a 32-bit number.
std::optional<std::int32_t> integerOf(const ScriptValue& value)
{
    return value.is(ValueKind::Integer) ? std::optional(static_cast<std::int32_t>(value.integer)) : std::nullopt;
}

// The video rectangle also takes a Float, truncated, when it fits.
std::optional<std::int32_t> coordinateOf(const ScriptValue& value)
{
    if (value.is(ValueKind::Float) && std::isfinite(value.number) && std::fabs(value.number) < 2147483648.0)
        return static_cast<std::int32_t>(value.number);
    return integerOf(value);
}

std::optional<bool> flagOf(const ScriptValue& value)
{
    if (value.is(ValueKind::Boolean))
        return value.boolean != 0;
    if (value.is(ValueKind::Integer))
        return value.integer != 0;
    return std::nullopt;
}

// 0 switches both channels on, 1 only the left, 2 only the right.
void selectChannel(MciDevice& device, std::int32_t channel)
{
    const auto audio = [&](DWORD which, bool on) {
        MCI_SET_PARMS params{};
        params.dwAudio = which;
        device.request(MCI_SET, MCI_SET_AUDIO | (on ? MCI_SET_ON : MCI_SET_OFF), params);
    };
    switch (channel) {
    case 0: audio(MCI_SET_AUDIO_ALL, true); break;
    case 1: audio(MCI_SET_AUDIO_LEFT, true); audio(MCI_SET_AUDIO_RIGHT, false); break;
    case 2: audio(MCI_SET_AUDIO_LEFT, false); audio(MCI_SET_AUDIO_RIGHT, true); break;
    default: break; // stored, but no channel to select
    }
}

void setTimeFormat(MciDevice& device, std::int32_t format)
{
    MCI_SET_PARMS params{};
    params.dwTimeFormat = static_cast<DWORD>(format);
    device.request(MCI_SET, MCI_SET_TIME_FORMAT, params);
}

std::u16string errorText(MCIERROR error)
{
    wchar_t text[128] = {};
    if (!mciGetErrorStringW(error, text, 128))
        return {};
    return std::u16string(scriptText(text, wcslen(text)));
}

template <class T>
void store(std::optional<T> given, T& field)
{
    if (given)
        field = *given;
}

ScriptValue read(orvet::ScriptContext& ctx, MciDevice& device, Member member)
{
    switch (member) {
    case Member::DeviceId: return ScriptValue::ofInt(device.deviceId);
    case Member::DeviceType: return textValue(ctx, device.deviceType);
    case Member::FileName: return textValue(ctx, device.fileName);
    case Member::Alias: return textValue(ctx, device.alias);
    case Member::From: return ScriptValue::ofInt(device.from);
    case Member::To: return ScriptValue::ofInt(device.to);
    case Member::Frames: return ScriptValue::ofInt(device.frames);
    case Member::Track: return ScriptValue::ofInt(device.track);
    case Member::Notify: return ScriptValue::ofBool(device.notify);
    case Member::Wait: return ScriptValue::ofBool(device.wait);
    case Member::Sharable: return ScriptValue::ofBool(device.sharable);
    case Member::RecordMode: return ScriptValue::ofBool(device.recordMode);
    case Member::Channel: return ScriptValue::ofInt(device.channel);
    case Member::TimeFormat: return ScriptValue::ofInt(device.status(MCI_STATUS_TIME_FORMAT));
    case Member::Length: return ScriptValue::ofInt(device.status(MCI_STATUS_LENGTH));
    case Member::Position: return ScriptValue::ofInt(device.status(MCI_STATUS_POSITION));
    case Member::Start: return ScriptValue::ofInt(device.status(MCI_STATUS_POSITION, MCI_STATUS_START));
    case Member::Mode: return ScriptValue::ofInt(device.status(MCI_STATUS_MODE));
    case Member::Tracks: return ScriptValue::ofInt(device.status(MCI_STATUS_NUMBER_OF_TRACKS));
    case Member::TrackLength: return ScriptValue::ofInt(device.status(MCI_STATUS_LENGTH, MCI_TRACK));
    case Member::TrackPosition: return ScriptValue::ofInt(device.status(MCI_STATUS_POSITION, MCI_TRACK));
    case Member::CanEject: return ScriptValue::ofBool(device.capability(MCI_GETDEVCAPS_CAN_EJECT));
    case Member::CanPlay: return ScriptValue::ofBool(device.capability(MCI_GETDEVCAPS_CAN_PLAY));
    case Member::CanRecord: return ScriptValue::ofBool(device.capability(MCI_GETDEVCAPS_CAN_RECORD));
    case Member::CanStep: return ScriptValue::ofBool(device.capability(MCI_GETDEVCAPS_HAS_VIDEO));
    case Member::Error: return ScriptValue::ofBool(device.lastError != 0);
    case Member::ErrorMsg: return orvet::stringValue(ctx, errorText(device.lastError));
    case Member::Left: return ScriptValue::ofInt(device.left);
    case Member::Top: return ScriptValue::ofInt(device.top);
    case Member::Width: return ScriptValue::ofInt(device.width);
    case Member::Height: return ScriptValue::ofInt(device.height);
    case Member::PlayerWindow:
        return device.window.handle() ? MakeWindowObject(ctx, device.window.handle()) : ScriptValue::null();
    case Member::OnNotify:
        return device.onNotify.is(ValueKind::Function) ? device.onNotify : ScriptValue::null();
    default: return ScriptValue(); // "command" reads as Undefined
    }
}

std::optional<std::wstring>* textField(MciDevice& device, Member member)
{
    switch (member) {
    case Member::DeviceType: return &device.deviceType;
    case Member::FileName: return &device.fileName;
    case Member::Alias: return &device.alias;
    default: return nullptr;
    }
}

// Any value is made text; converting an object runs its "toString", which
// may let this very object go: the text is stored only if it still lives.
void writeText(orvet::ScriptContext& ctx, const MciClassState& state, void* data, Member member,
               const ScriptValue& value)
{
    std::wstring text = wideText(orvet::toString(ctx, value)->view());
    if (state.connections.contains(data))
        *textField(*static_cast<MciDevice*>(data), member) = std::move(text);
}

// Values of the wrong kind are ignored, as are sets of what the device says.
void write(MciClassState& state, MciDevice& device, Member member, const ScriptValue& value)
{
    switch (member) {
    case Member::From: store(integerOf(value), device.from); break;
    case Member::To: store(integerOf(value), device.to); break;
    case Member::Frames: store(integerOf(value), device.frames); break;
    case Member::Track: store(integerOf(value), device.track); break;
    case Member::Notify: store(flagOf(value), device.notify); break;
    case Member::Wait: store(flagOf(value), device.wait); break;
    case Member::Sharable: store(flagOf(value), device.sharable); break;
    case Member::RecordMode: store(flagOf(value), device.recordMode); break;
    case Member::Channel:
        if (const auto channel = integerOf(value)) {
            device.channel = *channel;
            selectChannel(device, *channel);
        }
        break;
    case Member::TimeFormat:
        if (const auto format = integerOf(value))
            setTimeFormat(device, *format);
        break;
    case Member::Left: store(coordinateOf(value), device.left); break;
    case Member::Top: store(coordinateOf(value), device.top); break;
    case Member::Width: store(coordinateOf(value), device.width); break;
    case Member::Height: store(coordinateOf(value), device.height); break;
    case Member::OnNotify:
        if (value.is(ValueKind::Function))
            device.onNotify = value;
        break;
    case Member::Command:
        if (value.is(ValueKind::String))
            runMciCommand(device, state.aliases, value.string->view());
        break;
    default: break;
    }
}

bool isProperty(Member member) { return member >= Member::DeviceId && member <= Member::Command; }

} // namespace

// Only instances have properties; the global "MCI" answers none.
int mciProperty(orvet::ScriptContext& ctx, orvet::NativeClass& cls, void* data, orvet::Atom name, int set,
                ScriptValue* value)
{
    auto& state = orvet::MemberAtoms::of<MciClassState>(cls);
    const Member member = state.member(name);
    if (!data || !isProperty(member))
        return 0;
    auto& device = *static_cast<MciDevice*>(data);
    if (set && textField(device, member))
        writeText(ctx, state, data, member, *value);
    else if (set)
        write(state, device, member, *value);
    else
        *value = read(ctx, device, member);
    return 1;
}

} // namespace lumbra::host
