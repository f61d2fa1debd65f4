// Statement translation of the code generator.
#include "script/compiler/CodeGenerator.h"

#include <utility>

namespace orvet {

void CodeGenerator::statementList(const SyntaxNode* list)
{
    for (; list; list = list->next)
        statement(list);
}

void CodeGenerator::statement(const SyntaxNode* s)
{
    switch (s->kind) {
    case NodeKind::ExpressionStatement:
        expression(s->a);
        emit(Opcode::POP, s->line);
        break;
    case NodeKind::Var: varStatement(s); break;
    case NodeKind::Block:
        scopes_.open();
        statementList(s->a);
        scopes_.close();
        break;
    case NodeKind::If: ifStatement(s); break;
    case NodeKind::While: whileStatement(s); break;
    case NodeKind::DoWhile: doWhileStatement(s); break;
    case NodeKind::For: forStatement(s); break;
    case NodeKind::ForIn: forInStatement(s); break;
    case NodeKind::Switch: switchStatement(s); break;
    case NodeKind::With: withStatement(s); break;
    case NodeKind::Labelled: labelledStatement(s); break;
    case NodeKind::Break: case NodeKind::Continue: jumpStatement(s); break;
    case NodeKind::Return: returnStatement(s); break;
    case NodeKind::Throw:
        expression(s->a);
        emit(Opcode::THROW, s->line);
        break;
    case NodeKind::Try: tryStatement(s); break;
    case NodeKind::NestedFunction:
        // The function becomes a property of the function around it.
        emit(Opcode::GET_GLOBAL, s->line, s->text2);
        emit(Opcode::GET_GLOBAL, s->line, s->text);
        emit(Opcode::SET_PROP, s->line, s->text3);
        break;
    default: // empty statement, function declaration at top level
        break;
    }
}

void CodeGenerator::varStatement(const SyntaxNode* s)
{
    for (const SyntaxNode* d = s->a; d; d = d->next) {
        if (s->flag) {
            if (d->a) {
                expression(d->a);
                emit(Opcode::SET_GLOBAL, d->line, d->text);
            }
            continue;
        }
        const int slot = scopes_.declareLocal(d->text, d->line);
        if (d->a) {
            expression(d->a);
            emit(Opcode::SET_LOCAL, d->line, std::int64_t{slot});
        }
    }
}

void CodeGenerator::ifStatement(const SyntaxNode* s)
{
    const int otherwise = newLabel();
    const int join = newLabel();
    expression(s->a);
    emitJumpIfFalse(s->a, otherwise, s->line);
    statement(s->b);
    emitJump(Opcode::JUMP, join, s->line);
    placeLabel(otherwise);
    if (s->c)
        statement(s->c);
    placeLabel(join);
}

void CodeGenerator::loopBody(const SyntaxNode* body, int breakLabel, int continueLabel, int pops)
{
    JumpScope scope;
    scope.breakLabel = breakLabel;
    scope.continueLabel = continueLabel;
    scope.label = std::exchange(loopLabel_, {});
    scope.pops = pops;
    jumpScopes_.push_back(scope);
    statement(body);
    jumpScopes_.pop_back();
}

void CodeGenerator::whileStatement(const SyntaxNode* s)
{
    const int top = newLabel();
    const int exit = newLabel();
    placeLabel(top);
    expression(s->a);
    emitJumpIfFalse(s->a, exit, s->line);
    loopBody(s->b, exit, top);
    emitJump(Opcode::JUMP, top, s->line);
    placeLabel(exit);
}

void CodeGenerator::doWhileStatement(const SyntaxNode* s)
{
    const int top = newLabel();
    const int test = newLabel();
    const int exit = newLabel();
    placeLabel(top);
    loopBody(s->b, exit, test);
    placeLabel(test);
    expression(s->a);
    emitJumpIfTrue(s->a, top, s->line);
    placeLabel(exit);
}

void CodeGenerator::forStatement(const SyntaxNode* s)
{
    const int top = newLabel();
    const int next = newLabel();
    const int exit = newLabel();
    const bool declares = s->a != nullptr;
    if (declares) {
        scopes_.open();
        for (const SyntaxNode* d = s->a; d; d = d->next) {
            const int slot = scopes_.declareLocal(d->text, d->line);
            if (d->a) {
                expression(d->a);
                emit(Opcode::SET_LOCAL, d->line, std::int64_t{slot});
            }
        }
    } else if (s->b) {
        expression(s->b);
        emit(Opcode::POP, s->line);
    }
    placeLabel(top);
    if (s->c) {
        expression(s->c);
        emitJumpIfFalse(s->c, exit, s->line);
    } else {
        emit(Opcode::PUSH_TRUE, s->line);
        emitJump(Opcode::JUMP_IF_FALSE_BOOL, exit, s->line);
    }
    loopBody(s->e, exit, next);
    placeLabel(next);
    if (s->d) {
        expression(s->d);
        emit(Opcode::POP, s->line);
    }
    emitJump(Opcode::JUMP, top, s->line);
    placeLabel(exit);
    if (declares)
        scopes_.close();
}

// The loop keeps the collection and the index on the stack: (o, i). Each step
// runs ITER_NEXT on a copy of both; the loop's break target drops them.
void CodeGenerator::forInStatement(const SyntaxNode* s)
{
    const int line = s->line;
    const int top = newLabel();
    const int next = newLabel();
    const int done = newLabel();
    const int exit = newLabel();
    Reference variable;
    const bool declares = s->a != nullptr;
    if (declares) {
        scopes_.open();
        variable = {Storage::Local, scopes_.declareLocal(s->a->text, s->a->line), s->a->text};
        if (s->a->a) {
            expression(s->a->a);
            emitStore(variable, line);
        }
    } else {
        variable = resolve(s->b->text);
    }
    expression(s->c);
    emit(Opcode::DUP, line);
    emit(Opcode::PUSH_0, line);
    emit(Opcode::SWAP, line);
    emit(Opcode::PUSH_0, line);
    placeLabel(top);
    emit(Opcode::ITER_NEXT, line);
    emitJump(Opcode::JUMP_IF_FALSE_BOOL, done, line);
    emitStore(variable, line);
    loopBody(s->d, exit, next, 2);
    placeLabel(next);
    emit(Opcode::PUSH_1, line);
    emit(Opcode::ADD, line);
    emit(Opcode::DUP, line);
    emit(Opcode::ROLL, line, std::int64_t{-3});
    emit(Opcode::DUP, line);
    emit(Opcode::ROLL, line, std::int64_t{4});
    emit(Opcode::SWAP, line);
    emitJump(Opcode::JUMP, top, line);
    placeLabel(done);
    emit(Opcode::POP, line);
    placeLabel(exit);
    emit(Opcode::DROP, line, std::int64_t{2});
    if (declares)
        scopes_.close();
}

// The discriminant stays on the stack while the cases are tested; the exit
// label pops it.
void CodeGenerator::switchStatement(const SyntaxNode* s)
{
    const int line = s->line;
    const int exit = newLabel();
    expression(s->a);

    struct Clause {
        const SyntaxNode* node;
        int test;
        int body;
    };
    std::vector<Clause> clauses;
    const SyntaxNode* defaultClause = nullptr;
    for (const SyntaxNode* c = s->b; c; c = c->next) {
        clauses.push_back({c, newLabel(), newLabel()});
        if (!c->a)
            defaultClause = c;
    }
    int defaultBody = exit;
    for (const Clause& c : clauses)
        if (c.node == defaultClause)
            defaultBody = c.body;
    auto nextCaseTest = [&](std::size_t from) {
        for (std::size_t i = from; i < clauses.size(); ++i)
            if (clauses[i].node->a)
                return clauses[i].test;
        return defaultBody;
    };

    JumpScope scope;
    scope.breakLabel = exit;
    scope.pops = 1;
    jumpScopes_.push_back(scope);
    for (std::size_t i = 0; i < clauses.size(); ++i) {
        const Clause& c = clauses[i];
        if (c.node->a) {
            placeLabel(c.test);
            emit(Opcode::DUP, c.node->line);
            expression(c.node->a);
            emit(Opcode::STRICT_EQ, c.node->line);
            emitJump(Opcode::JUMP_IF_FALSE_BOOL, nextCaseTest(i + 1), c.node->line);
        } else if (i == 0) {
            const int firstCase = nextCaseTest(1);
            if (firstCase != defaultBody)
                emitJump(Opcode::JUMP, firstCase, c.node->line);
        }
        placeLabel(c.body);
        statementList(c.node->b);
        emitJump(Opcode::JUMP, i + 1 < clauses.size() ? clauses[i + 1].body : exit, c.node->line);
    }
    jumpScopes_.pop_back();
    placeLabel(exit);
    emit(Opcode::POP, s->line2 ? s->line2 : line);
}

void CodeGenerator::withStatement(const SyntaxNode* s)
{
    expression(s->a);
    emit(Opcode::WITH_PUSH, s->line);
    ++innermost().withDepth;
    statement(s->b);
    --innermost().withDepth;
    emit(Opcode::WITH_POP, s->line, std::int64_t{1});
}

void CodeGenerator::labelledStatement(const SyntaxNode* s)
{
    const int start = newLabel();
    const int exit = newLabel();
    JumpScope scope;
    scope.breakLabel = exit;
    scope.continueLabel = start;
    scope.label = s->text;
    jumpScopes_.push_back(scope);
    placeLabel(start);
    // A labelled loop answers to its label itself, so that "continue label"
    // goes on with the loop's next round rather than starting it over.
    const NodeKind kind = s->a->kind;
    if (kind == NodeKind::While || kind == NodeKind::DoWhile || kind == NodeKind::For || kind == NodeKind::ForIn)
        loopLabel_ = s->text;
    statement(s->a);
    jumpScopes_.pop_back();
    placeLabel(exit);
}

// break and continue leave every statement up to their target: with scopes
// and try records opened inside them are released, and values that the
// statements passed keep on the stack (a switch's discriminant, a for-in
// loop's collection and index, the two values under a catch clause or a
// finally statement) are dropped. The target's own values are its own
// business: its break label drops them, its continue label needs them.
void CodeGenerator::jumpStatement(const SyntaxNode* s)
{
    const bool isBreak = s->kind == NodeKind::Break;
    const bool labelled = !s->text.empty();
    auto target = jumpScopes_.rbegin();
    for (; target != jumpScopes_.rend(); ++target) {
        if (labelled ? target->label == s->text : (isBreak ? target->breakLabel : target->continueLabel) != 0)
            break;
    }
    if (target == jumpScopes_.rend() || (isBreak ? target->breakLabel : target->continueLabel) == 0)
        diagnostics_.error(lastLine_, isBreak ? "invalid break" : "invalid continue");

    int withs = 0;
    int tries = 0;
    int pops = 0;
    for (auto scope = jumpScopes_.rbegin(); scope != std::next(target); ++scope) {
        withs += scope->withDepth;
        tries += scope->tryDepth;
        if (scope != target)
            pops += scope->pops;
    }
    emitCounted(Opcode::WITH_POP, withs, s->line);
    emitCounted(Opcode::END_TRY, tries, s->line);
    if (pops > 0)
        emitDropValues(pops, s->line);
    emitJump(Opcode::JUMP, isBreak ? target->breakLabel : target->continueLabel, s->line);
}

// The value is computed before the open try statements are left, so that
// an error in it (try { return f(); } catch ...) reaches their handlers.
void CodeGenerator::returnStatement(const SyntaxNode* s)
{
    if (s->a)
        expression(s->a);
    else
        emit(Opcode::PUSH_UNDEFINED, s->line);
    int tries = 0;
    for (const JumpScope& scope : jumpScopes_)
        tries += scope.tryDepth;
    emitCounted(Opcode::END_TRY, tries, s->line);
    emit(Opcode::RETURN, s->line);
}

// Every path reaches the join label with two values: a flag on top, true
// when an exception is still to be thrown, and under it that exception (or
// a placeholder). The stack is thus equally high on every path, as the
// linker's stack check demands. The finally code runs on every path; a
// pending exception is thrown after it, otherwise the second value goes.
void CodeGenerator::tryStatement(const SyntaxNode* s)
{
    const int line = s->line;
    const int handler = newLabel();
    const int join = newLabel();
    emitJump(Opcode::TRY, handler, line);
    ++innermost().tryDepth;
    statement(s->a);
    --innermost().tryDepth;
    emit(Opcode::END_TRY, s->line2, std::int64_t{1});
    emit(Opcode::PUSH_UNDEFINED, s->line2);
    emit(Opcode::PUSH_FALSE, s->line2);
    emitJump(Opcode::JUMP, join, s->line2);
    placeLabel(handler);
    if (s->b)
        catchClauses(s->b, join);
    emit(Opcode::PUSH_TRUE, s->line2);
    placeLabel(join);
    if (s->c) {
        JumpScope finallyScope;
        finallyScope.pops = 2; // the flag and the value under it
        jumpScopes_.push_back(finallyScope);
        statement(s->c);
        jumpScopes_.pop_back();
    }
    const int done = newLabel();
    emitJump(Opcode::JUMP_IF_FALSE_BOOL, done, s->line2);
    emit(Opcode::THROW, s->line2);
    placeLabel(done);
    emit(Opcode::POP, s->line2);
}

// The exception lies on the stack under a "handled" flag while the clauses
// are tried in order; the first clause whose guard holds (or that has none)
// handles it and ends the handling. An exception thrown by a clause replaces
// the one being handled.
void CodeGenerator::catchClauses(const SyntaxNode* clauses, int join)
{
    const int line = clauses->line;
    const int noMatch = newLabel();
    const int rethrown = newLabel();
    emit(Opcode::PUSH_FALSE, line);
    emit(Opcode::SWAP, line);
    emitJump(Opcode::TRY, rethrown, line);
    ++innermost().tryDepth;

    int test = newLabel();
    for (const SyntaxNode* c = clauses; c; c = c->next) {
        const int nextTest = c->next ? newLabel() : noMatch;
        const int body = newLabel();
        placeLabel(test);
        scopes_.open();
        const int slot = scopes_.declareLocal(c->text, c->line);
        emit(Opcode::DUP, c->line);
        emit(Opcode::SET_LOCAL, c->line, std::int64_t{slot});
        if (c->a) {
            const int guardFailed = newLabel();
            emitJump(Opcode::TRY, guardFailed, c->line);
            expression(c->a);
            emit(Opcode::END_TRY, c->line, std::int64_t{1});
            emitJumpIfFalse(c->a, nextTest, c->line);
            emitJump(Opcode::JUMP, body, c->line);
            placeLabel(guardFailed);
            emit(Opcode::POP, c->line);
            emitJump(Opcode::JUMP, nextTest, c->line);
        }
        placeLabel(body);
        emit(Opcode::SWAP, c->line);
        emit(Opcode::POP, c->line);
        emit(Opcode::PUSH_TRUE, c->line);
        emit(Opcode::SWAP, c->line);
        JumpScope clauseScope;
        clauseScope.pops = 2; // the flag and the exception
        jumpScopes_.push_back(clauseScope);
        statement(c->b);
        jumpScopes_.pop_back();
        emitJump(Opcode::JUMP, noMatch, c->line);
        scopes_.close();
        test = nextTest;
    }

    const int handled = newLabel();
    placeLabel(noMatch);
    --innermost().tryDepth;
    emit(Opcode::END_TRY, line, std::int64_t{1});
    emit(Opcode::SWAP, line);
    emitJump(Opcode::JUMP_IF_TRUE_BOOL, handled, line);
    emit(Opcode::PUSH_TRUE, line);
    emitJump(Opcode::JUMP, join, line);
    placeLabel(handled);
    emit(Opcode::PUSH_FALSE, line); // the handled exception stays as the placeholder
    emitJump(Opcode::JUMP, join, line);
    placeLabel(rethrown);
    emit(Opcode::NIP, line, std::int64_t{2});
}

} // namespace orvet
