#include "script/compiler/Optimizer.h"
#include "script/runtime/Opcode.h"


#include <iterator>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace orvet {

namespace {

using Iter = InstructionList::iterator;

constexpr int kMaxByteOperand = 127;

bool isConditionalJump(const Instruction& i, bool onTrue)
{
    return onTrue ? (i.is(Opcode::JUMP_IF_TRUE) || i.is(Opcode::JUMP_IF_TRUE_BOOL))
                  : (i.is(Opcode::JUMP_IF_FALSE) || i.is(Opcode::JUMP_IF_FALSE_BOOL));
}

// Instructions that end the search for the POP belonging to a DUP.
bool endsCopySearch(const Instruction& i)
{
    return i.isLabel() || i.isJump() || i.is(Opcode::THROW) || i.is(Opcode::END_TRY) || i.is(Opcode::NEW)
        || i.is(Opcode::RETURN) || i.is(Opcode::CALL) || i.is(Opcode::CALL_METHOD) || i.is(Opcode::CALL_NAME)
        || i.is(Opcode::DUP);
}

// Other peephole rules: NIP n, POP -> DROP n+1; a constant condition before a
// conditional jump either removes both or makes the jump unconditional.
void peephole(InstructionList& code)
{
    for (Iter it = code.begin(); it != code.end();) {
        Iter next = std::next(it);
        if (next == code.end())
            break;
        if (it->is(Opcode::NIP) && next->is(Opcode::POP) && it->number() + 1 <= kMaxByteOperand) {
            it->opcode = static_cast<int>(Opcode::DROP);
            it->operand = it->number() + 1;
            it->stackEffect = -static_cast<int>(it->number());
            code.erase(next);
            continue;
        }
        const bool pushTrue = it->is(Opcode::PUSH_TRUE);
        if (pushTrue || it->is(Opcode::PUSH_FALSE)) {
            if (isConditionalJump(*next, !pushTrue)) { // never taken
                code.erase(next);
                it = code.erase(it);
                continue;
            }
            if (isConditionalJump(*next, pushTrue)) { // always taken
                next->opcode = static_cast<int>(Opcode::JUMP);
                next->stackEffect = 0;
                it = code.erase(it);
                continue;
            }
        }
        ++it;
    }
}

std::unordered_map<std::int64_t, Iter> labelPositions(InstructionList& code)
{
    std::unordered_map<std::int64_t, Iter> labels;
    for (Iter it = code.begin(); it != code.end(); ++it)
        if (it->opcode == kJumpLabel)
            labels.emplace(it->number(), it);
    return labels;
}

// The first instruction at or after pos that is not a label.
Iter skipLabels(Iter pos, Iter end)
{
    while (pos != end && pos->isLabel())
        ++pos;
    return pos;
}

// A jump to a label that is followed by a JUMP goes straight to that JUMP's
// target (following chains, but never round a cycle).
void threadJumps(InstructionList& code)
{
    const auto labels = labelPositions(code);
    for (Instruction& jump : code) {
        if (!jump.isJump())
            continue;
        std::unordered_set<std::int64_t> seen{jump.number()};
        for (;;) {
            auto label = labels.find(jump.number());
            if (label == labels.end())
                break;
            Iter target = skipLabels(label->second, code.end());
            if (target == code.end() || !target->is(Opcode::JUMP) || !seen.insert(target->number()).second)
                break;
            jump.operand = target->number();
        }
    }
}

bool fallsThrough(const Instruction& i)
{
    return !(i.is(Opcode::JUMP) || i.is(Opcode::RETURN) || i.is(Opcode::THROW) || i.is(Opcode::END));
}

// Slot data flow over one function [begin, end): for each instruction, the
// local slots (one bit per slot modulo 32) that may be read after it. Then a
// SET_LOCAL n directly followed by GET_LOCAL n is removed when slot n is
// not read afterwards: the value simply stays on the stack.
void removeReloadedStores(InstructionList& code, Iter begin, Iter end)
{
    std::vector<Iter> body;
    std::unordered_map<std::int64_t, std::size_t> labelIndex;
    int slotsUsed = 0;
    for (Iter it = begin; it != end; ++it) {
        if (it->opcode == kJumpLabel)
            labelIndex.emplace(it->number(), body.size());
        if (it->is(Opcode::LOCALS))
            slotsUsed = static_cast<int>(it->number());
        body.push_back(it);
    }
    // With more than 32 slots two slots share a bit, so a store must not
    // clear the bit of another slot that is still to be read.
    const bool storesKill = slotsUsed <= 32;
    auto bit = [](const Instruction& i) { return std::uint32_t{1} << (i.number() & 31); };

    std::vector<std::uint32_t> liveIn(body.size(), 0);
    for (bool changed = true; changed;) {
        changed = false;
        for (std::size_t k = body.size(); k-- > 0;) {
            Instruction& i = *body[k];
            std::uint32_t out = 0;
            if (fallsThrough(i) && k + 1 < body.size())
                out |= liveIn[k + 1];
            if (i.isJump()) {
                auto target = labelIndex.find(i.number());
                if (target != labelIndex.end())
                    out |= liveIn[target->second];
            }
            std::uint32_t in = out;
            if (i.is(Opcode::GET_LOCAL) || i.is(Opcode::DISPOSE_LOCAL))
                in |= bit(i);
            else if (i.is(Opcode::SET_LOCAL) && storesKill)
                in &= ~bit(i);
            i.liveAfter = out;
            if (in != liveIn[k]) {
                liveIn[k] = in;
                changed = true;
            }
        }
    }
    // Any instruction of a protected block may throw to its handler, so what
    // a handler reads counts as read after every instruction.
    std::uint32_t handlerReads = 0;
    for (std::size_t k = 0; k < body.size(); ++k) {
        if (body[k]->is(Opcode::TRY)) {
            auto target = labelIndex.find(body[k]->number());
            if (target != labelIndex.end())
                handlerReads |= liveIn[target->second];
        }
    }
    for (std::size_t k = 0; k + 1 < body.size(); ++k) {
        Instruction& set = *body[k];
        Instruction& get = *body[k + 1];
        if (set.is(Opcode::SET_LOCAL) && get.is(Opcode::GET_LOCAL) && set.number() == get.number()
            && !((get.liveAfter | handlerReads) & bit(get))) {
            code.erase(body[k]);
            code.erase(body[k + 1]);
            ++k;
        }
    }
}

void removeReloadedStores(InstructionList& code)
{
    Iter begin = code.begin();
    while (begin != code.end()) {
        Iter end = std::next(begin);
        while (end != code.end() && end->opcode != kFunctionLabel)
            ++end;
        removeReloadedStores(code, begin, end);
        begin = end;
    }
}

bool removeUnusedLabels(InstructionList& code)
{
    std::unordered_set<std::int64_t> targets;
    for (const Instruction& i : code)
        if (i.isJump())
            targets.insert(i.number());
    bool changed = false;
    for (Iter it = code.begin(); it != code.end();) {
        if (it->opcode == kJumpLabel && !targets.contains(it->number())) {
            it = code.erase(it);
            changed = true;
        } else {
            ++it;
        }
    }
    return changed;
}

bool removeUnreachable(InstructionList& code)
{
    bool changed = false;
    for (Iter it = code.begin(); it != code.end(); ++it) {
        if (!it->is(Opcode::RETURN) && !it->is(Opcode::JUMP))
            continue;
        Iter next = std::next(it);
        while (next != code.end() && !next->isLabel()) {
            next = code.erase(next);
            changed = true;
        }
    }
    return changed;
}

bool removeJumpsToNext(InstructionList& code)
{
    bool changed = false;
    for (Iter it = code.begin(); it != code.end();) {
        bool toNext = false;
        if (it->is(Opcode::JUMP)) {
            for (Iter next = std::next(it); next != code.end() && next->opcode == kJumpLabel; ++next)
                toNext = toNext || next->number() == it->number();
        }
        if (toNext) {
            it = code.erase(it);
            changed = true;
        } else {
            ++it;
        }
    }
    return changed;
}

void removeDeadCode(InstructionList& code)
{
    for (bool changed = true; changed;) {
        changed = removeUnusedLabels(code);
        changed = removeUnreachable(code) || changed;
        changed = removeJumpsToNext(code) || changed;
    }
}

} // namespace

// Counting from the DUP, the original value is the first of two; removing
// the DUP is sound when nothing up to the POP touches the original (every
// instruction leaves at least one value counted from it untaken) and the
// POP then discards the original itself.
void removeDiscardedCopies(InstructionList& code)
{
    for (Iter dup = code.begin(); dup != code.end(); ++dup) {
        if (!dup->is(Opcode::DUP))
            continue;
        int height = 2;
        for (Iter it = std::next(dup); it != code.end() && !endsCopySearch(*it); ++it) {
            if (it->is(Opcode::POP) && height == 1) {
                code.erase(it);
                dup = code.erase(dup);
                --dup; // the list always holds a label before any DUP
                break;
            }
            const auto operand = std::get_if<std::int64_t>(&it->operand);
            const StackUse use = stackUse(static_cast<Opcode>(it->opcode), operand ? *operand : 0);
            if (height - use.pops < 1)
                break;
            height += it->stackEffect;
        }
    }
}

void optimize(InstructionList& code)
{
    peephole(code);
    threadJumps(code);
    removeReloadedStores(code);
    removeDeadCode(code);
}

} // namespace orvet
