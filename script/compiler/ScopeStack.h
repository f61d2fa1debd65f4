// Variable scopes of the function being compiled. Every block, for, for-in
// and catch clause opens a scope that starts numbering locals where its
// enclosing scope stands, so sibling scopes share slots once closed.
#pragma once

#include <string>
#include <unordered_map>
#include <vector>

namespace orvet {

enum class VariableKind { Parameter = 1, Local = 2 };

struct Variable {
    VariableKind kind;
    int slot;
    int line;
    int uses = 0;
};

class ScopeStack {
public:
    void open();
    void close();
    bool empty() const { return scopes_.empty(); }

    // Parameters are frame slots 2, 3, ... given by the caller.
    void declareParameter(const std::string& name, int slot, int line);
    // Locals take the next free slot of the innermost scope; redeclaring a
    // local of the same scope keeps its slot.
    int declareLocal(const std::string& name, int line);

    // The innermost declaration, or nullptr; counts a use.
    const Variable* lookup(const std::string& name);

    // One more than the highest local slot handed out since the last reset.
    int localsUsed() const { return localsUsed_; }
    void resetLocalsUsed() { localsUsed_ = 0; }

private:
    struct Scope {
        std::unordered_map<std::string, Variable> names;
        int nextSlot = 0;
    };

    void declare(const std::string& name, VariableKind kind, int slot, int line);

    std::vector<Scope> scopes_;
    int localsUsed_ = 0;
};

} // namespace orvet
