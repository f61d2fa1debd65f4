#include "host/win32/MciCommands.h"

#include "host/win32/MciSystem.h"

#include <string>

#include "host/win32/MciDevice.h"

namespace lumbra::host {

namespace {

// The video of an opened device: the playback window becomes its display,
// as large as the script's rectangle or, with a width or height of 0, as the
// video's own frame, and shows at the script's position.
void showVideo(MciDevice& device)
{
    MCI_GETDEVCAPS_PARMS caps{};
    caps.dwItem = MCI_GETDEVCAPS_HAS_VIDEO;
    if (device.send(MCI_GETDEVCAPS, MCI_GETDEVCAPS_ITEM, &caps) != 0 || !caps.dwReturn || !device.window.handle())
        return;
    MCI_DGV_WINDOW_PARMSW window{};
    window.hWnd = device.window.handle();
    device.send(MCI_WINDOW, MCI_DGV_WINDOW_HWND, &window);

    SIZE size{device.width, device.height};
    if (size.cx == 0 || size.cy == 0) {
        MCI_DGV_RECT_PARMS source{};
        if (device.send(MCI_WHERE, MCI_DGV_WHERE_SOURCE, &source) == 0)
            size = {source.rc.right, source.rc.bottom}; // the rectangle's right and bottom are its size
    }
    MCI_DGV_RECT_PARMS destination{};
    destination.rc = {0, 0, size.cx, size.cy};
    device.send(MCI_PUT, MCI_DGV_PUT_DESTINATION | MCI_DGV_RECT, &destination);
    SetWindowPos(device.window.handle(), HWND_TOP, device.left, device.top, size.cx, size.cy,
                 SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

void open(MciDevice& device, AliasCounter& aliases)
{
    if (!device.alias) // generated once, kept for later opens
        device.alias = L"_Orvet_MCI_" + std::to_wstring(aliases.next++);
    MCI_OPEN_PARMSW params{};
    DWORD flags = MCI_OPEN_ALIAS;
    params.lpstrAlias = device.alias->c_str();
    if (device.sharable)
        flags |= MCI_OPEN_SHAREABLE;
    if (device.deviceType && !device.deviceType->empty()) {
        flags |= MCI_OPEN_TYPE;
        params.lpstrDeviceType = device.deviceType->c_str();
    }
    if (device.fileName) {
        flags |= MCI_OPEN_ELEMENT;
        params.lpstrElementName = device.fileName->c_str();
    }
    // Open always goes to no device: the new one is named by the alias.
    const MCIDEVICEID previous = device.deviceId;
    device.deviceId = 0;
    const MCIERROR status = device.command(MCI_OPEN, flags, params);
    device.deviceId = previous;
    if (status != 0)
        return;
    // One connection, one device: one opened under another alias replaces
    // the earlier, which would otherwise stay open with nobody to close it.
    device.closeQuietly();
    device.deviceId = params.wDeviceID;
    device.from = device.to = -1;
    showVideo(device);
}

void close(MciDevice& device)
{
    MCI_GENERIC_PARMS params{};
    const MCIERROR status = device.command(MCI_CLOSE, 0, params);
    ShowWindow(device.window.handle(), SW_HIDE);
    if (status == 0)
        device.deviceId = 0;
}

// Play and record take the range the script set; -1 leaves an end open.
template <class Params>
DWORD range(const MciDevice& device, Params& params)
{
    params.dwFrom = static_cast<DWORD>(device.from);
    params.dwTo = static_cast<DWORD>(device.to);
    return (device.from >= 0 ? MCI_FROM : 0) | (device.to >= 0 ? MCI_TO : 0);
}

void play(MciDevice& device)
{
    MCI_PLAY_PARMS params{};
    device.command(MCI_PLAY, range(device, params), params);
}

void record(MciDevice& device)
{
    MCI_RECORD_PARMS params{};
    const DWORD flags = range(device, params) | (device.recordMode ? MCI_RECORD_OVERWRITE : MCI_RECORD_INSERT);
    device.command(MCI_RECORD, flags, params);
}

template <UINT message>
void simple(MciDevice& device)
{
    MCI_GENERIC_PARMS params{};
    device.command(message, 0, params);
}

// Moves: a later "play" starts where the move ended, not at an old "from".
void moved(MciDevice& device, MCIERROR status)
{
    if (status == 0)
        device.from = -1;
}

void back(MciDevice& device)
{
    MCI_DGV_STEP_PARMS params{};
    params.dwFrames = static_cast<DWORD>(device.frames);
    moved(device, device.command(MCI_STEP, MCI_DGV_STEP_REVERSE, params));
}

void step(MciDevice& device)
{
    MCI_DGV_STEP_PARMS params{};
    params.dwFrames = static_cast<DWORD>(device.frames);
    moved(device, device.command(MCI_STEP, MCI_DGV_STEP_FRAMES, params));
}

template <DWORD where>
void seekTo(MciDevice& device)
{
    MCI_SEEK_PARMS params{};
    params.dwTo = static_cast<DWORD>(device.to);
    moved(device, device.command(MCI_SEEK, where, params));
}

void eject(MciDevice& device)
{
    MCI_SET_PARMS params{};
    device.command(MCI_SET, MCI_SET_DOOR_OPEN, params);
}

void save(MciDevice& device)
{
    MCI_SAVE_PARMSW params{};
    params.lpfilename = device.fileName ? device.fileName->c_str() : L"";
    device.command(MCI_SAVE, MCI_SAVE_FILE, params);
}

void update(MciDevice& device)
{
    const HWND hwnd = device.window.handle();
    MCI_DGV_UPDATE_PARMS params{};
    params.rc = {0, 0, device.width, device.height};
    params.hDC = hwnd ? GetDC(hwnd) : nullptr; // never the screen's
    device.command(MCI_UPDATE, MCI_DGV_UPDATE_HDC | MCI_DGV_RECT, params);
    if (params.hDC)
        ReleaseDC(hwnd, params.hDC);
}

void where(MciDevice& device)
{
    MCI_DGV_RECT_PARMS params{};
    if (device.command(MCI_WHERE, MCI_DGV_WHERE_SOURCE, params) == 0) {
        device.width = params.rc.right;
        device.height = params.rc.bottom;
    }
}

bool sameName(std::u16string_view a, std::u16string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const auto lower = [](char16_t c) { return c >= u'A' && c <= u'Z' ? char16_t(c - u'A' + u'a') : c; };
        if (lower(a[i]) != lower(b[i]))
            return false;
    }
    return true;
}

void openCommand(MciDevice& device, AliasCounter& aliases) { open(device, aliases); }

template <void (*run)(MciDevice&)>
void deviceCommand(MciDevice& device, AliasCounter&)
{
    run(device);
}

constexpr struct {
    std::u16string_view name;
    void (*run)(MciDevice&, AliasCounter&);
} kCommands[] = {
    {u"open", openCommand},
    {u"close", deviceCommand<close>},
    {u"play", deviceCommand<play>},
    {u"pause", deviceCommand<simple<MCI_PAUSE>>},
    {u"stop", deviceCommand<simple<MCI_STOP>>},
    {u"resume", deviceCommand<simple<MCI_RESUME>>},
    {u"record", deviceCommand<record>},
    {u"back", deviceCommand<back>},
    {u"step", deviceCommand<step>},
    {u"prev", deviceCommand<seekTo<MCI_SEEK_TO_START>>},
    {u"next", deviceCommand<seekTo<MCI_SEEK_TO_END>>},
    {u"seek", deviceCommand<seekTo<MCI_TO>>},
    {u"eject", deviceCommand<eject>},
    {u"save", deviceCommand<save>},
    {u"update", deviceCommand<update>},
    {u"where", deviceCommand<where>},
};

} // namespace

bool runMciCommand(MciDevice& device, AliasCounter& aliases, std::u16string_view name)
{
    for (const auto& command : kCommands)
        if (sameName(command.name, name)) {
            command.run(device, aliases);
            return true;
        }
    return false;
}

} // namespace lumbra::host
