// Expressions. Arguments and array elements are pushed last first (the tree
// keeps them in that order), so they are evaluated right to left, as the
// authoring tools compile them.
#include "tools/actionscript/CodeGenerator.h"

#include <vector>

#include "script/compiler/Token.h"
#include "tools/actionscript/TextEncoding.h"

namespace lumbra::actionscript {

using orvet::NodeKind;
using orvet::SyntaxNode;
namespace tk = orvet::tk;

void CodeGenerator::expression(const SyntaxNode* node)
{
    if (orvet::isLeftChain(node->kind))
        return binaryChain(node);
    switch (node->kind) {
    case NodeKind::Assign: return assign(node, true);
    case NodeKind::Conditional: return conditional(node);
    case NodeKind::This:
    case NodeKind::Identifier: return identifier(node);
    case NodeKind::Null:
    case NodeKind::True:
    case NodeKind::False:
    case NodeKind::Undefined:
    case NodeKind::Integer:
    case NodeKind::Number:
    case NodeKind::String: return literal(node);
    case NodeKind::Call: return call(node, true);
    case NodeKind::New: return construct(node);
    case NodeKind::MemberName:
    case NodeKind::MemberIndex:
        member(node);
        return out().op(Action::GetMember);
    case NodeKind::Postfix: return update(node->a, node->op, false, true);
    case NodeKind::Unary: return unary(node);
    case NodeKind::ArrayLiteral: return arrayLiteral(node);
    case NodeKind::ObjectLiteral: return objectLiteral(node);
    case NodeKind::Function: return defineFunction(node, true);
    case NodeKind::RegExp: fail(node, "ActionScript has no regular expression literals");
    default: fail(node, "unexpected expression");
    }
}

void CodeGenerator::effect(const SyntaxNode* node)
{
    switch (node->kind) {
    case NodeKind::Assign: return assign(node, false);
    case NodeKind::Call: return call(node, false);
    case NodeKind::Postfix: return update(node->a, node->op, false, false);
    case NodeKind::Unary:
        if (node->op == tk::PlusPlus || node->op == tk::MinusMinus)
            return update(node->a, node->op, true, false);
        break;
    default:
        break;
    }
    expression(node);
    out().op(Action::Pop);
}

std::string CodeGenerator::movieString(const SyntaxNode* where, const std::string& text) const
{
    if (text.find('\0') != std::string::npos)
        fail(where, "a string in a movie cannot hold the character 0");
    return movieText(text, version_);
}

void CodeGenerator::string(const SyntaxNode* where, const std::string& text)
{
    out().pushString(movieString(where, text));
}

void CodeGenerator::literal(const SyntaxNode* node)
{
    switch (node->kind) {
    case NodeKind::Null: return out().pushNull();
    case NodeKind::True: return out().pushBoolean(true);
    case NodeKind::False: return out().pushBoolean(false);
    case NodeKind::Undefined: return out().pushUndefined();
    case NodeKind::Integer: return out().pushNumber(double(node->integer));
    case NodeKind::Number: return out().pushDouble(node->number);
    default: return string(node, node->text);
    }
}

// Names the function has in registers come from there; "newline" is the
// line feed; every other name is looked up.
void CodeGenerator::identifier(const SyntaxNode* node)
{
    const std::string& name = node->kind == NodeKind::This ? "this" : node->text;
    if (auto reg = localRegister(name))
        return out().pushRegister(*reg);
    if (name == "newline")
        return out().pushString("\n");
    string(node, name);
    out().op(Action::GetVariable);
}

namespace {

struct Operator {
    int token;
    Action action;
    bool negate = false; // followed by Not
};

constexpr Operator kOperators[] = {
    {'+', Action::Add2}, {'-', Action::Subtract}, {'*', Action::Multiply}, {'/', Action::Divide},
    {'%', Action::Modulo}, {'&', Action::BitAnd}, {'|', Action::BitOr}, {'^', Action::BitXor},
    {tk::Shl, Action::BitLShift}, {tk::Shr, Action::BitRShift}, {tk::Ushr, Action::BitURShift},
    {tk::EqEq, Action::Equals2}, {tk::NotEq, Action::Equals2, true}, {tk::StrictEq, Action::StrictEquals},
    {tk::StrictNotEq, Action::StrictEquals, true}, {'<', Action::Less2}, {'>', Action::Greater},
    {tk::LessEq, Action::Greater, true}, {tk::GreaterEq, Action::Less2, true}, {tk::InstanceOf, Action::InstanceOf},
    // Compound assignments.
    {tk::AddAssign, Action::Add2}, {tk::SubAssign, Action::Subtract}, {tk::MulAssign, Action::Multiply},
    {tk::DivAssign, Action::Divide}, {tk::ModAssign, Action::Modulo}, {tk::AndAssign, Action::BitAnd},
    {tk::OrAssign, Action::BitOr}, {tk::XorAssign, Action::BitXor}, {tk::ShlAssign, Action::BitLShift},
    {tk::ShrAssign, Action::BitRShift}, {tk::UshrAssign, Action::BitURShift},
};

const Operator* operatorOf(int token)
{
    for (const Operator& op : kOperators)
        if (op.token == token)
            return &op;
    return nullptr;
}

} // namespace

// The action of a binary or compound-assignment operator, its operands on
// the stack. Version 5 has no Greater: the operands swap for Less2.
void CodeGenerator::binaryOperator(const SyntaxNode* node)
{
    const Operator* op = operatorOf(node->op);
    if (!op)
        fail(node, "unknown operator");
    if (op->action == Action::Greater && version_ < 6) {
        out().op(Action::StackSwap);
        out().op(Action::Less2);
    } else {
        out().op(op->action);
    }
    if (op->negate)
        out().op(Action::Not);
}

// Left-leaning chains (a + b - c, a && b || c, a, b, c ...) are walked along
// their left spine, which the tree's height does not bound.
void CodeGenerator::binaryChain(const SyntaxNode* node)
{
    std::vector<const SyntaxNode*> spine;
    for (; orvet::isLeftChain(node->kind) && node->a; node = node->a)
        spine.push_back(node);
    expression(node);
    for (auto it = spine.rbegin(); it != spine.rend(); ++it) {
        const SyntaxNode* link = *it;
        if (link->kind == NodeKind::Comma) {
            out().op(Action::Pop);
            expression(link->b);
        } else if (link->kind == NodeKind::Logical) {
            // a && b: a when a is false, else b; a || b: a when a is true.
            auto end = out().newLabel();
            out().op(Action::PushDuplicate);
            if (link->op == tk::AndAnd)
                out().op(Action::Not);
            out().branchIf(end);
            out().op(Action::Pop);
            expression(link->b);
            out().place(end);
        } else {
            expression(link->b);
            binaryOperator(link);
        }
    }
}

void CodeGenerator::conditional(const SyntaxNode* node)
{
    auto whenTrue = out().newLabel(), end = out().newLabel();
    expression(node->a);
    out().branchIf(whenTrue);
    expression(node->c);
    out().jump(end);
    out().place(whenTrue);
    expression(node->b);
    out().place(end);
}

void CodeGenerator::unary(const SyntaxNode* node)
{
    const SyntaxNode* operand = node->a;
    switch (node->op) {
    case tk::PlusPlus:
    case tk::MinusMinus: return update(operand, node->op, true, true);
    case tk::Delete: return deleteOperator(node);
    case '-':
        if (operand->kind == NodeKind::Integer)
            return out().pushNumber(-double(operand->integer));
        if (operand->kind == NodeKind::Number)
            return out().pushDouble(-operand->number);
        out().pushNumber(0);
        expression(operand);
        return out().op(Action::Subtract);
    case '~':
        expression(operand);
        out().pushDouble(4294967295.0);
        return out().op(Action::BitXor);
    case tk::Void:
        effect(operand);
        return out().pushUndefined();
    default:
        break;
    }
    expression(operand);
    switch (node->op) {
    case '!': return out().op(Action::Not);
    case '+': return out().op(Action::ToNumber);
    case tk::Typeof: return out().op(Action::TypeOf);
    default: fail(node, "unknown operator");
    }
}

// Holes are undefined.
void CodeGenerator::arrayLiteral(const SyntaxNode* node)
{
    for (const SyntaxNode* element = node->a; element; element = element->next) {
        if (element->kind == NodeKind::Empty)
            out().pushUndefined();
        else
            expression(element);
    }
    out().pushNumber(node->count);
    out().op(Action::InitArray);
}

// Name and value pairs in source order.
void CodeGenerator::objectLiteral(const SyntaxNode* node)
{
    std::vector<const SyntaxNode*> properties;
    for (const SyntaxNode* property = node->a; property; property = property->next)
        properties.push_back(property);
    for (auto it = properties.rbegin(); it != properties.rend(); ++it) {
        const SyntaxNode* property = *it;
        string(property, property->op == tk::Integer ? std::to_string(property->integer) : property->text);
        expression(property->a);
    }
    out().pushNumber(node->count);
    out().op(Action::InitObject);
}

void CodeGenerator::member(const SyntaxNode* node)
{
    expression(node->a);
    if (node->kind == NodeKind::MemberName)
        string(node, node->text);
    else
        expression(node->b);
}

int CodeGenerator::arguments(const SyntaxNode* list)
{
    int count = 0;
    for (; list; list = list->next, ++count)
        expression(list);
    out().pushNumber(count);
    return count;
}

// f(...) by name is a CallFunction; o.m(...) and o[k](...) a CallMethod;
// any other function value is called as a method with an undefined name,
// super(...) on the super object.
void CodeGenerator::call(const SyntaxNode* node, bool wantValue)
{
    const SyntaxNode* callee = node->a;
    if (node->flag) { // a cast: Type(value)
        expression(callee);
        expression(node->b);
        out().op(Action::CastOp);
        if (!wantValue)
            out().op(Action::Pop);
        return;
    }
    bool pushed = true;
    const bool byName = callee->kind == NodeKind::Identifier && !localRegister(callee->text)
                        && callee->text != "super";
    if (byName && builtinCall(node, pushed)) {
        if (wantValue && !pushed)
            out().pushUndefined();
        if (!wantValue && pushed)
            out().op(Action::Pop);
        return;
    }
    arguments(node->b);
    if (byName) {
        string(callee, callee->text);
        out().op(Action::CallFunction);
    } else if (callee->kind == NodeKind::MemberName || callee->kind == NodeKind::MemberIndex) {
        member(callee);
        out().op(Action::CallMethod);
    } else {
        expression(callee);
        out().pushUndefined();
        out().op(Action::CallMethod);
    }
    if (!wantValue)
        out().op(Action::Pop);
}

void CodeGenerator::construct(const SyntaxNode* node)
{
    const SyntaxNode* constructor = node->a;
    arguments(node->b);
    if (constructor->kind == NodeKind::Identifier && !localRegister(constructor->text)) {
        string(constructor, constructor->text);
        out().op(Action::NewObject);
    } else if (constructor->kind == NodeKind::MemberName || constructor->kind == NodeKind::MemberIndex) {
        member(constructor);
        out().op(Action::NewMethod);
    } else {
        expression(constructor);
        out().pushUndefined();
        out().op(Action::NewMethod);
    }
}

// delete o.p and delete o[k] remove a member, delete name a variable;
// anything else is evaluated and true.
void CodeGenerator::deleteOperator(const SyntaxNode* node)
{
    const SyntaxNode* target = node->a;
    if (target->kind == NodeKind::MemberName || target->kind == NodeKind::MemberIndex) {
        member(target);
        return out().op(Action::Delete);
    }
    if (target->kind == NodeKind::Identifier) {
        string(target, target->text);
        return out().op(Action::Delete2);
    }
    effect(target);
    out().pushBoolean(true);
}

} // namespace lumbra::actionscript
