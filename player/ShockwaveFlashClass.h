// The published identity of the movie control the player hosts: any control
// registered under this class, or exporting it from its file, will do.
#pragma once

#include <objbase.h>

namespace lumbra {

// The class ShockwaveFlash.
inline constexpr CLSID kShockwaveFlashClassId = {
    0xD27CDB6E, 0xAE6D, 0x11CF, {0x96, 0xB8, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};
// Its event interface _IShockwaveFlashEvents.
inline constexpr IID kShockwaveFlashEventsId = {
    0xD27CDB6D, 0xAE6D, 0x11CF, {0x96, 0xB8, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};
// The event through which the movie sends its commands.
inline constexpr DISPID kFSCommandEvent = 150;

} // namespace lumbra
