// One connection of the script class "MCI" to a media device: the native data
// of an "MCI" object. It holds what the script set (type, file, alias,
// positions, flags, the video rectangle), the open device's identifier, the
// status code of the last device command and the object's playback window,
// and sends the device commands, always to its own device (device 0 while
// closed, which the system refuses with its own status code).
#pragma once

#include "host/win32/MciSystem.h"

#include <cstdint>
#include <optional>
#include <string>

#include "host/win32/MciPlaybackWindow.h"
#include "script/runtime/ScriptValue.h"

namespace orvet {
struct ScriptEngine;
}

namespace lumbra::host {

struct MciDevice {
    // The device closes (in the destructor's body) before its callback
    // window goes with the members.
    explicit MciDevice(orvet::ScriptEngine& owner, HWND flashWindow);
    ~MciDevice();
    MciDevice(const MciDevice&) = delete;
    MciDevice& operator=(const MciDevice&) = delete;

    // Sends a command with its parameter block, whose callback window becomes
    // the playback window: the notify and wait flags are added as the script
    // set them, and the status code becomes `lastError`.
    template <class Params>
    MCIERROR command(UINT message, DWORD flags, Params& params)
    {
        params.dwCallback = reinterpret_cast<DWORD_PTR>(window.handle());
        return record(send(message, flags | commandFlags(), &params));
    }
    // A status (MCI_STATUS_...) or capability (MCI_GETDEVCAPS_...) item; the
    // status code becomes `lastError`, the answer 0 when the device failed.
    std::int32_t status(DWORD item, DWORD extraFlags = 0);
    bool capability(DWORD item);
    // A device command of the object's own, without notice or wait: the
    // status code becomes `lastError`.
    template <class Params>
    MCIERROR request(UINT message, DWORD flags, Params& params)
    {
        return record(send(message, flags, &params));
    }
    // Sends without notice, wait or recording the status code: the steps
    // of "open" and the playback window's own requests.
    MCIERROR send(UINT message, DWORD flags, void* params) const;

    bool isOpen() const { return deviceId != 0; }
    // Closes an open device without flags; the device is closed afterwards.
    void closeQuietly();

    orvet::ScriptEngine& engine;
    orvet::ScriptValue self; // the "MCI" object owning this data (it owns us: not marked)
    orvet::ScriptValue onNotify; // a Function, or Undefined

    MCIDEVICEID deviceId = 0;
    std::optional<std::wstring> deviceType, fileName, alias;
    bool sharable = false, notify = false, wait = false, recordMode = false;
    std::int32_t from = -1, to = -1;
    std::int32_t frames = 0, channel = 0, track = 0;
    std::int32_t left = 0, top = 0, width = 0, height = 0;
    MCIERROR lastError = 0;

    PlaybackWindow window;

private:
    DWORD commandFlags() const { return (notify ? MCI_NOTIFY : 0) | (wait ? MCI_WAIT : 0); }
    MCIERROR record(MCIERROR status)
    {
        lastError = status;
        return status;
    }
};

} // namespace lumbra::host
