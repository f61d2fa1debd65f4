#include "player/TrayIcon.h"

#include <algorithm>
#include <cstring>

namespace lumbra {

namespace {

// The version-5 record (488 bytes): balloons, understood by every shell
// that shows them.
constexpr DWORD kRecordSize = NOTIFYICONDATAA_V2_SIZE;
static_assert(kRecordSize == 488);

void copyText(char* target, std::size_t size, const std::string& text)
{
    const std::size_t length = std::min(text.size(), size - 1);
    std::memcpy(target, text.data(), length);
    target[length] = '\0';
}

} // namespace

NOTIFYICONDATAA TrayIcon::record(UINT flags) const
{
    NOTIFYICONDATAA data{};
    data.cbSize = kRecordSize;
    data.hWnd = owner_;
    data.uID = kId;
    data.uFlags = flags;
    return data;
}

bool TrayIcon::add()
{
    if (added_ || !icon_)
        return false;
    NOTIFYICONDATAA data = record(NIF_MESSAGE | NIF_ICON | NIF_TIP);
    data.uCallbackMessage = kCallbackMessage;
    data.hIcon = icon_.get();
    copyText(data.szTip, sizeof data.szTip, tip_);
    added_ = Shell_NotifyIconA(NIM_ADD, &data) != FALSE;
    return added_;
}

bool TrayIcon::modify()
{
    if (!added_)
        return false;
    NOTIFYICONDATAA data = record(NIF_ICON | NIF_TIP);
    data.hIcon = icon_.get();
    copyText(data.szTip, sizeof data.szTip, tip_);
    return Shell_NotifyIconA(NIM_MODIFY, &data) != FALSE;
}

bool TrayIcon::remove()
{
    if (!added_)
        return false;
    NOTIFYICONDATAA data = record(0);
    if (Shell_NotifyIconA(NIM_DELETE, &data))
        added_ = false;
    return !added_;
}

bool TrayIcon::balloon(const std::string& text, const std::string& title, UINT timeout, int kind)
{
    if (!added_)
        return false;
    NOTIFYICONDATAA data = record(NIF_INFO);
    copyText(data.szInfo, 256, text);
    copyText(data.szInfoTitle, 64, title);
    data.uTimeout = timeout;
    data.dwInfoFlags = kind == 1 ? NIIF_INFO : kind == 2 ? NIIF_WARNING : kind == 3 ? NIIF_ERROR : NIIF_NONE;
    return Shell_NotifyIconA(NIM_MODIFY, &data) != FALSE;
}

} // namespace lumbra
