// Assignments, compound assignments and ++/--. A value an assignment leaves
// passes through the scratch register 0, which holds it only from the
// StoreRegister to the Push right after the store that follows. A member
// whose object and key are plain reads is read again for its update, as the
// authoring tools do; any other object is evaluated once and kept on the
// stack or, with a computed key, in registers.
#include "tools/actionscript/CodeGenerator.h"

#include "script/compiler/Token.h"
#include "tools/actionscript/TextEncoding.h"

namespace lumbra::actionscript {

using orvet::NodeKind;
using orvet::SyntaxNode;
namespace tk = orvet::tk;

namespace {

constexpr std::uint8_t kScratch = 0;

// Reads that may be evaluated twice: names, literals and members of them.
bool isPlainRead(const SyntaxNode* node)
{
    for (;;) {
        switch (node->kind) {
        case NodeKind::This: case NodeKind::Identifier: case NodeKind::Null: case NodeKind::True:
        case NodeKind::False: case NodeKind::Undefined: case NodeKind::Integer: case NodeKind::Number:
        case NodeKind::String:
            return true;
        case NodeKind::MemberName:
            node = node->a;
            break;
        case NodeKind::MemberIndex:
            if (!isPlainRead(node->b))
                return false;
            node = node->a;
            break;
        default:
            return false;
        }
    }
}

bool isMember(const SyntaxNode* node)
{
    return node->kind == NodeKind::MemberName || node->kind == NodeKind::MemberIndex;
}

} // namespace

void CodeGenerator::assign(const SyntaxNode* node, bool wantValue)
{
    const SyntaxNode* target = node->a;
    const SyntaxNode* value = node->b;
    const Result result = wantValue ? Result::New : Result::None;
    if (node->op != '=') {
        return readModifyWrite(target, [&] {
            expression(value);
            binaryOperator(node);
        }, result);
    }
    if (target->kind == NodeKind::Identifier || target->kind == NodeKind::This) {
        if (target->kind == NodeKind::This)
            fail(target, "cannot assign to this");
        if (auto reg = localRegister(target->text)) {
            expression(value);
            out().storeRegister(*reg);
            if (!wantValue)
                out().op(Action::Pop);
            return;
        }
        string(target, target->text);
        expression(value);
        if (wantValue)
            out().storeRegister(kScratch);
        out().op(Action::SetVariable);
    } else if (isMember(target)) {
        member(target);
        expression(value);
        if (wantValue)
            out().storeRegister(kScratch);
        out().op(Action::SetMember);
    } else {
        fail(target, "cannot assign to this expression");
    }
    if (wantValue)
        out().pushRegister(kScratch);
}

void CodeGenerator::update(const SyntaxNode* target, int op, bool prefix, bool wantValue)
{
    const Action step = op == tk::PlusPlus ? Action::Increment : Action::Decrement;
    readModifyWrite(target, [&] { out().op(step); },
                    !wantValue ? Result::None : prefix ? Result::New : Result::Old);
}

// target = modify(target): `modify` writes the code that turns the value on
// top of the stack into the new one.
template <class Modify>
void CodeGenerator::readModifyWrite(const SyntaxNode* target, Modify modify, Result result)
{
    auto keep = [&](Result when) {
        if (result == when)
            out().storeRegister(kScratch);
    };
    if (target->kind == NodeKind::Identifier) {
        if (auto reg = localRegister(target->text)) {
            out().pushRegister(*reg);
            if (result == Result::Old)
                out().op(Action::PushDuplicate);
            modify();
            out().storeRegister(*reg);
            if (result != Result::New)
                out().op(Action::Pop);
            return;
        }
        string(target, target->text);
        string(target, target->text);
        out().op(Action::GetVariable);
        keep(Result::Old);
        modify();
        keep(Result::New);
        out().op(Action::SetVariable);
    } else if (isMember(target) && isPlainRead(target)) {
        member(target);
        member(target);
        out().op(Action::GetMember);
        keep(Result::Old);
        modify();
        keep(Result::New);
        out().op(Action::SetMember);
    } else if (target->kind == NodeKind::MemberName) {
        // object; object name GetMember -> object old -> object new;
        // name, swapped under the new value: object name new.
        expression(target->a);
        out().op(Action::PushDuplicate);
        string(target, target->text);
        out().op(Action::GetMember);
        keep(Result::Old);
        modify();
        keep(Result::New);
        string(target, target->text);
        out().op(Action::StackSwap);
        out().op(Action::SetMember);
    } else if (target->kind == NodeKind::MemberIndex) {
        Temp object(*this, target), key(*this, target);
        expression(target->a);
        out().storeRegister(object.reg());
        expression(target->b);
        out().storeRegister(key.reg());
        out().pushRegister(object.reg());
        out().pushRegister(key.reg());
        out().op(Action::GetMember);
        keep(Result::Old);
        modify();
        keep(Result::New);
        out().op(Action::SetMember);
    } else {
        fail(target, "cannot assign to this expression");
    }
    if (result != Result::None)
        out().pushRegister(kScratch);
}

// name = the value in the scratch register; declare: a var of this body.
void CodeGenerator::assignTo(const std::string& name, bool declare)
{
    if (auto reg = localRegister(name)) {
        out().pushRegister(kScratch);
        out().storeRegister(*reg);
        out().op(Action::Pop);
        return;
    }
    out().pushString(movieText(name, version_));
    out().pushRegister(kScratch);
    out().op(declare ? Action::DefineLocal : Action::SetVariable);
}

} // namespace lumbra::actionscript
