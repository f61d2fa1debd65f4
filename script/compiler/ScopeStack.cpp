#include "script/compiler/ScopeStack.h"

#include <algorithm>

namespace orvet {

void ScopeStack::open()
{
    Scope scope;
    if (!scopes_.empty())
        scope.nextSlot = scopes_.back().nextSlot;
    scopes_.push_back(std::move(scope));
}

void ScopeStack::close()
{
    scopes_.pop_back();
}

void ScopeStack::declare(const std::string& name, VariableKind kind, int slot, int line)
{
    auto [it, inserted] = scopes_.back().names.try_emplace(name, Variable{kind, slot, line});
    if (!inserted && it->second.kind != kind)
        it->second = Variable{kind, slot, line};
}

void ScopeStack::declareParameter(const std::string& name, int slot, int line)
{
    declare(name, VariableKind::Parameter, slot, line);
}

int ScopeStack::declareLocal(const std::string& name, int line)
{
    Scope& scope = scopes_.back();
    auto it = scope.names.find(name);
    if (it != scope.names.end() && it->second.kind == VariableKind::Local)
        return it->second.slot;
    const int slot = scope.nextSlot++;
    localsUsed_ = std::max(localsUsed_, scope.nextSlot);
    declare(name, VariableKind::Local, slot, line);
    return slot;
}

const Variable* ScopeStack::lookup(const std::string& name)
{
    for (auto scope = scopes_.rbegin(); scope != scopes_.rend(); ++scope) {
        auto it = scope->names.find(name);
        if (it != scope->names.end()) {
            ++it->second.uses;
            return &it->second;
        }
    }
    return nullptr;
}

} // namespace orvet
