// Turns the syntax tree of an ActionScript program into action records, in
// the forms the authoring tools of SWF 6-8 write: a constant pool ahead of
// the code, DefineFunction2 with locals in registers from version 7
// (DefineFunction before), Enumerate2 loops for for-in, StrictEquals chains
// for switch, Not/If pairs for conditions, and the built-in global functions
// (trace, gotoAndPlay, getURL ...) as their own actions.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "script/compiler/SyntaxNode.h"
#include "tools/actionscript/ActionEmitter.h"
#include "tools/actionscript/ConstantPool.h"
#include "tools/actionscript/FunctionFacts.h"

namespace lumbra::actionscript {

class CodeGenerator {
public:
    // version: the movie's version (5 and up); line numbers reported in errors
    // are the tree's plus lineOffset.
    CodeGenerator(int version, int lineOffset);

    // The records of a program: the pool, then its code, without a closing End.
    Bytes program(const orvet::SyntaxNode* statements);

private:
    // Where break and continue go from inside a loop, switch or label.
    struct Control {
        enum Kind { Loop, ForIn, Switch, Label } kind;
        std::string label; // the statement's label, if any
        ActionEmitter::Label breakTo;
        ActionEmitter::Label continueTo; // loops only
    };

    // One body of code being written: the program's or a function's.
    struct Body {
        explicit Body(ConstantPool& pool) : out(pool) {}
        ActionEmitter out;
        bool inFunction = false;
        std::map<std::string, std::uint8_t> registers; // locals and preloaded names
        int nextTemp = 1;  // register 0 is the scratch register
        int tempLimit = 4; // one past the last usable register
        int highest = 0;   // highest register used
        std::vector<Control> controls;
    };

    // A register held for a value across other code; freed in reverse order.
    class Temp {
    public:
        explicit Temp(CodeGenerator& generator, const orvet::SyntaxNode* where);
        ~Temp();
        Temp(const Temp&) = delete;
        Temp& operator=(const Temp&) = delete;
        std::uint8_t reg() const { return reg_; }

    private:
        Body& body_;
        std::uint8_t reg_;
    };

    [[noreturn]] void fail(const orvet::SyntaxNode* where, const std::string& message) const;
    ActionEmitter& out() { return body_->out; }
    Bytes finish(Body& body, const orvet::SyntaxNode* where);

    // Statements (StatementCode.cpp).
    void statements(const orvet::SyntaxNode* list);
    void statement(const orvet::SyntaxNode* node);
    void varStatement(const orvet::SyntaxNode* node);
    void ifStatement(const orvet::SyntaxNode* node);
    void loop(const orvet::SyntaxNode* node, const std::string& label);
    void forIn(const orvet::SyntaxNode* node, const std::string& label);
    void switchStatement(const orvet::SyntaxNode* node, const std::string& label);
    void labelled(const orvet::SyntaxNode* node);
    void jumpStatement(const orvet::SyntaxNode* node);
    void returnStatement(const orvet::SyntaxNode* node);
    void withStatement(const orvet::SyntaxNode* node);
    void tellTarget(const orvet::SyntaxNode* node);
    void tryStatement(const orvet::SyntaxNode* node);
    void typedCatches(const orvet::SyntaxNode* clauses);
    void endEnumeration();
    void condition(const orvet::SyntaxNode* node, ActionEmitter::Label whenFalse);

    // ActionScript 2 classes and interfaces (ClassCode.cpp).
    void classDeclaration(const orvet::SyntaxNode* node);
    void globalPath(const orvet::SyntaxNode* where, const std::vector<std::string>& parts, std::size_t count);
    void typeValue(const orvet::SyntaxNode* where, const std::string& dotted);
    template <class Define>
    void defineAtPath(const orvet::SyntaxNode* where, const std::vector<std::string>& parts, Define define);
    void implementsList(const orvet::SyntaxNode* faces, std::uint8_t constructor);
    void addProperty(const orvet::SyntaxNode* where, const orvet::SyntaxNode* accessor, std::uint8_t owner);

    // Functions (FunctionCode.cpp).
    void defineFunction(const orvet::SyntaxNode* function, bool asValue);
    // A body's statements, its named function declarations first.
    void functionBody(const orvet::SyntaxNode* list);

    // Expressions (ExpressionCode.cpp): expression() leaves one value,
    // effect() none.
    void expression(const orvet::SyntaxNode* node);
    void effect(const orvet::SyntaxNode* node);
    void literal(const orvet::SyntaxNode* node);
    void string(const orvet::SyntaxNode* where, const std::string& text);
    // Source text as the movie stores it; the character 0 cannot be stored.
    std::string movieString(const orvet::SyntaxNode* where, const std::string& text) const;
    void identifier(const orvet::SyntaxNode* node);
    void binaryChain(const orvet::SyntaxNode* node);
    void binaryOperator(const orvet::SyntaxNode* node);
    void logicalChain(const orvet::SyntaxNode* node);
    void conditional(const orvet::SyntaxNode* node);
    void unary(const orvet::SyntaxNode* node);
    void arrayLiteral(const orvet::SyntaxNode* node);
    void objectLiteral(const orvet::SyntaxNode* node);
    void member(const orvet::SyntaxNode* node); // object, then name or index
    int arguments(const orvet::SyntaxNode* list);
    void call(const orvet::SyntaxNode* node, bool wantValue);
    void construct(const orvet::SyntaxNode* node);
    void deleteOperator(const orvet::SyntaxNode* node);
    // Assignment, compound assignment and ++/-- (AssignmentCode.cpp).
    void assign(const orvet::SyntaxNode* node, bool wantValue);
    void update(const orvet::SyntaxNode* target, int op, bool prefix, bool wantValue);
    enum class Result { None, Old, New }; // what an update leaves: nothing, the old or the new value
    template <class Modify>
    void readModifyWrite(const orvet::SyntaxNode* target, Modify modify, Result result);
    void assignTo(const std::string& name, bool declare); // the value is in register 0
    std::optional<std::uint8_t> localRegister(const std::string& name) const;

    // The global functions that are actions of their own (BuiltinCalls.cpp);
    // false when `node` calls no such function. *pushed tells whether the
    // action leaves a value.
    bool builtinCall(const orvet::SyntaxNode* node, bool& pushed);

    int version_;
    int lineOffset_;
    ConstantPool pool_;
    Body* body_ = nullptr;
};

} // namespace lumbra::actionscript
