#include "script/runtime/CodeTranslator.h"

#include <algorithm>
#include <vector>

#include "script/runtime/Opcode.h"
#include "script/runtime/RuntimeError.h"
#include "script/runtime/ScriptContext.h"
#include "script/runtime/ScriptFunction.h"
#include "script/runtime/Superinstructions.h"

namespace orvet {

namespace {

constexpr std::int64_t kUnbounded = std::int64_t(1) << 30;

struct Instruction {
    std::uint32_t byteOffset;
    std::uint32_t word;   // index of the opcode word
    Opcode op;
    std::int32_t operand; // resolved
    std::int32_t target;  // instruction index of a jump's target, or -1
};

// Stack use of one instruction: values it needs on the frame's stack and its
// net change. Operands are already resolved.
struct Effect {
    std::int64_t need;
    std::int64_t delta;
};

enum class Flow { Next, Jump, Branch, Try, Stop };

Flow flowOf(Opcode op)
{
    switch (op) {
    case Opcode::JUMP: return Flow::Jump;
    case Opcode::JUMP_IF_TRUE_BOOL: case Opcode::JUMP_IF_FALSE_BOOL:
    case Opcode::JUMP_IF_TRUE: case Opcode::JUMP_IF_FALSE: return Flow::Branch;
    case Opcode::TRY: return Flow::Try;
    case Opcode::THROW: case Opcode::RETURN: case Opcode::END: case Opcode::HALT: return Flow::Stop;
    default: return Flow::Next;
    }
}

[[noreturn]] void reject(ScriptContext& ctx)
{
    raiseError(ctx, kErrBadBytecode);
}

// The values an instruction needs on the frame's stack and what it changes
// there: the list's stack effect, checked for what the linker cannot trust.
Effect effectOf(ScriptContext& ctx, const Instruction& in)
{
    const std::int64_t n = in.operand;
    switch (in.op) {
    // The compiler's try statements end in "flag; JUMP_IF_FALSE_BOOL over;
    // THROW", where the exception under the flag exists only when the flag
    // is true: no path analysis can prove THROW's operand, so THROW checks
    // it when it runs.
    case Opcode::THROW: return {0, 0};
    case Opcode::LOCALS: case Opcode::NIP: case Opcode::DROP:
        if (n < 0)
            reject(ctx);
        break;
    // A local lies below the frame: local n needs n + 1 values on the stack.
    case Opcode::GET_LOCAL: case Opcode::SET_LOCAL: case Opcode::DISPOSE_LOCAL: {
        if (n < 0)
            reject(ctx);
        const StackUse use = stackUse(in.op, n);
        return {n + 1, use.effect()};
    }
    default: break;
    }
    const StackUse use = stackUse(in.op, n);
    return {use.pops, use.effect()};
}

std::uint32_t readOperand(const std::uint8_t* p, OperandForm form)
{
    switch (form) {
    case OperandForm::Byte: return p[0];
    case OperandForm::Short: return std::uint32_t(p[0]) << 8 | p[1];
    default: return std::uint32_t(p[0]) << 24 | std::uint32_t(p[1]) << 16 | std::uint32_t(p[2]) << 8 | p[3];
    }
}

std::int32_t resolveOperand(ScriptContext& ctx, OperandForm form, std::uint32_t raw, ModuleConstants constants)
{
    switch (form) {
    case OperandForm::Byte: return static_cast<std::int8_t>(raw);
    case OperandForm::Short: return static_cast<std::int16_t>(raw);
    case OperandForm::Identifier: {
        std::uint32_t index = raw & 0x0FFFFFFF;
        if (index >= constants.count)
            reject(ctx);
        const ScriptValue& name = ctx.constants[constants.base + index];
        if (name.kind != ValueKind::Name)
            reject(ctx);
        return name.atom;
    }
    case OperandForm::Literal:
        if (raw >= constants.count || ctx.constants[constants.base + raw].kind == ValueKind::Name)
            reject(ctx);
        return static_cast<std::int32_t>(constants.base + raw);
    default: return static_cast<std::int32_t>(raw);
    }
}

std::vector<Instruction> decode(ScriptContext& ctx, std::span<const std::uint8_t> bytes, ModuleConstants constants)
{
    std::vector<Instruction> code;
    std::uint32_t word = 0;
    for (std::size_t i = 0; i < bytes.size();) {
        if (!isOpcode(bytes[i])) {
            ++i;
            continue;
        }
        auto op = static_cast<Opcode>(bytes[i]);
        OperandForm form = operandForm(op);
        std::size_t size = operandSize(form);
        if (i + 1 + size > bytes.size())
            reject(ctx);
        std::uint32_t raw = size ? readOperand(&bytes[i + 1], form) : 0;
        code.push_back({static_cast<std::uint32_t>(i), word, op, resolveOperand(ctx, form, raw, constants), -1});
        word += size ? 2 : 1;
        i += 1 + size;
    }
    // Code that runs off its end stops at an END.
    code.push_back({static_cast<std::uint32_t>(bytes.size()), word, Opcode::END, 0, -1});
    return code;
}

void resolveJumps(ScriptContext& ctx, std::vector<Instruction>& code, std::size_t byteCount)
{
    std::vector<std::int32_t> at(byteCount + 1, -1);
    for (std::size_t k = 0; k < code.size(); ++k)
        at[code[k].byteOffset] = static_cast<std::int32_t>(k);
    for (Instruction& in : code) {
        Flow flow = flowOf(in.op);
        if (flow != Flow::Jump && flow != Flow::Branch && flow != Flow::Try)
            continue;
        std::int64_t target = std::int64_t(in.byteOffset) + 5 + in.operand;
        if (target < 0 || target > static_cast<std::int64_t>(byteCount) || at[target] < 0)
            reject(ctx);
        in.target = at[target];
    }
}

std::uint32_t checkBits(std::uint32_t need, std::uint32_t growth)
{
    return need << 8 | growth << (8 + kCheckFieldBits);
}

bool fitsCheckFields(std::int64_t need, std::int64_t growth)
{
    // One value below the maximum in each: both at the maximum mean "wide".
    return need < kCheckFieldWide && growth < kCheckFieldWide;
}

} // namespace

void translateFunction(ScriptContext& ctx, std::span<const std::uint8_t> bytes, ModuleConstants constants,
                       ScriptFunction& fn)
{
    std::vector<Instruction> code = decode(ctx, bytes, constants);
    resolveJumps(ctx, code, bytes.size());

    // need[k]: values the frame's stack must hold when instruction k starts,
    // growth[k]: the most values any forward path from k adds. Forward edges
    // only; paths that start at backward targets are checked at run time.
    const std::size_t n = code.size();
    std::vector<std::int64_t> need(n), growth(n);
    bool pads = false;
    for (std::size_t k = n; k-- > 0;) {
        const Instruction& in = code[k];
        Effect e = effectOf(ctx, in);
        Flow flow = flowOf(in.op);
        pads |= in.op == Opcode::ARGS;
        std::int64_t req = e.need;
        std::int64_t grow = std::max<std::int64_t>(0, e.delta);
        auto follow = [&](std::size_t next, std::int64_t delta) {
            req = std::max(req, need[next] - delta);
            grow = std::max(grow, delta + growth[next]);
        };
        if (flow == Flow::Next || flow == Flow::Branch || flow == Flow::Try)
            follow(k + 1, e.delta);
        if ((flow == Flow::Jump || flow == Flow::Branch) && static_cast<std::size_t>(in.target) > k)
            follow(static_cast<std::size_t>(in.target), e.delta);
        if (flow == Flow::Try && static_cast<std::size_t>(in.target) > k)
            follow(static_cast<std::size_t>(in.target), 1);
        need[k] = std::min(req, kUnbounded);
        growth[k] = std::min(grow, kUnbounded);
    }
    if (need[0] > 0)
        reject(ctx);

    fn.code.clear();
    fn.code.reserve(code.back().word + 1);
    std::vector<std::size_t> wideTargets;
    for (std::size_t k = 0; k < n; ++k) {
        const Instruction& in = code[k];
        std::uint32_t word = static_cast<std::uint8_t>(in.op);
        if (in.target >= 0) {
            auto t = static_cast<std::size_t>(in.target);
            if (in.op == Opcode::TRY || t <= k) {
                if (fitsCheckFields(need[t], growth[t])) {
                    word |= checkBits(static_cast<std::uint32_t>(need[t]), static_cast<std::uint32_t>(growth[t]));
                } else {
                    word |= checkBits(kCheckFieldWide, kCheckFieldWide);
                    wideTargets.push_back(t);
                }
            }
            fn.code.push_back(word);
            fn.code.push_back(static_cast<std::uint32_t>(std::int64_t(code[t].word) - (std::int64_t(in.word) + 2)));
            continue;
        }
        fn.code.push_back(word);
        if (operandForm(in.op) != OperandForm::None)
            fn.code.push_back(static_cast<std::uint32_t>(in.operand));
    }
    fuseInstructions(ctx, fn.code);
    // The code no longer moves: the wide needs can be keyed by address.
    for (std::size_t t : wideTargets)
        ctx.widePathNeeds[fn.code.data() + code[t].word] = {static_cast<std::uint32_t>(need[t]),
                                                             static_cast<std::uint32_t>(growth[t])};
    std::int64_t frame = 4 + growth[0] + kStackMargin + (pads ? kMaxPadding : 0);
    fn.frameNeed = static_cast<std::uint32_t>(std::min(frame, kUnbounded));
}

} // namespace orvet
