#include "script/engine/EngineConfig.h"

#include <array>
#include <bit>

#include "script/compiler/Compiler.h"

namespace orvet {

namespace {

// Flag word bits that carry compile options (bits 4-18). The flag word keeps
// the compiler's switches at other positions than the compiler reads them.
namespace flag {
constexpr std::uint32_t kRewindSource = 0x10;
constexpr std::uint32_t kDebugInfo = 0x20;
constexpr std::uint32_t kCompileOption3 = 0x40;      // passed on; the compiler reads no bit 3
constexpr std::uint32_t kOptimizerPass1 = 0x8000;    // the four optimizer passes (always run)
constexpr std::uint32_t kOptimizerPass2 = 0x10000;
constexpr std::uint32_t kOptimizerPass3 = 0x20000;
constexpr std::uint32_t kOptimizerPass4 = 0x40000;
constexpr std::uint32_t kCompileOption16 = 0x80;     // bits 16-19: passed on, not read
constexpr std::uint32_t kCompileOption17 = 0x100;
constexpr std::uint32_t kCompileOption18 = 0x400;
constexpr std::uint32_t kCompileOption19 = 0x800;
constexpr std::uint32_t kWarnMissingSemicolon = 0x1000;
constexpr std::uint32_t kWarnLineTerminators = 0x2000;
constexpr std::uint32_t kCompileOption22 = 0x4000;   // passed on, not read
} // namespace flag

struct FlagToOption {
    std::uint32_t flag;
    std::uint32_t option;
};

constexpr std::uint32_t kFirstPassOption = std::uint32_t{1} << std::countr_zero(CompileOptions::kOptimizerPasses);

constexpr std::array<FlagToOption, 14> kFlagToCompileOption{{
    {flag::kRewindSource, CompileOptions::kRewindSource},
    {flag::kDebugInfo, CompileOptions::kDebugInfo},
    {flag::kCompileOption3, 1u << 3},
    {flag::kOptimizerPass1, kFirstPassOption},
    {flag::kOptimizerPass2, kFirstPassOption << 1},
    {flag::kOptimizerPass3, kFirstPassOption << 2},
    {flag::kOptimizerPass4, kFirstPassOption << 3},
    {flag::kCompileOption16, 1u << 16},
    {flag::kCompileOption17, 1u << 17},
    {flag::kCompileOption18, 1u << 18},
    {flag::kCompileOption19, 1u << 19},
    {flag::kWarnMissingSemicolon, CompileOptions::kWarnMissingSemicolon},
    {flag::kWarnLineTerminators, CompileOptions::kWarnLineTerminators},
    {flag::kCompileOption22, 1u << 22},
}};

// Option word non-zero: compile option bit 0.
constexpr std::uint32_t kOptionWordSet = 1u << 0;

} // namespace

std::uint32_t compileOptionsOf(const EngineConfig& config)
{
    std::uint32_t options = config.optionWord != 0 ? kOptionWordSet : 0;
    for (const FlagToOption& bit : kFlagToCompileOption)
        if (config.flagWord & bit.flag)
            options |= bit.option;
    return options;
}

} // namespace orvet
