#include "tools/actionscript/ClassResolution.h"

#include <map>
#include <set>
#include <string>
#include <vector>

#include "tools/actionscript/BuiltinMembers.h"
#include "tools/actionscript/FunctionFacts.h"
#include "tools/actionscript/SourceError.h"

namespace lumbra::actionscript {

using orvet::NodeKind;
using orvet::SyntaxNode;

namespace {

std::string shortName(const std::string& dotted)
{
    return dotted.substr(dotted.rfind('.') + 1);
}

std::string packageOf(const std::string& dotted)
{
    auto dot = dotted.rfind('.');
    return dot == std::string::npos ? std::string() : dotted.substr(0, dot);
}

bool isConstructor(const SyntaxNode* member, const SyntaxNode* type)
{
    return member->kind == NodeKind::Function && !(member->op & orvet::member_flag::Static)
           && member->text2 == shortName(type->text);
}

// Whether `node` or what hangs below it calls super(...), inner functions aside.
bool callsSuper(const SyntaxNode* node)
{
    for (; node; node = node->next) {
        if (node->kind == NodeKind::Function)
            continue;
        if (node->kind == NodeKind::Call && node->a->kind == NodeKind::Identifier && node->a->text == "super")
            return true;
        for (const SyntaxNode* child : {node->a, node->b, node->c, node->d, node->e})
            if (callsSuper(child))
                return true;
    }
    return false;
}

class Resolver {
public:
    Resolver(SyntaxNode* topLevel, orvet::NodePool& pool, int lineOffset, const std::set<std::string>& movieClasses)
        : pool_(pool), lineOffset_(lineOffset), movieClasses_(movieClasses)
    {
        for (SyntaxNode* node = topLevel; node; node = node->next)
            if (node->kind == NodeKind::Class)
                classes_[node->text] = node;
        for (SyntaxNode* node = topLevel; node; node = node->next)
            if (node->kind == NodeKind::Import)
                addImport(node);
    }

    // The statements with the classes in an order that defines each one's
    // superclass and interfaces (those declared here) ahead of it.
    SyntaxNode* run(SyntaxNode* topLevel)
    {
        // Inheritance first: member lookups follow resolved superclasses.
        for (auto& [name, type] : classes_) {
            if (!type->text2.empty())
                type->text2 = resolve(type->text2, type);
            for (SyntaxNode* face = type->a; face; face = face->next)
                face->text = resolve(face->text, type);
        }
        for (const auto& [name, type] : classes_)
            refuseCircles(type);
        for (SyntaxNode* node = topLevel; node; node = node->next) {
            if (node->kind == NodeKind::Class)
                classBody(node);
            else
                visit(node);
        }
        return inDependencyOrder(topLevel);
    }

private:
    struct Members {
        std::set<std::string> instance;
        std::map<std::string, std::string> statics; // name, owning class
    };

    // A class whose chain of superclasses comes back to it would construct
    // itself without end; the authoring tool refuses it too.
    void refuseCircles(const SyntaxNode* type) const
    {
        std::set<const SyntaxNode*> seen;
        for (const SyntaxNode* base = declared(type->text2); base; base = declared(base->text2)) {
            if (base == type)
                throw SourceError(type->line + lineOffset_, "class " + type->text + " extends itself");
            if (!seen.insert(base).second)
                return;
        }
    }

    SyntaxNode* inDependencyOrder(SyntaxNode* topLevel) const
    {
        std::vector<SyntaxNode*> statements, ordered;
        std::set<const SyntaxNode*> placed;
        auto place = [&](auto&& self, SyntaxNode* type) -> void {
            if (!placed.insert(type).second)
                return;
            if (SyntaxNode* base = classes_.contains(type->text2) ? classes_.at(type->text2) : nullptr)
                self(self, base);
            for (const SyntaxNode* face = type->a; face; face = face->next)
                if (classes_.contains(face->text))
                    self(self, classes_.at(face->text));
            ordered.push_back(type);
        };
        for (SyntaxNode* node = topLevel; node; node = node->next) {
            statements.push_back(node);
            if (node->kind == NodeKind::Class)
                place(place, node);
        }
        auto next = ordered.begin();
        for (SyntaxNode*& node : statements)
            if (node->kind == NodeKind::Class)
                node = *next++;
        for (std::size_t i = 0; i < statements.size(); ++i)
            statements[i]->next = i + 1 < statements.size() ? statements[i + 1] : nullptr;
        return statements.empty() ? nullptr : statements.front();
    }

    void addImport(const SyntaxNode* node)
    {
        if (!node->flag) {
            aliases_[shortName(node->text)] = node->text;
            return;
        }
        for (const auto& [name, type] : classes_)
            if (packageOf(name) == node->text)
                aliases_[shortName(name)] = name;
        for (const std::string& name : movieClasses_)
            if (packageOf(name) == node->text)
                aliases_[shortName(name)] = name;
    }

    // A type name as written inside `type` (or at top level when null): an
    // alias, a class of the same package, or the name itself.
    std::string resolve(const std::string& name, const SyntaxNode* type) const
    {
        if (name.find('.') != std::string::npos)
            return name;
        if (type) {
            std::string sibling = packageOf(type->text) + "." + name;
            if (!packageOf(type->text).empty() && classes_.contains(sibling))
                return sibling;
        }
        auto alias = aliases_.find(name);
        return alias == aliases_.end() ? name : alias->second;
    }

    const SyntaxNode* declared(const std::string& name) const
    {
        auto it = classes_.find(name);
        return it == classes_.end() ? nullptr : it->second;
    }

    // The class's members and those it inherits, from classes declared here
    // and then from the player's own classes (Object at the end of every
    // chain); a chain that loops back on itself stops there.
    Members membersOf(const SyntaxNode* type) const
    {
        Members members;
        std::set<const SyntaxNode*> seen;
        std::string base = "Object";
        for (; type && seen.insert(type).second; type = declared(type->text2)) {
            base = type->text2.empty() ? "Object" : type->text2;
            for (const SyntaxNode* member = type->b; member; member = member->next) {
                if (member->kind == NodeKind::Function && isConstructor(member, type))
                    continue;
                auto add = [&](const std::string& name) {
                    if (member->op & orvet::member_flag::Static)
                        members.statics.try_emplace(name, type->text);
                    else
                        members.instance.insert(name);
                };
                if (member->kind == NodeKind::Function)
                    add(member->text2);
                else
                    for (const SyntaxNode* declarator = member->a; declarator; declarator = declarator->next)
                        add(declarator->text);
            }
        }
        for (const BuiltinClass* builtin = builtinClass(base); builtin;
             builtin = builtin->parent ? builtinClass(builtin->parent) : nullptr)
            members.instance.insert(builtin->members.begin(), builtin->members.end());
        return members;
    }

    void classBody(SyntaxNode* type)
    {
        if (type->flag || (type->op & orvet::class_flag::Intrinsic))
            return;
        addConstructor(type);
        current_ = type;
        members_ = membersOf(type);
        for (SyntaxNode* member = type->b; member; member = member->next) {
            if (member->kind == NodeKind::Function)
                function(member);
            else
                visit(member);
        }
        current_ = nullptr;
        members_ = {};
    }

    void addConstructor(SyntaxNode* type)
    {
        SyntaxNode* constructor = nullptr;
        for (SyntaxNode* member = type->b; member; member = member->next)
            if (isConstructor(member, type))
                constructor = member;
        if (!constructor) {
            constructor = pool_.make(NodeKind::Function, type->line);
            constructor->text = constructor->text2 = shortName(type->text);
            constructor->b = pool_.make(NodeKind::Empty, type->line);
            constructor->next = type->b;
            type->b = constructor;
        }
        if (type->text2.empty() || !constructor->b || callsSuper(constructor->b))
            return;
        SyntaxNode* body = constructor->b;
        if (body->kind != NodeKind::Block) {
            body = pool_.make(NodeKind::Block, constructor->line);
            constructor->b = body;
        }
        SyntaxNode* callee = pool_.make(NodeKind::Identifier, constructor->line);
        callee->text = "super";
        SyntaxNode* call = pool_.make(NodeKind::Call, constructor->line);
        call->a = callee;
        SyntaxNode* statement = pool_.make(NodeKind::ExpressionStatement, constructor->line);
        statement->a = call;
        statement->next = body->a;
        body->a = statement;
    }

    // A function's parameters, locals and named inner functions hide the
    // names outside it.
    void function(SyntaxNode* node)
    {
        std::set<std::string> names;
        for (const SyntaxNode* parameter = node->a; parameter; parameter = parameter->next)
            names.insert(parameter->text);
        const SyntaxNode* statements = node->b && node->b->kind == NodeKind::Block ? node->b->a : nullptr;
        for (const auto& local : factsOf(statements).locals)
            names.insert(local);
        for (const SyntaxNode* inner = statements; inner; inner = inner->next)
            if (inner->kind == NodeKind::Function && !inner->text2.empty())
                names.insert(inner->text2);
        scopes_.push_back(std::move(names));
        visitList(node->b);
        scopes_.pop_back();
    }

    void visitList(SyntaxNode* node)
    {
        for (; node; node = node->next)
            visit(node);
    }

    // A left-leaning chain is walked along its spine in a loop.
    void visit(SyntaxNode* node)
    {
        for (;;) {
            switch (node->kind) {
            case NodeKind::Function: return function(node);
            case NodeKind::Identifier: return identifier(node);
            case NodeKind::Class:
            case NodeKind::Import: return;
            case NodeKind::Call: markCast(node); break;
            case NodeKind::With:
                if (node->flag) { // a handler's arguments are event names, tellTarget's its target
                    if (node->text == "tellTarget")
                        visitList(node->a);
                    return visitList(node->b);
                }
                break;
            default: break;
            }
            if (!orvet::isLeftChain(node->kind) || !node->a)
                break;
            visitList(node->b);
            node = node->a;
        }
        for (SyntaxNode* child : {node->a, node->b, node->c, node->d, node->e})
            visitList(child);
    }

    bool hidden(const std::string& name) const
    {
        for (const auto& scope : scopes_)
            if (scope.contains(name))
                return true;
        return false;
    }

    // The dotted path a type name stands for, when it names a class or
    // interface declared here or imported by name.
    std::string typePath(const SyntaxNode* node) const
    {
        if (node->kind == NodeKind::Identifier) {
            if (hidden(node->text) || members_.instance.contains(node->text) || members_.statics.contains(node->text))
                return {};
            std::string path = resolve(node->text, current_);
            bool imported = aliases_.contains(node->text) && aliases_.at(node->text) == path;
            return declared(path) || imported ? path : std::string();
        }
        if (node->kind == NodeKind::MemberName) {
            std::string path;
            for (const SyntaxNode* part = node; part; part = part->a) {
                if (part->kind == NodeKind::Identifier) {
                    path = part->text + path;
                    return declared(path) ? path : std::string();
                }
                if (part->kind != NodeKind::MemberName)
                    return {};
                path = "." + part->text + path;
            }
        }
        return {};
    }

    void markCast(SyntaxNode* call)
    {
        if (call->count == 1 && !typePath(call->a).empty())
            call->flag = true;
    }

    void identifier(SyntaxNode* node)
    {
        const std::string& name = node->text;
        if (hidden(name))
            return;
        if (current_ && members_.instance.contains(name)) {
            node->kind = NodeKind::MemberName;
            node->a = pool_.make(NodeKind::This, node->line);
            return;
        }
        if (current_ && members_.statics.contains(name))
            return toMember(node, members_.statics.at(name), name);
        std::string path = resolve(name, current_);
        if (path != name)
            toMember(node, packageOf(path), shortName(path));
    }

    // Turns `node` into the member `name` of the dotted path `object`.
    void toMember(SyntaxNode* node, const std::string& object, const std::string& name)
    {
        SyntaxNode* chain = nullptr;
        std::size_t start = 0;
        for (;;) {
            std::size_t dot = object.find('.', start);
            std::string part = object.substr(start, dot == std::string::npos ? std::string::npos : dot - start);
            SyntaxNode* link = pool_.make(chain ? NodeKind::MemberName : NodeKind::Identifier, node->line);
            link->text = part;
            link->a = chain;
            chain = link;
            if (dot == std::string::npos)
                break;
            start = dot + 1;
        }
        node->kind = NodeKind::MemberName;
        node->a = chain;
        node->text = name;
    }

    orvet::NodePool& pool_;
    int lineOffset_;
    const std::set<std::string>& movieClasses_;
    std::map<std::string, SyntaxNode*> classes_; // by dotted name
    std::map<std::string, std::string> aliases_; // short name, dotted name
    std::vector<std::set<std::string>> scopes_;
    const SyntaxNode* current_ = nullptr; // the class whose functions are visited
    Members members_;
};

} // namespace

SyntaxNode* resolveClasses(SyntaxNode* topLevel, orvet::NodePool& pool, int lineOffset,
                           const std::set<std::string>& movieClasses)
{
    return Resolver(topLevel, pool, lineOffset, movieClasses).run(topLevel);
}

} // namespace lumbra::actionscript
