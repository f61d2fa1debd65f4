// Statements. Conditions jump with Not and If; for-in loops run over the
// names Enumerate2 leaves on the stack above a null, so leaving one early
// pops them; switch compares its value, kept in a register, with each case
// by StrictEquals.
#include "tools/actionscript/CodeGenerator.h"

#include "script/compiler/Token.h"
#include "tools/actionscript/TextEncoding.h"

namespace lumbra::actionscript {

using orvet::NodeKind;
using orvet::SyntaxNode;

namespace {
constexpr std::uint8_t kScratch = 0;

bool isLoop(NodeKind kind)
{
    return kind == NodeKind::While || kind == NodeKind::DoWhile || kind == NodeKind::For;
}
} // namespace

void CodeGenerator::statements(const SyntaxNode* list)
{
    for (; list; list = list->next)
        statement(list);
}

void CodeGenerator::statement(const SyntaxNode* node)
{
    switch (node->kind) {
    case NodeKind::Block: return statements(node->a);
    case NodeKind::Empty: return;
    case NodeKind::ExpressionStatement: return effect(node->a);
    case NodeKind::Var: return varStatement(node);
    case NodeKind::If: return ifStatement(node);
    case NodeKind::While:
    case NodeKind::DoWhile:
    case NodeKind::For: return loop(node, {});
    case NodeKind::ForIn: return forIn(node, {});
    case NodeKind::Switch: return switchStatement(node, {});
    case NodeKind::Labelled: return labelled(node);
    case NodeKind::Break:
    case NodeKind::Continue: return jumpStatement(node);
    case NodeKind::Return: return returnStatement(node);
    case NodeKind::With: return withStatement(node);
    case NodeKind::Class: return classDeclaration(node);
    case NodeKind::Import: return;
    case NodeKind::Try: return tryStatement(node);
    case NodeKind::Throw:
        expression(node->a);
        return out().op(Action::Throw);
    case NodeKind::Function:
        // A declaration inside a block is defined where it stands; an
        // unnamed one is a value nobody keeps.
        defineFunction(node, node->text2.empty());
        if (node->text2.empty())
            out().op(Action::Pop);
        return;
    default: fail(node, "unexpected statement");
    }
}

// var name = value: a register store where the name has a register, else
// DefineLocal (DefineLocal2 without a value).
void CodeGenerator::varStatement(const SyntaxNode* node)
{
    for (const SyntaxNode* declarator = node->a; declarator; declarator = declarator->next) {
        auto reg = localRegister(declarator->text);
        if (reg) {
            if (declarator->a) {
                expression(declarator->a);
                out().storeRegister(*reg);
                out().op(Action::Pop);
            }
            continue;
        }
        string(declarator, declarator->text);
        if (declarator->a) {
            expression(declarator->a);
            out().op(Action::DefineLocal);
        } else {
            out().op(Action::DefineLocal2);
        }
    }
}

void CodeGenerator::condition(const SyntaxNode* node, ActionEmitter::Label whenFalse)
{
    expression(node);
    out().op(Action::Not);
    out().branchIf(whenFalse);
}

void CodeGenerator::ifStatement(const SyntaxNode* node)
{
    auto otherwise = out().newLabel(), end = out().newLabel();
    condition(node->a, otherwise);
    statement(node->b);
    if (node->c)
        out().jump(end);
    out().place(otherwise);
    if (node->c) {
        statement(node->c);
        out().place(end);
    }
}

void CodeGenerator::loop(const SyntaxNode* node, const std::string& label)
{
    auto top = out().newLabel(), next = out().newLabel(), end = out().newLabel();
    auto& controls = body_->controls;
    const SyntaxNode* body = node->kind == NodeKind::For ? node->e : node->b;
    if (node->kind == NodeKind::For) {
        if (node->a)
            varStatement(node);
        else if (node->b)
            effect(node->b);
    }
    out().place(top);
    if (node->kind == NodeKind::While)
        condition(node->a, end);
    else if (node->kind == NodeKind::For && node->c)
        condition(node->c, end);
    controls.push_back({Control::Loop, label, end, node->kind == NodeKind::While ? top : next});
    statement(body);
    controls.pop_back();
    out().place(next);
    if (node->kind == NodeKind::DoWhile) {
        expression(node->a);
        out().branchIf(top);
    } else {
        if (node->kind == NodeKind::For && node->d)
            effect(node->d);
        out().jump(top);
    }
    out().place(end);
}

void CodeGenerator::forIn(const SyntaxNode* node, const std::string& label)
{
    const SyntaxNode* object = node->c;
    if (version_ < 6 && object->kind == NodeKind::Identifier && !localRegister(object->text)) {
        string(object, object->text);
        out().op(Action::Enumerate);
    } else {
        expression(object);
        out().op(Action::Enumerate2);
    }
    auto top = out().newLabel(), leave = out().newLabel(), end = out().newLabel();
    out().place(top);
    out().storeRegister(kScratch);
    out().pushNull();
    out().op(Action::Equals2);
    out().branchIf(end);
    assignTo(node->a ? node->a->text : node->b->text, node->a != nullptr);
    auto& controls = body_->controls;
    controls.push_back({Control::ForIn, label, leave, top});
    statement(node->d);
    controls.pop_back();
    out().jump(top);
    out().place(leave);
    endEnumeration();
    out().place(end);
}

// Pops an enumeration's remaining names and its closing null.
void CodeGenerator::endEnumeration()
{
    auto again = out().newLabel();
    out().place(again);
    out().pushNull();
    out().op(Action::Equals2);
    out().op(Action::Not);
    out().branchIf(again);
}

void CodeGenerator::switchStatement(const SyntaxNode* node, const std::string& label)
{
    std::vector<ActionEmitter::Label> entries;
    auto end = out().newLabel();
    ActionEmitter::Label defaultEntry = end;
    {
        Temp value(*this, node);
        expression(node->a);
        out().storeRegister(value.reg());
        out().op(Action::Pop);
        for (const SyntaxNode* clause = node->b; clause; clause = clause->next) {
            entries.push_back(out().newLabel());
            if (!clause->a) {
                defaultEntry = entries.back();
                continue;
            }
            out().pushRegister(value.reg());
            expression(clause->a);
            out().op(version_ < 6 ? Action::Equals2 : Action::StrictEquals);
            out().branchIf(entries.back());
        }
    }
    out().jump(defaultEntry);
    body_->controls.push_back({Control::Switch, label, end, end});
    std::size_t i = 0;
    for (const SyntaxNode* clause = node->b; clause; clause = clause->next, ++i) {
        out().place(entries[i]);
        statements(clause->b);
    }
    body_->controls.pop_back();
    out().place(end);
}

void CodeGenerator::labelled(const SyntaxNode* node)
{
    const SyntaxNode* inner = node->a;
    if (isLoop(inner->kind))
        return loop(inner, node->text);
    if (inner->kind == NodeKind::ForIn)
        return forIn(inner, node->text);
    if (inner->kind == NodeKind::Switch)
        return switchStatement(inner, node->text);
    auto end = out().newLabel();
    body_->controls.push_back({Control::Label, node->text, end, end});
    statement(inner);
    body_->controls.pop_back();
    out().place(end);
}

// Leaving for-in loops on the way pops their names.
void CodeGenerator::jumpStatement(const SyntaxNode* node)
{
    const bool isBreak = node->kind == NodeKind::Break;
    auto& controls = body_->controls;
    for (auto it = controls.rbegin(); it != controls.rend(); ++it) {
        const bool loop = it->kind == Control::Loop || it->kind == Control::ForIn;
        const bool matches = node->text.empty() ? (loop || (isBreak && it->kind == Control::Switch))
                                                : it->label == node->text;
        if (!matches)
            continue;
        if (!isBreak && !loop)
            fail(node, "continue " + node->text + ": the label is not on a loop");
        for (auto inner = controls.rbegin(); inner != it; ++inner)
            if (inner->kind == Control::ForIn)
                endEnumeration();
        return out().jump(isBreak ? it->breakTo : it->continueTo);
    }
    if (!node->text.empty())
        fail(node, "no statement labelled " + node->text + " around this " + (isBreak ? "break" : "continue"));
    fail(node, isBreak ? "break outside a loop or switch" : "continue outside a loop");
}

void CodeGenerator::returnStatement(const SyntaxNode* node)
{
    if (node->a)
        expression(node->a);
    else
        out().pushUndefined();
    int enumerations = 0;
    for (const Control& control : body_->controls)
        enumerations += control.kind == Control::ForIn;
    if (enumerations > 0) {
        out().storeRegister(kScratch);
        out().op(Action::Pop);
        for (int i = 0; i < enumerations; ++i)
            endEnumeration();
        out().pushRegister(kScratch);
    }
    out().op(Action::Return);
}

void CodeGenerator::withStatement(const SyntaxNode* node)
{
    if (node->flag && node->text == "tellTarget")
        return tellTarget(node);
    if (node->flag)
        fail(node, node->text + " handlers stand at the top level of a #clip script");
    expression(node->a);
    std::size_t sizeAt = out().recordWithSize(Action::With, {});
    std::size_t start = out().position();
    statement(node->b);
    std::size_t size = out().position() - start;
    if (size > 0xFFFF)
        fail(node, "with block too long: its code passes 64 KB");
    out().patchU16(sizeAt, size);
}

// tellTarget (target) { ... }: the block's actions act on the target clip;
// SetTarget with an empty name returns to the script's own timeline.
void CodeGenerator::tellTarget(const SyntaxNode* node)
{
    if (node->count != 1)
        fail(node, "tellTarget takes 1 argument");
    auto setTarget = [&](const std::string& name) {
        Bytes body;
        appendCString(body, movieString(node, name));
        out().record(Action::SetTarget, body);
    };
    if (node->a->kind == NodeKind::String) {
        setTarget(node->a->text);
    } else {
        expression(node->a);
        out().op(Action::SetTarget2);
    }
    statement(node->b);
    setTarget({});
}

// try { ... } catch (name) { ... } finally { ... }: the Try record gives the
// sizes of the three blocks; the try block ends in a jump over the catch
// block. The caught value goes to the name's register where it has one.
// Typed clauses, catch (e:T), share the first clause's variable.
void CodeGenerator::tryStatement(const SyntaxNode* node)
{
    const SyntaxNode* clause = node->b;
    for (const SyntaxNode* other = clause; other; other = other->next) {
        if (other->a)
            fail(other, "a catch clause takes no condition");
        if (other->next && other->text2.empty())
            fail(other->next, "only the last of several catch clauses may be untyped");
    }
    std::optional<std::uint8_t> catchRegister = clause ? localRegister(clause->text) : std::nullopt;
    Bytes header{std::uint8_t((clause ? 1 : 0) | (node->c ? 2 : 0) | (catchRegister ? 4 : 0)), 0, 0, 0, 0, 0, 0};
    if (catchRegister)
        header.push_back(*catchRegister);
    else
        appendCString(header, clause ? movieText(clause->text, version_) : std::string());
    out().record(Action::Try, header);
    const std::size_t sizesAt = out().position() - header.size() + 1;

    auto measure = [&](std::size_t at, auto&& write) {
        std::size_t start = out().position();
        write();
        std::size_t size = out().position() - start;
        if (size > 0xFFFF)
            fail(node, "try statement too long: a block passes 64 KB");
        out().patchU16(at, size);
    };
    auto afterCatch = out().newLabel();
    measure(sizesAt, [&] {
        statement(node->a);
        if (clause)
            out().jump(afterCatch);
    });
    measure(sizesAt + 2, [&] {
        if (clause && (clause->next || !clause->text2.empty()))
            typedCatches(clause);
        else if (clause)
            statement(clause->b);
        out().place(afterCatch);
    });
    measure(sizesAt + 4, [&] {
        if (node->c)
            statement(node->c);
    });
}

// Each typed clause in turn tests the caught value with InstanceOf; a value
// no clause takes is thrown on, unless an untyped clause ends the list.
void CodeGenerator::typedCatches(const SyntaxNode* clauses)
{
    auto pushCaught = [&] {
        if (auto reg = localRegister(clauses->text)) {
            out().pushRegister(*reg);
        } else {
            string(clauses, clauses->text);
            out().op(Action::GetVariable);
        }
    };
    auto end = out().newLabel();
    bool untyped = false;
    for (const SyntaxNode* clause = clauses; clause; clause = clause->next) {
        auto next = out().newLabel();
        untyped = clause->text2.empty();
        if (!untyped) {
            pushCaught();
            typeValue(clause, clause->text2);
            out().op(Action::InstanceOf);
            out().op(Action::Not);
            out().branchIf(next);
        }
        if (clause->text != clauses->text) {
            if (auto reg = localRegister(clause->text)) {
                pushCaught();
                out().storeRegister(*reg);
                out().op(Action::Pop);
            } else {
                string(clause, clause->text);
                pushCaught();
                out().op(Action::SetVariable);
            }
        }
        statement(clause->b);
        out().jump(end);
        out().place(next);
    }
    if (!untyped) {
        pushCaught();
        out().op(Action::Throw);
    }
    out().place(end);
}

} // namespace lumbra::actionscript
