#include "script/compiler/SlotCount.h"

#include <algorithm>

namespace orvet {

namespace {

int nestedNeed(const SyntaxNode* statement);

// Declarations of a var statement that is itself the body of a statement.
int varDeclarators(const SyntaxNode* body)
{
    return body && body->kind == NodeKind::Var ? body->count : 0;
}

int directDeclarations(const SyntaxNode* s)
{
    switch (s->kind) {
    case NodeKind::Var:
        return s->flag ? 0 : s->count; // top-level vars are globals
    case NodeKind::If:
        return varDeclarators(s->b) + varDeclarators(s->c);
    case NodeKind::While: case NodeKind::DoWhile: case NodeKind::With:
        return varDeclarators(s->b);
    case NodeKind::For:
        return varDeclarators(s->e);
    case NodeKind::ForIn:
        return varDeclarators(s->d);
    case NodeKind::Try:
        return varDeclarators(s->a);
    case NodeKind::Labelled:
        return varDeclarators(s->a);
    case NodeKind::Switch: {
        int count = 0;
        for (const SyntaxNode* clause = s->b; clause; clause = clause->next)
            for (const SyntaxNode* item = clause->b; item; item = item->next)
                count += varDeclarators(item);
        return count;
    }
    default:
        return 0;
    }
}

int need(const SyntaxNode* statement)
{
    return statement ? nestedNeed(statement) : 0;
}

int nestedNeed(const SyntaxNode* s)
{
    switch (s->kind) {
    case NodeKind::Block:
        return localSlotCount(s->a);
    case NodeKind::If:
        return std::max(need(s->b), need(s->c));
    case NodeKind::While: case NodeKind::DoWhile: case NodeKind::With:
        return need(s->b);
    case NodeKind::For:
        return s->count + need(s->e);
    case NodeKind::ForIn:
        return (s->a ? 1 : 0) + need(s->d);
    case NodeKind::Try: {
        int most = std::max(need(s->a), need(s->c));
        for (const SyntaxNode* clause = s->b; clause; clause = clause->next)
            most = std::max(most, 1 + need(clause->b));
        return most;
    }
    case NodeKind::Switch: {
        int most = 0;
        for (const SyntaxNode* clause = s->b; clause; clause = clause->next)
            for (const SyntaxNode* item = clause->b; item; item = item->next)
                most = std::max(most, need(item));
        return most;
    }
    case NodeKind::Labelled:
        return need(s->a);
    default:
        return 0;
    }
}

} // namespace

int localSlotCount(const SyntaxNode* statements)
{
    int direct = 0;
    int nested = 0;
    for (const SyntaxNode* s = statements; s; s = s->next) {
        direct += directDeclarations(s);
        nested = std::max(nested, nestedNeed(s));
    }
    return direct + nested;
}

} // namespace orvet
