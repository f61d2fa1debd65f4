#include "host/win32/MciDevice.h"

namespace lumbra::host {

MciDevice::MciDevice(orvet::ScriptEngine& owner, HWND flashWindow) : engine(owner), window(*this, flashWindow) {}

MciDevice::~MciDevice()
{
    // Notices of the closing device must not reach a script: the engine may
    // be going, and this object certainly is.
    window.detach();
    closeQuietly();
}

MCIERROR MciDevice::send(UINT message, DWORD flags, void* params) const
{
    return mciSendCommandW(deviceId, message, flags, reinterpret_cast<DWORD_PTR>(params));
}

std::int32_t MciDevice::status(DWORD item, DWORD extraFlags)
{
    MCI_STATUS_PARMS params{};
    params.dwItem = item;
    params.dwTrack = static_cast<DWORD>(track);
    return request(MCI_STATUS, MCI_STATUS_ITEM | extraFlags, params) == 0 ? static_cast<std::int32_t>(params.dwReturn)
                                                                          : 0;
}

bool MciDevice::capability(DWORD item)
{
    MCI_GETDEVCAPS_PARMS params{};
    params.dwItem = item;
    return request(MCI_GETDEVCAPS, MCI_GETDEVCAPS_ITEM, params) == 0 && params.dwReturn != 0;
}

void MciDevice::closeQuietly()
{
    if (!isOpen())
        return;
    MCI_GENERIC_PARMS params{};
    send(MCI_CLOSE, 0, &params);
    deviceId = 0;
}

} // namespace lumbra::host
