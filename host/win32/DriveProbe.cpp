// Drive identification through the Windows device interfaces: the SMART
// requests of the disk driver first, then the SCSI miniport's identify
// request. (Reading the IDE controller's ports directly needs a port driver
// on Windows NT systems, which the player does not load, so that way finds
// nothing here and is left out.)
#include "host/diskinfo/DriveProbe.h"

#include <windows.h>
#include <winioctl.h>
#include <ntddscsi.h>

#include <cstdio>
#include <cstring>
#include <vector>

namespace lumbra {

namespace {

// The miniport's identify request (the driver kit's IOCTL_SCSI_MINIPORT_IDENTIFY).
constexpr DWORD kScsiDevice = 0x1b;
constexpr DWORD kMiniportIdentify = (kScsiDevice << 16) + 0x0501;
constexpr DWORD kMiniportTimeout = 10000; // seconds, as the miniport counts them
constexpr std::size_t kIdentifySize = 512;

struct HandleCloser {
    void operator()(HANDLE handle) const { CloseHandle(handle); }
};
using DeviceHandle = std::unique_ptr<void, HandleCloser>;

DeviceHandle openDevice(const char* name)
{
    HANDLE handle = CreateFileA(name, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, 0, nullptr);
    return DeviceHandle(handle == INVALID_HANDLE_VALUE ? nullptr : handle);
}

// The IDENTIFY command for a drive, as the SMART and miniport requests carry it.
SENDCMDINPARAMS identifyCommand(int drive, BYTE command)
{
    SENDCMDINPARAMS in{};
    in.cBufferSize = kIdentifySize;
    in.irDriveRegs.bSectorCountReg = 1;
    in.irDriveRegs.bSectorNumberReg = 1;
    in.irDriveRegs.bDriveHeadReg = BYTE(0xA0 | (drive & 1) << 4);
    in.irDriveRegs.bCommandReg = command;
    in.bDriveNumber = BYTE(drive);
    return in;
}

IdentifyData answerOf(const SENDCMDOUTPARAMS& out)
{
    IdentifyData data;
    std::memcpy(data.data(), out.bBuffer, kIdentifySize);
    return data;
}

std::optional<IdentifyData> identifyBySmart(int drive)
{
    char name[32];
    std::snprintf(name, sizeof name, "\\\\.\\PhysicalDrive%d", drive);
    const DeviceHandle device = openDevice(name);
    if (!device)
        return std::nullopt;
    GETVERSIONINPARAMS version{};
    DWORD bytes = 0;
    if (!DeviceIoControl(device.get(), SMART_GET_VERSION, nullptr, 0, &version, sizeof version, &bytes, nullptr)
        || version.bIDEDeviceMap == 0)
        return std::nullopt;
    const bool atapi = version.bIDEDeviceMap >> drive & 0x10;
    SENDCMDINPARAMS in = identifyCommand(drive, atapi ? ATAPI_ID_CMD : ID_CMD);
    std::vector<BYTE> out(sizeof(SENDCMDOUTPARAMS) - 1 + kIdentifySize);
    if (!DeviceIoControl(device.get(), SMART_RCV_DRIVE_DATA, &in, sizeof in - 1, out.data(), DWORD(out.size()),
                         &bytes, nullptr))
        return std::nullopt;
    return answerOf(*reinterpret_cast<const SENDCMDOUTPARAMS*>(out.data()));
}

std::optional<IdentifyData> identifyByMiniport(HANDLE port, int target)
{
    const std::size_t inSize = sizeof(SENDCMDINPARAMS) - 1;
    const std::size_t outSize = sizeof(SENDCMDOUTPARAMS) - 1 + kIdentifySize;
    std::vector<BYTE> buffer(sizeof(SRB_IO_CONTROL) + std::max(inSize, outSize));
    auto* control = reinterpret_cast<SRB_IO_CONTROL*>(buffer.data());
    control->HeaderLength = sizeof(SRB_IO_CONTROL);
    std::memcpy(control->Signature, "SCSIDISK", 8);
    control->Timeout = kMiniportTimeout;
    control->Length = DWORD(outSize);
    control->ControlCode = kMiniportIdentify;
    const SENDCMDINPARAMS in = identifyCommand(target, ID_CMD);
    std::memcpy(buffer.data() + sizeof(SRB_IO_CONTROL), &in, inSize);
    DWORD bytes = 0;
    if (!DeviceIoControl(port, IOCTL_SCSI_MINIPORT, buffer.data(), DWORD(sizeof(SRB_IO_CONTROL) + inSize),
                         buffer.data(), DWORD(buffer.size()), &bytes, nullptr))
        return std::nullopt;
    return answerOf(*reinterpret_cast<const SENDCMDOUTPARAMS*>(buffer.data() + sizeof(SRB_IO_CONTROL)));
}

class SystemDriveProbe final : public DriveProbe {
public:
    std::array<std::optional<IdentifyData>, 4> identifyDrives() override
    {
        std::array<std::optional<IdentifyData>, 4> drives;
        bool found = false;
        for (int drive = 0; drive < 4; ++drive)
            found |= bool(drives[std::size_t(drive)] = identifyBySmart(drive));
        if (found)
            return drives;
        for (int port = 0; port < 2; ++port) {
            char name[16];
            std::snprintf(name, sizeof name, "\\\\.\\Scsi%d:", port);
            const DeviceHandle device = openDevice(name);
            for (int target = 0; device && target < 2; ++target)
                drives[std::size_t(port * 2 + target)] = identifyByMiniport(device.get(), target);
        }
        return drives;
    }
};

} // namespace

std::unique_ptr<DriveProbe> systemDriveProbe() { return std::make_unique<SystemDriveProbe>(); }

} // namespace lumbra
