// The settings an engine is created with, and the compile options that the
// engine derives from them for every compilation it starts.
#pragma once

#include <cstdint>

#include "script/runtime/ScriptContext.h" // HookRoutine

namespace orvet {

struct EngineConfig {
    std::uint32_t stackSize = 4096; // interpreter stack, in values
    std::uint32_t secondWord = 2;   // kept for the host; the runtime never reads it
    std::uint32_t optionWord = 0;   // non-zero: compile option bit 0
    std::uint32_t flagWord = 0x58200;
    HookRoutine hook = nullptr;
    void* hookData = nullptr;
    std::uint32_t extraWord = 0;    // two more host words, kept and never read
    std::int32_t extraWord2 = -1;
};

// The flag word bit that asks for "Warning: using undefined variable"; bits
// 4-18 carry compile options (EngineConfig.cpp), bits 1-3 are the host's.
inline constexpr std::uint32_t kFlagWarnUndefined = 0x200;

// The compile option word handed to the compiler: bit 0 from the option word,
// the rest gathered from the flag word (0x160 with the defaults).
std::uint32_t compileOptionsOf(const EngineConfig& config);

} // namespace orvet
