// Recursive-descent parser with one token of look-ahead. It builds the syntax
// tree of a compilation and collects the list of every function (nested and
// anonymous ones hoisted, inner functions before the function around them)
// and the list of top-level statements. The first syntax error ends the
// compilation.
#pragma once

#include <string>
#include <vector>

#include "script/compiler/Diagnostics.h"
#include "script/compiler/Lexer.h"
#include "script/compiler/SyntaxNode.h"

namespace orvet {

struct ParsedProgram {
    std::vector<SyntaxNode*> functions; // Function nodes, in order of completion
    SyntaxNode* topLevel = nullptr;     // statement list of ".main"
};

class Parser {
public:
    // With actionScript set the parser also reads what ActionScript adds:
    // function expressions anywhere an expression may stand and function
    // declarations left in place (both as Function nodes in the tree, the
    // declarations also in the top-level list), "super" (an Identifier) and
    // the instanceof operator (a Relational node, op tk::InstanceOf),
    // tellTarget, on and onClipEvent (...) { ... } (With nodes with flag
    // set and the word in text); type
    // annotations (": Number") are read and dropped, except a catch clause's
    // type (text2 of the clause), several of which may follow one try; at top
    // level, ActionScript 2's import, class and interface declarations
    // (ClassParser.cpp).
    Parser(Lexer& lexer, Diagnostics& diagnostics, NodePool& pool, bool warnMissingSemicolon,
           bool actionScript = false);

    ParsedProgram parseProgram();

    // Line of the last consumed token; after parsing, that of the last token.
    int lastLine() const { return lastLine_; }
    int omittedSemicolons() const { return omittedSemicolons_; }

private:
    class NestingGuard;

    const Token& peek();
    Token consume();
    bool accept(int kind);
    [[noreturn]] void syntaxError(const char* text);
    [[noreturn]] void syntaxErrorAt(int line, const char* text);
    void expect(int kind, const char* text);
    void expectSemicolon();
    void omitSemicolon();
    SyntaxNode* make(NodeKind kind, int line);
    void skipTypeAnnotation();
    SyntaxNode* seal(SyntaxNode* node);

    // Statements: nullptr when the look-ahead cannot start one.
    SyntaxNode* parseStatement();
    SyntaxNode* requireStatement(const char* text);
    SyntaxNode* parseBlock();
    SyntaxNode* parseFunctionStatement();
    SyntaxNode* parseVar();
    NodeList parseDeclarators();
    SyntaxNode* parseIf();
    SyntaxNode* parseDoWhile();
    SyntaxNode* parseWhile();
    SyntaxNode* parseFor();
    SyntaxNode* parseJump(NodeKind kind);
    SyntaxNode* parseReturn();
    SyntaxNode* parseSwitch();
    SyntaxNode* parseWith();
    SyntaxNode* parseTry();
    SyntaxNode* parseThrow();
    SyntaxNode* parseExpressionStatement();
    SyntaxNode* parseCondition(const char* before, const char* invalid, const char* after);
    SyntaxNode* parseFunction();
    // Parameters, result type and body of a function whose name is read;
    // without a body (bodyOptional) a ";" ends it.
    SyntaxNode* parseFunctionRest(SyntaxNode* node, bool bodyOptional);
    std::string parseTypeName();

    // ActionScript 2 declarations (ClassParser.cpp); nullptr when the
    // look-ahead starts none.
    SyntaxNode* parseDeclaration();
    SyntaxNode* parseImport();
    SyntaxNode* parseClass(int flags);
    SyntaxNode* parseClassMember(bool bodyOptional);
    NodeList parseTypeList();

    // Expressions: nullptr when the look-ahead cannot start one.
    SyntaxNode* parseExpression();
    SyntaxNode* requireExpression(const char* text);
    SyntaxNode* parseAssignment();
    SyntaxNode* parseConditional();
    SyntaxNode* parseBinary(int level);
    SyntaxNode* parseUnary();
    SyntaxNode* parsePostfix();
    SyntaxNode* parseCall();
    SyntaxNode* parseMember();
    SyntaxNode* parseSelectors(SyntaxNode* object, bool calls);
    SyntaxNode* parseArguments(SyntaxNode* call);
    SyntaxNode* parsePrimary();
    SyntaxNode* parseArrayLiteral(int line);
    SyntaxNode* parseObjectLiteral(int line);

    Lexer& lexer_;
    Diagnostics& diagnostics_;
    NodePool& pool_;
    bool warnMissingSemicolon_;
    bool actionScript_;

    Token lookahead_;
    bool hasLookahead_ = false;
    int lastLine_ = 0;
    int argumentsUses_ = 0;
    int omittedSemicolons_ = 0;
    int anonymousFunctions_ = 0;
    int nesting_ = 0;
    std::vector<std::string> functionNames_;
    std::vector<SyntaxNode*> functions_;
};

} // namespace orvet
