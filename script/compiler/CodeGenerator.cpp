#include "script/compiler/CodeGenerator.h"

#include <algorithm>
#include <iterator>

#include "script/compiler/SlotCount.h"
#include "script/runtime/Opcode.h"

namespace orvet {

namespace {

// Byte operands are read back as signed bytes and 16-bit ones as signed
// 16-bit values, so these are the largest counts an instruction can carry.
constexpr int kMaxByteOperand = 127;
constexpr int kMaxShortOperand = 32767;
constexpr int kFirstParameterSlot = 2;

int lastLineOf(const SyntaxNode* list, int fallback)
{
    int line = fallback;
    for (; list; list = list->next)
        line = list->line;
    return line;
}

} // namespace

CodeGenerator::CodeGenerator(Diagnostics& diagnostics, InstructionList& code, int lastLine)
    : diagnostics_(diagnostics), code_(code), lastLine_(lastLine)
{
    jumpScopes_.emplace_back();
}

// ---- Emitting ----

Instruction& CodeGenerator::emit(Opcode op, int line)
{
    Instruction& instruction = code_.emplace_back();
    instruction.opcode = static_cast<int>(op);
    instruction.line = line;
    instruction.stackEffect = stackUse(op, 0).effect();
    return instruction;
}

Instruction& CodeGenerator::emit(Opcode op, int line, std::int64_t number)
{
    Instruction& instruction = emit(op, line);
    instruction.operand = number;
    instruction.stackEffect = stackUse(op, number).effect();
    return instruction;
}

Instruction& CodeGenerator::emit(Opcode op, int line, std::string name)
{
    Instruction& instruction = emit(op, line);
    instruction.operand = std::move(name);
    return instruction;
}

Instruction& CodeGenerator::emit(Opcode op, int line, LiteralConstant literal)
{
    Instruction& instruction = emit(op, line);
    instruction.operand = std::move(literal);
    return instruction;
}

int CodeGenerator::newLabel()
{
    return nextLabel_++;
}

void CodeGenerator::placeLabel(int label)
{
    Instruction& instruction = code_.emplace_back();
    instruction.opcode = kJumpLabel;
    instruction.operand = std::int64_t{label};
}

void CodeGenerator::emitJump(Opcode op, int label, int line)
{
    emit(op, line, std::int64_t{label});
}

// Conditions known to be boolean test the payload directly.
void CodeGenerator::emitJumpIfFalse(const SyntaxNode* condition, int label, int line)
{
    const bool boolean = condition->staticType == static_type::Boolean;
    emitJump(boolean ? Opcode::JUMP_IF_FALSE_BOOL : Opcode::JUMP_IF_FALSE, label, line);
}

void CodeGenerator::emitJumpIfTrue(const SyntaxNode* condition, int label, int line)
{
    const bool boolean = condition->staticType == static_type::Boolean;
    emitJump(boolean ? Opcode::JUMP_IF_TRUE_BOOL : Opcode::JUMP_IF_TRUE, label, line);
}

void CodeGenerator::emitInteger(std::int64_t value, int line)
{
    static constexpr Opcode small[] = {Opcode::PUSH_0, Opcode::PUSH_1, Opcode::PUSH_2, Opcode::PUSH_3};
    if (value >= 0 && value <= 3)
        emit(small[value], line);
    else
        emit(Opcode::PUSH_CONST, line, LiteralConstant{value});
}

// A count that does not fit the signed byte operand is split over several
// instructions; a count of 0 emits nothing.
void CodeGenerator::emitCounted(Opcode op, int count, int line)
{
    for (; count > 0; count -= kMaxByteOperand)
        emit(op, line, std::int64_t{std::min(count, kMaxByteOperand)});
}

void CodeGenerator::emitDropValues(int count, int line)
{
    if (count == 1)
        emit(Opcode::POP, line);
    else
        emitCounted(Opcode::DROP, count, line);
}

// ---- Variables ----

// Any open with statement counts, also one around the loop or switch that
// is innermost now: its object stays in scope for the whole body.
bool CodeGenerator::insideWith() const
{
    for (const JumpScope& scope : jumpScopes_)
        if (scope.withDepth > 0)
            return true;
    return false;
}

CodeGenerator::Reference CodeGenerator::resolve(const std::string& name)
{
    if (const Variable* variable = scopes_.lookup(name)) {
        if (variable->kind == VariableKind::Parameter)
            return {Storage::Parameter, variable->slot, name};
        return {Storage::Local, variable->slot, name};
    }
    return {insideWith() ? Storage::Name : Storage::Global, 0, name};
}

void CodeGenerator::emitLoad(const Reference& ref, int line)
{
    switch (ref.storage) {
    case Storage::Parameter: emit(Opcode::GET_ARG, line, std::int64_t{ref.slot}); break;
    case Storage::Local: emit(Opcode::GET_LOCAL, line, std::int64_t{ref.slot}); break;
    case Storage::Global: emit(Opcode::GET_GLOBAL, line, ref.name); break;
    case Storage::Name: emit(Opcode::GET_NAME, line, ref.name); break;
    }
}

void CodeGenerator::emitStore(const Reference& ref, int line)
{
    switch (ref.storage) {
    case Storage::Parameter: emit(Opcode::SET_ARG, line, std::int64_t{ref.slot}); break;
    case Storage::Local: emit(Opcode::SET_LOCAL, line, std::int64_t{ref.slot}); break;
    case Storage::Global: emit(Opcode::SET_GLOBAL, line, ref.name); break;
    case Storage::Name: emit(Opcode::SET_NAME, line, ref.name); break;
    }
}

// ---- Functions ----

// The locals are reserved once, in the prologue, when the body is known:
// count is the slot count of the body, or the number of slots the body
// actually handed out should that be larger, so no store can reach past them.
void CodeGenerator::insertLocals(InstructionList::iterator prologueEnd, int count, int line)
{
    if (count > kMaxShortOperand)
        diagnostics_.error(line, "too many local variables");
    if (count == 0)
        return;
    Instruction instruction;
    instruction.opcode = static_cast<int>(Opcode::LOCALS);
    instruction.line = line;
    instruction.operand = std::int64_t{count};
    instruction.stackEffect = count;
    code_.insert(std::next(prologueEnd), std::move(instruction));
}

// "arguments": an Object holding the actual arguments under 0, 1, ..., with
// "length" = their count and "callee" = the function.
void CodeGenerator::buildArgumentsObject(const std::string& functionName, int slot, int line)
{
    const std::int64_t d = slot;
    emit(Opcode::PUSH_0, line);
    emit(Opcode::GET_GLOBAL, line, "Object");
    emit(Opcode::NEW, line);
    emit(Opcode::SWAP, line);
    emit(Opcode::NIP, line, std::int64_t{2});
    emit(Opcode::SET_LOCAL, line, d);
    emit(Opcode::PUSH_0, line);
    const int loop = newLabel();
    const int end = newLabel();
    placeLabel(loop);
    emit(Opcode::DUP, line);
    emit(Opcode::GET_ARG, line, std::int64_t{1});
    emit(Opcode::GE, line);
    emitJump(Opcode::JUMP_IF_TRUE_BOOL, end, line);
    emit(Opcode::DUP, line);
    emit(Opcode::DUP, line);
    emit(Opcode::ADD2, line);
    emit(Opcode::GET_FRAME_SLOT, line);
    emit(Opcode::SWAP, line);
    emit(Opcode::GET_LOCAL, line, d);
    emit(Opcode::SWAP, line);
    emit(Opcode::SET_ELEM, line);
    emit(Opcode::INC, line);
    emitJump(Opcode::JUMP, loop, line);
    placeLabel(end);
    emit(Opcode::GET_LOCAL, line, d);
    emit(Opcode::SET_PROP, line, "length");
    emit(Opcode::GET_GLOBAL, line, functionName);
    emit(Opcode::GET_LOCAL, line, d);
    emit(Opcode::SET_PROP, line, "callee");
}

void CodeGenerator::generateFunction(const SyntaxNode* function)
{
    const int line = function->line;
    if (function->count + kFirstParameterSlot > kMaxByteOperand)
        diagnostics_.error(line, "too many formal parameters");

    scopes_.open();
    scopes_.resetLocalsUsed();
    int slot = kFirstParameterSlot;
    for (const SyntaxNode* parameter = function->a; parameter; parameter = parameter->next)
        scopes_.declareParameter(parameter->text, slot++, parameter->line);

    Instruction& label = code_.emplace_back();
    label.opcode = kFunctionLabel;
    label.line = line;
    label.operand = function->text;
    emit(Opcode::GET_ARG, line, std::int64_t{1});
    emit(Opcode::ADD2, line);
    emit(Opcode::ARGS, line, std::int64_t{kFirstParameterSlot + function->count});
    const auto prologueEnd = std::prev(code_.end());

    if (function->flag)
        buildArgumentsObject(function->text, scopes_.declareLocal("arguments", line), line);
    statement(function->b);
    const SyntaxNode* body = function->b->kind == NodeKind::Block ? function->b->a : nullptr;
    const int endLine = lastLineOf(body, function->line2);
    emit(Opcode::PUSH_UNDEFINED, endLine);
    emit(Opcode::RETURN, endLine);
    scopes_.close();

    const int locals = localSlotCount(body) + (function->flag ? 1 : 0);
    insertLocals(prologueEnd, std::max(locals, scopes_.localsUsed()), line);
}

void CodeGenerator::generateMain(const SyntaxNode* statements)
{
    if (!statements)
        return;
    scopes_.open();
    scopes_.resetLocalsUsed();
    Instruction& label = code_.emplace_back();
    label.opcode = kFunctionLabel;
    label.line = statements->line;
    label.operand = std::string(".main");
    const auto prologueEnd = std::prev(code_.end());
    statementList(statements);
    scopes_.close();
    const SyntaxNode* last = statements;
    while (last->next)
        last = last->next;
    if (last->kind == NodeKind::ExpressionStatement)
        code_.back().discardsResult = true;

    insertLocals(prologueEnd, std::max(localSlotCount(statements), scopes_.localsUsed()), statements->line);
}

} // namespace orvet
