// Identities the control answers to: those of the control it stands in for,
// so that a container written for that control finds ours.
#pragma once

#include <objbase.h>

namespace lumbra::com {

// The class ShockwaveFlash.
inline constexpr CLSID kClassId = {
    0xD27CDB6E, 0xAE6D, 0x11CF, {0x96, 0xB8, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};
// The dual interface IShockwaveFlash; reached through IDispatch only.
inline constexpr IID kControlInterfaceId = {
    0xD27CDB6C, 0xAE6D, 0x11CF, {0x96, 0xB8, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};
// The event interface _IShockwaveFlashEvents.
inline constexpr IID kEventInterfaceId = {
    0xD27CDB6D, 0xAE6D, 0x11CF, {0x96, 0xB8, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};

// The type library ShockwaveFlashObjects, version 1.0 (LumbraFlash.idl).
inline constexpr GUID kTypeLibraryId = {
    0xD27CDB6B, 0xAE6D, 0x11CF, {0x96, 0xB8, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};

inline constexpr wchar_t kProgId[] = L"ShockwaveFlash.ShockwaveFlash";
inline constexpr wchar_t kClassName[] = L"Shockwave Flash Object";

// Dispatch ids of the events.
inline constexpr DISPID kEventReadyStateChange = -609;
inline constexpr DISPID kEventProgress = 0x7a6;
inline constexpr DISPID kEventFSCommand = 150;
inline constexpr DISPID kEventFlashCall = 0xc5;

} // namespace lumbra::com
