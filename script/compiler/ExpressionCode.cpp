// Expression translation of the code generator.
#include "script/compiler/CodeGenerator.h"
#include "script/compiler/Token.h"

namespace orvet {

namespace {

Opcode binaryOpcode(int op)
{
    switch (op) {
    case '*': case tk::MulAssign: return Opcode::MUL;
    case '/': case tk::DivAssign: return Opcode::DIV;
    case '%': case tk::ModAssign: return Opcode::MOD;
    case '+': case tk::AddAssign: return Opcode::ADD;
    case '-': case tk::SubAssign: return Opcode::SUB;
    case tk::Shl: case tk::ShlAssign: return Opcode::SHL;
    case tk::Shr: case tk::ShrAssign: return Opcode::SHR;
    case tk::Ushr: case tk::UshrAssign: return Opcode::USHR;
    case '&': case tk::AndAssign: return Opcode::BIT_AND;
    case '|': case tk::OrAssign: return Opcode::BIT_OR;
    case '^': case tk::XorAssign: return Opcode::BIT_XOR;
    case tk::EqEq: return Opcode::EQ;
    case tk::NotEq: return Opcode::NE;
    case tk::StrictEq: return Opcode::STRICT_EQ;
    case tk::StrictNotEq: return Opcode::STRICT_NE;
    case '<': return Opcode::LT;
    case '>': return Opcode::GT;
    case tk::LessEq: return Opcode::LE;
    default: return Opcode::GE;
    }
}

} // namespace

void CodeGenerator::expression(const SyntaxNode* e)
{
    const int line = e->line;
    switch (e->kind) {
    case NodeKind::Integer: emitInteger(e->integer, line); break;
    case NodeKind::Number: emit(Opcode::PUSH_CONST, line, LiteralConstant{e->number}); break;
    case NodeKind::String: emit(Opcode::PUSH_CONST, line, LiteralConstant{StringConstant{e->text}}); break;
    case NodeKind::RegExp:
        emit(Opcode::PUSH_CONST, line, LiteralConstant{RegExpConstant{e->text, static_cast<std::uint8_t>(e->integer)}});
        break;
    case NodeKind::True: emit(Opcode::PUSH_TRUE, line); break;
    case NodeKind::False: emit(Opcode::PUSH_FALSE, line); break;
    case NodeKind::Null: emit(Opcode::PUSH_NULL, line); break;
    case NodeKind::Undefined: emit(Opcode::PUSH_UNDEFINED, line); break;
    case NodeKind::This: emit(Opcode::GET_ARG, line, std::int64_t{0}); break;
    case NodeKind::Identifier: case NodeKind::MemberName: case NodeKind::MemberIndex: load(e); break;
    case NodeKind::Comma: case NodeKind::Logical:
    case NodeKind::Bitwise: case NodeKind::Equality: case NodeKind::Relational: case NodeKind::Shift:
    case NodeKind::Multiplicative: case NodeKind::Additive:
        leftChain(e);
        break;
    case NodeKind::Assign: assignment(e); break;
    case NodeKind::Conditional: conditional(e); break;
    case NodeKind::Unary: unary(e); break;
    case NodeKind::Postfix: increment(e, false); break;
    case NodeKind::Call: call(e); break;
    case NodeKind::New: construct(e); break;
    case NodeKind::ArrayLiteral: arrayLiteral(e); break;
    case NodeKind::ObjectLiteral: objectLiteral(e); break;
    default: // no other node stands in an expression
        emit(Opcode::PUSH_UNDEFINED, line);
        break;
    }
}

// A chain of left-associative operators (a + b + c ..., a, b, c ...) is a
// tree as deep as the chain is long; machine-written scripts have chains of
// many thousand terms. The chain's left spine is walked in a loop, so only
// right operands (and whatever they nest) deepen the recursion.
void CodeGenerator::leftChain(const SyntaxNode* e)
{
    std::vector<const SyntaxNode*> spine;
    for (; isLeftChain(e->kind); e = e->a)
        spine.push_back(e);
    expression(e);
    for (auto node = spine.rbegin(); node != spine.rend(); ++node)
        chainStep(*node);
}

// One operator of a chain whose left operand is on the stack.
void CodeGenerator::chainStep(const SyntaxNode* e)
{
    switch (e->kind) {
    case NodeKind::Comma:
        emit(Opcode::POP, e->line);
        expression(e->b);
        return;
    case NodeKind::Logical: {
        // Leaves the deciding operand's value: left, DUP, test, POP, right.
        const int end = newLabel();
        emit(Opcode::DUP, e->line);
        if (e->op == tk::AndAnd)
            emitJumpIfFalse(e->a, end, e->line);
        else
            emitJumpIfTrue(e->a, end, e->line);
        emit(Opcode::POP, e->line);
        expression(e->b);
        placeLabel(end);
        return;
    }
    default:
        expression(e->b);
        emit(binaryOpcode(e->op), e->line);
        return;
    }
}

void CodeGenerator::conditional(const SyntaxNode* e)
{
    const int otherwise = newLabel();
    const int join = newLabel();
    expression(e->a);
    emitJumpIfFalse(e->a, otherwise, e->line);
    expression(e->b);
    emitJump(Opcode::JUMP, join, e->line);
    placeLabel(otherwise);
    expression(e->c);
    placeLabel(join);
}

void CodeGenerator::unary(const SyntaxNode* e)
{
    const int line = e->line;
    switch (e->op) {
    case tk::PlusPlus: case tk::MinusMinus: increment(e, true); return;
    case tk::Delete: deleteOperand(e->a, line); return;
    default: break;
    }
    expression(e->a);
    switch (e->op) {
    case '!': emit(Opcode::NOT, line); break;
    case '-': emit(Opcode::NEG, line); break;
    case '~':
        emit(Opcode::PUSH_CONST, line, LiteralConstant{std::int64_t{-1}});
        emit(Opcode::BIT_XOR, line);
        break;
    case tk::Typeof: emit(Opcode::TYPEOF, line); break;
    case tk::Void:
        emit(Opcode::POP, line);
        emit(Opcode::PUSH_UNDEFINED, line);
        break;
    default: // unary "+": the operand alone
        break;
    }
}

// Every delete yields Undefined. Deleting something that is neither a
// variable nor a member still evaluates it, and still yields a value.
void CodeGenerator::deleteOperand(const SyntaxNode* operand, int line)
{
    switch (operand->kind) {
    case NodeKind::Identifier: {
        const Reference ref = resolve(operand->text);
        emit(Opcode::PUSH_NULL, line);
        switch (ref.storage) {
        case Storage::Parameter: emit(Opcode::DISPOSE_ARG, line, std::int64_t{ref.slot}); break;
        case Storage::Local: emit(Opcode::DISPOSE_LOCAL, line, std::int64_t{ref.slot}); break;
        case Storage::Global: emit(Opcode::DISPOSE_GLOBAL, line, ref.name); break;
        case Storage::Name: emit(Opcode::DELETE_NAME, line, ref.name); break;
        }
        break;
    }
    case NodeKind::MemberName:
        expression(operand->a);
        emit(Opcode::DELETE_PROP, line, operand->text);
        break;
    case NodeKind::MemberIndex:
        expression(operand->a);
        expression(operand->b);
        emit(Opcode::DELETE_ELEM, line);
        break;
    default:
        expression(operand);
        emit(Opcode::POP, line);
        emit(Opcode::PUSH_UNDEFINED, line);
        break;
    }
}

// Prefix: load, 1, op, DUP, store (the new value remains). Postfix: load,
// DUP, 1, op, store (the old value remains).
void CodeGenerator::increment(const SyntaxNode* e, bool prefix)
{
    const Opcode op = e->op == tk::PlusPlus ? Opcode::ADD : Opcode::SUB;
    load(e->a);
    if (!prefix)
        emit(Opcode::DUP, e->line);
    emit(Opcode::PUSH_1, e->line);
    emit(op, e->line);
    if (prefix)
        emit(Opcode::DUP, e->line);
    store(e->a);
}

void CodeGenerator::assignment(const SyntaxNode* e)
{
    if (e->op == '=') {
        expression(e->b);
    } else {
        load(e->a);
        expression(e->b);
        emit(binaryOpcode(e->op), e->line);
    }
    emit(Opcode::DUP, e->line);
    store(e->a);
}

void CodeGenerator::load(const SyntaxNode* target)
{
    switch (target->kind) {
    case NodeKind::Identifier:
        emitLoad(resolve(target->text), target->line);
        break;
    case NodeKind::MemberName:
        expression(target->a);
        emit(Opcode::GET_PROP, target->line, target->text);
        break;
    case NodeKind::MemberIndex:
        expression(target->a);
        expression(target->b);
        emit(Opcode::GET_ELEM, target->line);
        break;
    default:
        expression(target);
        break;
    }
}

// A target that names no place (a literal, a call) discards the value, so
// the stack stays as balanced as for a real store.
void CodeGenerator::store(const SyntaxNode* target)
{
    switch (target->kind) {
    case NodeKind::Identifier:
        emitStore(resolve(target->text), target->line);
        break;
    case NodeKind::MemberName:
        expression(target->a);
        emit(Opcode::SET_PROP, target->line, target->text);
        break;
    case NodeKind::MemberIndex:
        expression(target->a);
        expression(target->b);
        emit(Opcode::SET_ELEM, target->line);
        break;
    default:
        emit(Opcode::POP, target->line);
        break;
    }
}

// Arguments go last first, then their count.
int CodeGenerator::pushArguments(const SyntaxNode* list, int line)
{
    int count = 0;
    for (; list; list = list->next, ++count)
        expression(list);
    if (count <= 3)
        emitInteger(count, line);
    else
        emit(Opcode::PUSH_INT, line, std::int64_t{count});
    return count;
}

// After the call the result lies above the receiver slot, the count and the
// arguments; NIP removes those.
void CodeGenerator::call(const SyntaxNode* e)
{
    const int line = e->line;
    const int count = pushArguments(e->b, line);
    const SyntaxNode* callee = e->a;
    if (callee->kind == NodeKind::MemberName) {
        expression(callee->a);
        emit(Opcode::CALL_METHOD, line, callee->text);
    } else if (callee->kind == NodeKind::Identifier) {
        const Reference ref = resolve(callee->text);
        emitLoad(ref, line);
        if (ref.storage == Storage::Name)
            emit(Opcode::CALL_NAME, line, ref.name);
        else
            emit(Opcode::CALL, line);
    } else {
        expression(callee);
        emit(Opcode::CALL, line);
    }
    emitCounted(Opcode::NIP, count + 2, line);
}

void CodeGenerator::construct(const SyntaxNode* e)
{
    const int line = e->line;
    const int count = pushArguments(e->b, line);
    expression(e->a);
    emit(Opcode::NEW, line);
    emit(Opcode::SWAP, line);
    emitCounted(Opcode::NIP, count + 2, line);
}

// Elements last first (holes as Undefined), minus the count, new Array.
void CodeGenerator::arrayLiteral(const SyntaxNode* e)
{
    const int line = e->line;
    for (const SyntaxNode* element = e->a; element; element = element->next) {
        if (element->kind == NodeKind::Empty)
            emit(Opcode::PUSH_UNDEFINED, element->line);
        else
            expression(element);
    }
    emit(Opcode::PUSH_INT, line, std::int64_t{-e->count});
    emit(Opcode::GET_GLOBAL, line, "Array");
    emit(Opcode::NEW, line);
    emit(Opcode::SWAP, line);
    emitCounted(Opcode::NIP, e->count + 2, line);
}

void CodeGenerator::objectLiteral(const SyntaxNode* e)
{
    const int line = e->line;
    emit(Opcode::PUSH_0, line);
    emit(Opcode::GET_GLOBAL, line, "Object");
    emit(Opcode::NEW, line);
    emit(Opcode::SWAP, line);
    emit(Opcode::NIP, line, std::int64_t{2});
    for (const SyntaxNode* property = e->a; property; property = property->next) {
        emit(Opcode::DUP, property->line);
        expression(property->a);
        emit(Opcode::SWAP, property->line);
        if (property->op == tk::Integer) {
            emitInteger(property->integer, property->line);
            emit(Opcode::SET_ELEM, property->line);
        } else if (property->op == tk::String) {
            emit(Opcode::PUSH_CONST, property->line, LiteralConstant{StringConstant{property->text}});
            emit(Opcode::SET_ELEM, property->line);
        } else {
            emit(Opcode::SET_PROP, property->line, property->text);
        }
    }
}

} // namespace orvet
