#include "tools/actionscript/FunctionFacts.h"

#include <algorithm>

namespace lumbra::actionscript {

using orvet::NodeKind;
using orvet::SyntaxNode;

namespace {

class FactFinder {
public:
    explicit FactFinder(FunctionFacts& facts) : facts_(facts) {}

    // Every node of a list and what hangs below it.
    void visitList(const SyntaxNode* node)
    {
        for (; node; node = node->next)
            visit(node);
    }

private:
    void declare(const std::string& name)
    {
        if (std::ranges::find(facts_.locals, name) == facts_.locals.end())
            facts_.locals.push_back(name);
    }

    // A left-leaning chain (a + b + c ...) is walked along its spine in a
    // loop: its length is not bounded by the tree's height.
    void visit(const SyntaxNode* node)
    {
        for (;;) {
            if (!note(node))
                return;
            if (!orvet::isLeftChain(node->kind) || !node->a)
                break;
            visitList(node->b);
            node = node->a;
        }
        for (const SyntaxNode* child : {node->a, node->b, node->c, node->d, node->e})
            visitList(child);
    }

    // Records what the node itself tells; false for a node not to enter.
    bool note(const SyntaxNode* node)
    {
        switch (node->kind) {
        case NodeKind::Function:
            facts_.hasInnerFunction = true;
            return false;
        case NodeKind::Class:
        case NodeKind::Import:
            return false;
        case NodeKind::With:
            facts_.hasWith = true;
            break;
        case NodeKind::Declarator:
            declare(node->text);
            break;
        case NodeKind::Try:
            for (const SyntaxNode* clause = node->b; clause; clause = clause->next)
                declare(clause->text);
            break;
        case NodeKind::This:
            facts_.usesThis = true;
            break;
        case NodeKind::Identifier:
            noteName(node->text);
            break;
        default:
            break;
        }
        return true;
    }

    void noteName(const std::string& name)
    {
        if (name == "eval")
            facts_.usesEval = true;
        else if (name == "this")
            facts_.usesThis = true;
        else if (name == "arguments")
            facts_.usesArguments = true;
        else if (name == "super")
            facts_.usesSuper = true;
        else if (name == "_root")
            facts_.usesRoot = true;
        else if (name == "_parent")
            facts_.usesParent = true;
        else if (name == "_global")
            facts_.usesGlobal = true;
    }

    FunctionFacts& facts_;
};

} // namespace

FunctionFacts factsOf(const SyntaxNode* statements)
{
    FunctionFacts facts;
    FactFinder(facts).visitList(statements);
    return facts;
}

} // namespace lumbra::actionscript
