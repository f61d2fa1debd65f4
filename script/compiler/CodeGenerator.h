// Translates the syntax tree of a compilation into the instruction list of a
// stack machine: every function of the function list, then ".main".
#pragma once

#include <string>
#include <vector>

#include "script/compiler/Diagnostics.h"
#include "script/compiler/Instruction.h"
#include "script/compiler/ScopeStack.h"
#include "script/compiler/SyntaxNode.h"

namespace orvet {

class CodeGenerator {
public:
    // lastLine is the line of the parser's last token, where break and
    // continue errors are reported.
    CodeGenerator(Diagnostics& diagnostics, InstructionList& code, int lastLine);

    void generateFunction(const SyntaxNode* function);
    void generateMain(const SyntaxNode* statements);

private:
    // What break and continue may leave; one per loop, switch or labelled
    // statement, with a bottom entry for the whole compilation.
    struct JumpScope {
        int breakLabel = 0;
        int continueLabel = 0;
        std::string label;
        int pops = 0;      // values this statement keeps on the stack
        int withDepth = 0; // with statements open directly inside it
        int tryDepth = 0;  // try statements open directly inside it
    };

    enum class Storage { Parameter, Local, Global, Name };
    struct Reference {
        Storage storage;
        int slot = 0;
        std::string name;
    };

    // Emitting.
    Instruction& emit(Opcode op, int line);
    Instruction& emit(Opcode op, int line, std::int64_t number);
    Instruction& emit(Opcode op, int line, std::string name);
    Instruction& emit(Opcode op, int line, LiteralConstant literal);
    int newLabel();
    void placeLabel(int label);
    void emitJump(Opcode op, int label, int line);
    void emitJumpIfFalse(const SyntaxNode* condition, int label, int line);
    void emitJumpIfTrue(const SyntaxNode* condition, int label, int line);
    void emitInteger(std::int64_t value, int line);
    void emitCounted(Opcode op, int count, int line);
    void emitDropValues(int count, int line);
    void insertLocals(InstructionList::iterator prologueEnd, int count, int line);

    // Scopes.
    JumpScope& innermost() { return jumpScopes_.back(); }
    bool insideWith() const;
    Reference resolve(const std::string& name);
    void emitLoad(const Reference& ref, int line);
    void emitStore(const Reference& ref, int line);
    void buildArgumentsObject(const std::string& functionName, int slot, int line);

    // Statements.
    void statementList(const SyntaxNode* list);
    void statement(const SyntaxNode* s);
    void varStatement(const SyntaxNode* s);
    void ifStatement(const SyntaxNode* s);
    void whileStatement(const SyntaxNode* s);
    void doWhileStatement(const SyntaxNode* s);
    void forStatement(const SyntaxNode* s);
    void forInStatement(const SyntaxNode* s);
    void switchStatement(const SyntaxNode* s);
    void withStatement(const SyntaxNode* s);
    void labelledStatement(const SyntaxNode* s);
    void jumpStatement(const SyntaxNode* s);
    void returnStatement(const SyntaxNode* s);
    void tryStatement(const SyntaxNode* s);
    void catchClauses(const SyntaxNode* clauses, int join);
    void loopBody(const SyntaxNode* body, int breakLabel, int continueLabel, int pops = 0);

    // Expressions.
    void expression(const SyntaxNode* e);
    void leftChain(const SyntaxNode* e);
    void chainStep(const SyntaxNode* e);
    void conditional(const SyntaxNode* e);
    void unary(const SyntaxNode* e);
    void increment(const SyntaxNode* e, bool prefix);
    void assignment(const SyntaxNode* e);
    void call(const SyntaxNode* e);
    void construct(const SyntaxNode* e);
    void arrayLiteral(const SyntaxNode* e);
    void objectLiteral(const SyntaxNode* e);
    int pushArguments(const SyntaxNode* list, int line);
    // Loads and stores of assignable expressions; a store expects the value
    // on the stack below what the target pushes.
    void load(const SyntaxNode* target);
    void store(const SyntaxNode* target);
    void deleteOperand(const SyntaxNode* operand, int line);

    Diagnostics& diagnostics_;
    InstructionList& code_;
    int lastLine_;
    ScopeStack scopes_;
    std::vector<JumpScope> jumpScopes_;
    std::string loopLabel_; // the label of the loop about to open its scope
    int nextLabel_ = 1;
};

} // namespace orvet
