// The system's media control interface with its digital-video extensions,
// whose header needs the others included first.
#pragma once

// clang-format off
#include <windows.h>
#include <mmsystem.h>
#include <digitalv.h>
// clang-format on
