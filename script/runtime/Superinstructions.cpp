#include "script/runtime/Superinstructions.h"

#include <optional>
#include <span>

#include "script/runtime/ScriptContext.h"

namespace orvet {

namespace {

// One instruction of word code: where its opcode word is and what it holds.
struct Step {
    std::size_t at;
    Opcode op;
    std::uint32_t operand;
};

std::vector<Step> stepsOf(const std::vector<std::uint32_t>& code)
{
    std::vector<Step> steps;
    for (std::size_t at = 0; at < code.size();) {
        const auto op = static_cast<Opcode>(code[at] & 0xFF);
        const bool hasOperand = operandForm(op) != OperandForm::None;
        steps.push_back({at, op, hasOperand ? code[at + 1] : 0});
        at += hasOperand ? 2 : 1;
    }
    return steps;
}

// The integer an instruction pushes, when it is a constant that fits the
// fused word's constant field.
std::optional<std::int64_t> pushedConstant(const ScriptContext& ctx, const Step& s)
{
    std::int64_t value;
    switch (s.op) {
    case Opcode::PUSH_0: value = 0; break;
    case Opcode::PUSH_1: value = 1; break;
    case Opcode::PUSH_2: value = 2; break;
    case Opcode::PUSH_3: value = 3; break;
    case Opcode::PUSH_INT: value = static_cast<std::int32_t>(s.operand); break;
    case Opcode::PUSH_CONST: {
        const ScriptValue& c = ctx.constants[s.operand];
        if (c.kind != ValueKind::Integer)
            return std::nullopt;
        value = c.integer;
        break;
    }
    default: return std::nullopt;
    }
    if (value < kFusedConstantMin || value > kFusedConstantMax)
        return std::nullopt;
    return value;
}

std::optional<FusedOp> withLocals(Opcode op)
{
    switch (op) {
    case Opcode::ADD: return FusedOp::LOCALS_ADD;
    case Opcode::SUB: return FusedOp::LOCALS_SUB;
    case Opcode::MUL: return FusedOp::LOCALS_MUL;
    case Opcode::BIT_AND: return FusedOp::LOCALS_BIT_AND;
    case Opcode::BIT_OR: return FusedOp::LOCALS_BIT_OR;
    case Opcode::BIT_XOR: return FusedOp::LOCALS_BIT_XOR;
    case Opcode::GET_ELEM: return FusedOp::LOCALS_GET_ELEM;
    case Opcode::SET_ELEM: return FusedOp::LOCALS_SET_ELEM;
    default: return std::nullopt;
    }
}

std::optional<FusedOp> withConstant(Opcode op, std::int64_t k)
{
    switch (op) {
    case Opcode::ADD: return FusedOp::CONST_ADD;
    case Opcode::SUB: return FusedOp::CONST_SUB;
    case Opcode::MUL: return FusedOp::CONST_MUL;
    // Only a positive divisor has the plain integer remainder.
    case Opcode::MOD: return k > 0 ? std::optional(FusedOp::CONST_MOD) : std::nullopt;
    case Opcode::BIT_AND: return FusedOp::CONST_BIT_AND;
    case Opcode::BIT_OR: return FusedOp::CONST_BIT_OR;
    case Opcode::BIT_XOR: return FusedOp::CONST_BIT_XOR;
    default: return std::nullopt;
    }
}

std::optional<FusedOp> withConstantToLocal(Opcode op, std::int64_t k)
{
    switch (op) {
    case Opcode::ADD: return FusedOp::CONST_ADD_TO_LOCAL;
    case Opcode::SUB: return FusedOp::CONST_SUB_TO_LOCAL;
    case Opcode::MUL: return FusedOp::CONST_MUL_TO_LOCAL;
    case Opcode::MOD: return k > 0 ? std::optional(FusedOp::CONST_MOD_TO_LOCAL) : std::nullopt;
    default: return std::nullopt;
    }
}

// The compare's position in each group of ORVET_FUSED_COMPARE_JUMPS.
std::optional<int> compareIndex(Opcode op)
{
    switch (op) {
    case Opcode::LT: return 0;
    case Opcode::LE: return 1;
    case Opcode::GT: return 2;
    case Opcode::GE: return 3;
    case Opcode::EQ: return 4;
    case Opcode::NE: return 5;
    default: return std::nullopt;
    }
}

FusedOp compareJump(FusedOp first, int compare)
{
    return static_cast<FusedOp>(static_cast<int>(first) + compare);
}

bool is(const std::span<const Step> s, std::size_t i, Opcode op)
{
    return i < s.size() && s[i].op == op;
}

struct Fusion {
    FusedOp op;
    std::size_t steps;
    std::int64_t constant = 0;
};

// The longest sequence that starts at s[0], if any.
std::optional<Fusion> match(const ScriptContext& ctx, std::span<const Step> s)
{
    const auto op = [&](std::size_t i) { return i < s.size() ? s[i].op : Opcode::NOP; };
    const auto constantAt = [&](std::size_t i) {
        return i < s.size() ? pushedConstant(ctx, s[i]) : std::nullopt;
    };
    if (is(s, 0, Opcode::GET_LOCAL)) {
        const bool local2 = is(s, 1, Opcode::GET_LOCAL);
        const std::optional<std::int64_t> k = constantAt(1);
        const std::optional<int> compare = compareIndex(op(2));
        if (compare && is(s, 3, Opcode::JUMP_IF_FALSE_BOOL)) {
            if (local2)
                return Fusion{compareJump(FusedOp::LOCALS_LT_JUMP_FALSE, *compare), 4};
            if (is(s, 1, Opcode::GET_ARG))
                return Fusion{compareJump(FusedOp::LOCAL_ARG_LT_JUMP_FALSE, *compare), 4};
            if (k)
                return Fusion{compareJump(FusedOp::LOCAL_CONST_LT_JUMP_FALSE, *compare), 4, *k};
        }
        if (is(s, 3, Opcode::SET_LOCAL)) {
            if (local2 && op(2) == Opcode::ADD)
                return Fusion{FusedOp::LOCALS_ADD_TO_LOCAL, 4};
            if (local2 && op(2) == Opcode::SUB)
                return Fusion{FusedOp::LOCALS_SUB_TO_LOCAL, 4};
            if (local2 && op(2) == Opcode::MUL)
                return Fusion{FusedOp::LOCALS_MUL_TO_LOCAL, 4};
            if (k && op(2) == Opcode::ADD)
                return Fusion{FusedOp::LOCAL_CONST_ADD_TO_LOCAL, 4, *k};
            if (k && op(2) == Opcode::SUB)
                return Fusion{FusedOp::LOCAL_CONST_SUB_TO_LOCAL, 4, *k};
        }
        if (local2)
            if (std::optional<FusedOp> f = withLocals(op(2)))
                return Fusion{*f, 3};
        if (op(1) == Opcode::GET_PROP)
            return Fusion{FusedOp::LOCAL_GET_PROP, 2};
        if (op(1) == Opcode::SET_PROP)
            return Fusion{FusedOp::LOCAL_SET_PROP, 2};
        return std::nullopt;
    }
    if (is(s, 0, Opcode::GET_ARG)) {
        const std::optional<std::int64_t> k = constantAt(1);
        const std::optional<int> compare = compareIndex(op(2));
        if (k && compare && is(s, 3, Opcode::JUMP_IF_FALSE_BOOL))
            return Fusion{compareJump(FusedOp::ARG_CONST_LT_JUMP_FALSE, *compare), 4, *k};
        if (s[0].operand == 1 && is(s, 1, Opcode::ADD2) && is(s, 2, Opcode::ARGS))
            return Fusion{FusedOp::ENTER, 3};
        if (op(1) == Opcode::GET_PROP)
            return Fusion{FusedOp::ARG_GET_PROP, 2};
        if (op(1) == Opcode::SET_PROP)
            return Fusion{FusedOp::ARG_SET_PROP, 2};
        return std::nullopt;
    }
    if (std::optional<std::int64_t> k = constantAt(0)) {
        if (std::optional<int> compare = compareIndex(op(1)); compare && is(s, 2, Opcode::JUMP_IF_FALSE_BOOL))
            return Fusion{compareJump(FusedOp::CONST_LT_JUMP_FALSE, *compare), 3, *k};
        if (is(s, 2, Opcode::SET_LOCAL))
            if (std::optional<FusedOp> f = withConstantToLocal(op(1), *k))
                return Fusion{*f, 3, *k};
        if (std::optional<FusedOp> f = withConstant(op(1), *k))
            return Fusion{*f, 2, *k};
    }
    if (std::optional<int> compare = compareIndex(op(0)); compare && is(s, 1, Opcode::JUMP_IF_FALSE_BOOL))
        return Fusion{compareJump(FusedOp::LT_JUMP_FALSE, *compare), 2};
    return std::nullopt;
}

} // namespace

void fuseInstructions(const ScriptContext& ctx, std::vector<std::uint32_t>& code)
{
    const std::vector<Step> steps = stepsOf(code);
    for (std::size_t i = 0; i < steps.size(); ++i) {
        const std::optional<Fusion> f = match(ctx, std::span(steps).subspan(i));
        if (!f)
            continue;
        const std::size_t end = i + f->steps < steps.size() ? steps[i + f->steps].at : code.size();
        const auto length = static_cast<std::uint32_t>(end - steps[i].at);
        std::uint32_t& word = code[steps[i].at];
        word = static_cast<std::uint32_t>(f->op) | length << kFusedLengthShift
             | static_cast<std::uint32_t>(f->constant) << kFusedConstantShift;
    }
}

} // namespace orvet
