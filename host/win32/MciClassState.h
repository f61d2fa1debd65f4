// What the "MCI" class keeps per engine: its member atoms, the numbering of
// generated aliases, and the player whose Flash window holds the playback
// windows. Shared by the class's units (MciClass.cpp, MciProperties.cpp).
#pragma once

#include <unordered_set>

#include "host/PlayerServices.h"
#include "host/win32/MciCommands.h"
#include "script/engine/ClassRegistration.h"

namespace lumbra::host {

// The members, in the order of the class's atom table.
enum class MciMember {
    // properties
    DeviceId, DeviceType, FileName, Alias, From, To, Frames, Track, Notify, Wait, Sharable, RecordMode, Channel,
    TimeFormat, Length, Position, Start, Mode, Tracks, TrackLength, TrackPosition, CanEject, CanPlay, CanRecord,
    CanStep, Error, ErrorMsg, Left, Top, Width, Height, PlayerWindow, OnNotify, Command,
    // methods
    SendCmdString, GetDevices, HmsHour, HmsMinute, HmsSecond, MsfMinute, MsfSecond, MsfFrame, TmsfTrack,
    TmsfMinute, TmsfSecond, TmsfFrame, MakeHms, MakeMsf, MakeTmsf,
};

struct MciClassState : orvet::MemberAtoms {
    // Null in hosts without a player (the native tests of other classes).
    PlayerServices* player() const { return static_cast<PlayerServices*>(host); }
    MciMember member(orvet::Atom name) const { return static_cast<MciMember>(find(name)); }

    AliasCounter aliases;
    // The native data of every living object. A script that a conversion
    // runs may delete the object whose property is being set; the setter
    // asks here before it stores.
    std::unordered_set<const void*> connections;
};

// The property callback (MciProperties.cpp).
int mciProperty(orvet::ScriptContext& ctx, orvet::NativeClass& cls, void* data, orvet::Atom name, int set,
                orvet::ScriptValue* value);

} // namespace lumbra::host
