#include "script/compiler/Parser.h"

#include <algorithm>

namespace orvet {

namespace {

// Bounds on recursion: the parser's own (nested statements and expressions)
// and the height of the finished tree, which the code generator walks
// recursively. Beyond them the source is refused rather than overflowing the
// host stack.
constexpr int kMaxNesting = 200;
constexpr int kMaxTreeDepth = 1000;

bool isAssignable(const SyntaxNode* node)
{
    return isLeftHandSide(node->kind);
}

struct BinaryLevel {
    NodeKind kind;
    int operators[4];
};

// From the loosest binding to the tightest.
constexpr BinaryLevel kBinaryLevels[] = {
    {NodeKind::Logical, {tk::OrOr}},
    {NodeKind::Logical, {tk::AndAnd}},
    {NodeKind::Bitwise, {'|'}},
    {NodeKind::Bitwise, {'^'}},
    {NodeKind::Bitwise, {'&'}},
    {NodeKind::Equality, {tk::EqEq, tk::NotEq, tk::StrictEq, tk::StrictNotEq}},
    {NodeKind::Relational, {'<', '>', tk::LessEq, tk::GreaterEq}},
    {NodeKind::Shift, {tk::Shl, tk::Shr, tk::Ushr}},
    {NodeKind::Additive, {'+', '-'}},
    {NodeKind::Multiplicative, {'*', '/', '%'}},
};
constexpr int kBinaryLevelCount = static_cast<int>(std::size(kBinaryLevels));

bool isUnaryOperator(int kind)
{
    switch (kind) {
    case '!': case '+': case '-': case '~':
    case tk::Delete: case tk::Typeof: case tk::Void: case tk::PlusPlus: case tk::MinusMinus:
        return true;
    default:
        return false;
    }
}

// ActionScript's statements written as a call followed by a block.
bool isBlockCall(const std::string& name)
{
    return name == "tellTarget" || name == "onClipEvent" || name == "on";
}

std::string anonymousName(int number)
{
    return "@F_" + std::to_string(number);
}

} // namespace

class Parser::NestingGuard {
public:
    explicit NestingGuard(Parser& parser) : parser_(parser)
    {
        if (++parser_.nesting_ > kMaxNesting)
            parser_.syntaxError("nesting too deep");
    }
    ~NestingGuard() { --parser_.nesting_; }
    NestingGuard(const NestingGuard&) = delete;
    NestingGuard& operator=(const NestingGuard&) = delete;

private:
    Parser& parser_;
};

Parser::Parser(Lexer& lexer, Diagnostics& diagnostics, NodePool& pool, bool warnMissingSemicolon, bool actionScript)
    : lexer_(lexer), diagnostics_(diagnostics), pool_(pool), warnMissingSemicolon_(warnMissingSemicolon),
      actionScript_(actionScript)
{
}

const Token& Parser::peek()
{
    if (!hasLookahead_) {
        lookahead_ = lexer_.next();
        hasLookahead_ = true;
    }
    return lookahead_;
}

Token Parser::consume()
{
    peek();
    hasLookahead_ = false;
    lastLine_ = lookahead_.line;
    if (lookahead_.kind == tk::Identifier && lookahead_.text == "arguments")
        ++argumentsUses_;
    return std::move(lookahead_);
}

bool Parser::accept(int kind)
{
    if (peek().kind != kind)
        return false;
    consume();
    return true;
}

void Parser::syntaxError(const char* text)
{
    syntaxErrorAt(lastLine_, text);
}

void Parser::syntaxErrorAt(int line, const char* text)
{
    diagnostics_.error(line, "syntax error: %s", text);
}

void Parser::expect(int kind, const char* text)
{
    if (!accept(kind))
        syntaxError(text);
}

void Parser::expectSemicolon()
{
    if (accept(';'))
        return;
    const Token& next = peek();
    if (next.kind != '}' && next.kind != tk::End && next.line == lastLine_)
        diagnostics_.error(lastLine_, "missing ;");
    omitSemicolon();
}

void Parser::omitSemicolon()
{
    if (warnMissingSemicolon_)
        diagnostics_.warning(lastLine_, "missing ;");
    ++omittedSemicolons_;
}

SyntaxNode* Parser::make(NodeKind kind, int line)
{
    return pool_.make(kind, line);
}

// Records the height of a finished node as the code generator's recursion
// sees it; each child slot may hold a list. The left operand of a chain
// operator is reached in a loop, so it counts one level less.
SyntaxNode* Parser::seal(SyntaxNode* node)
{
    int height = 0;
    for (SyntaxNode* child : {node->a, node->b, node->c, node->d, node->e})
        for (; child; child = child->next)
            height = std::max(height, child->depth);
    node->depth = height + 1;
    if (isLeftChain(node->kind) && node->a)
        node->depth = std::max(node->a->depth, node->b ? node->b->depth + 1 : 1);
    if (node->depth > kMaxTreeDepth)
        syntaxError("nesting too deep");
    return node;
}

ParsedProgram Parser::parseProgram()
{
    NodeList topLevel;
    while (peek().kind != tk::End) {
        if (peek().kind == tk::Function) {
            SyntaxNode* function = parseFunction();
            if (actionScript_)
                topLevel.append(function);
            continue;
        }
        SyntaxNode* statement = actionScript_ ? parseDeclaration() : nullptr;
        if (!statement)
            statement = parseStatement();
        if (!statement)
            syntaxError("invalid statement");
        if (statement->kind == NodeKind::Var)
            statement->flag = true;
        topLevel.append(statement);
    }
    return ParsedProgram{std::move(functions_), topLevel.head};
}

// ActionScript 2's ": Type" after a variable, a parameter or a parameter
// list (a dotted name or Void) declares what the compiler may check; the code
// is the same without it.
void Parser::skipTypeAnnotation()
{
    if (actionScript_ && accept(':'))
        parseTypeName();
}

std::string Parser::parseTypeName()
{
    std::string name;
    do {
        if (peek().kind != tk::Identifier)
            syntaxError("missing type name");
        name += (name.empty() ? "" : ".") + consume().text;
    } while (accept('.'));
    return name;
}

// ---- Statements ----

SyntaxNode* Parser::parseStatement()
{
    NestingGuard guard(*this);
    switch (peek().kind) {
    case '{': return parseBlock();
    case tk::Function: return parseFunctionStatement();
    case tk::Var: return parseVar();
    case tk::If: return parseIf();
    case tk::Do: return parseDoWhile();
    case tk::While: return parseWhile();
    case tk::For: return parseFor();
    case tk::Continue: return parseJump(NodeKind::Continue);
    case tk::Break: return parseJump(NodeKind::Break);
    case tk::Return: return parseReturn();
    case tk::Switch: return parseSwitch();
    case tk::With: return parseWith();
    case tk::Try: return parseTry();
    case tk::Throw: return parseThrow();
    case ';': return make(NodeKind::Empty, consume().line);
    case tk::Class:
    case tk::Import:
        if (actionScript_)
            syntaxErrorAt(peek().line, "classes and imports belong at the top level");
        return parseExpressionStatement();
    default: return parseExpressionStatement();
    }
}

SyntaxNode* Parser::requireStatement(const char* text)
{
    SyntaxNode* statement = parseStatement();
    if (!statement)
        syntaxError(text);
    return statement;
}

SyntaxNode* Parser::parseBlock()
{
    const int line = consume().line;
    NodeList statements;
    while (!accept('}')) {
        SyntaxNode* statement = parseStatement();
        if (!statement)
            syntaxError("missing } after block");
        statements.append(statement);
    }
    if (!statements.head)
        return make(NodeKind::Empty, line);
    SyntaxNode* block = make(NodeKind::Block, line);
    block->a = statements.head;
    return seal(block);
}

// At top level a declaration only names a global function; inside a function
// it also becomes a property of the enclosing function.
SyntaxNode* Parser::parseFunctionStatement()
{
    const int line = peek().line;
    SyntaxNode* function = parseFunction();
    if (actionScript_)
        return function;
    if (functionNames_.empty() || function->text2.empty())
        return make(NodeKind::Empty, line);
    SyntaxNode* node = make(NodeKind::NestedFunction, line);
    node->text = functionNames_.back();
    node->text2 = function->text;
    node->text3 = function->text2;
    return node;
}

SyntaxNode* Parser::parseVar()
{
    const int line = consume().line;
    NodeList declarators = parseDeclarators();
    expectSemicolon();
    SyntaxNode* node = make(NodeKind::Var, line);
    node->a = declarators.head;
    node->count = declarators.count;
    return seal(node);
}

NodeList Parser::parseDeclarators()
{
    NodeList declarators;
    do {
        const Token& name = peek();
        if (name.kind != tk::Identifier) {
            if (!declarators.head)
                syntaxError("missing variable name");
            syntaxErrorAt(name.line, "illegal identifier");
        }
        SyntaxNode* declarator = make(NodeKind::Declarator, name.line);
        declarator->text = consume().text;
        skipTypeAnnotation();
        if (accept('=')) {
            declarator->a = parseAssignment();
            if (!declarator->a)
                syntaxError("invalid variable initialization");
        }
        declarators.append(seal(declarator));
    } while (accept(','));
    return declarators;
}

SyntaxNode* Parser::parseCondition(const char* before, const char* invalid, const char* after)
{
    expect('(', before);
    SyntaxNode* condition = parseExpression();
    if (!condition)
        syntaxError(invalid);
    expect(')', after);
    return condition;
}

SyntaxNode* Parser::parseIf()
{
    SyntaxNode* node = make(NodeKind::If, consume().line);
    node->a = parseCondition("missing ( before condition", "invalid condition expression", "missing ) after condition");
    node->b = requireStatement("invalid statement");
    if (accept(tk::Else))
        node->c = requireStatement("invalid statement");
    return seal(node);
}

SyntaxNode* Parser::parseDoWhile()
{
    SyntaxNode* node = make(NodeKind::DoWhile, consume().line);
    node->b = requireStatement("invalid statement");
    expect(tk::While, "missing while after do-loop body");
    node->a = parseCondition("missing ( before condition", "invalid condition expression", "missing ) after condition");
    expectSemicolon();
    return seal(node);
}

SyntaxNode* Parser::parseWhile()
{
    SyntaxNode* node = make(NodeKind::While, consume().line);
    node->a = parseCondition("missing ( before condition", "invalid condition expression", "missing ) after condition");
    node->b = requireStatement("invalid statement");
    return seal(node);
}

SyntaxNode* Parser::parseFor()
{
    const int line = consume().line;
    expect('(', "missing ( after for");
    NodeList declarators;
    SyntaxNode* init = nullptr;
    if (accept(tk::Var)) {
        declarators = parseDeclarators();
    } else if (peek().kind != ';') {
        init = parseExpression();
        if (!init)
            syntaxError("invalid for-loop initializer or for-in expression");
    }
    if (accept(tk::In)) {
        if (declarators.count > 1)
            syntaxError("more than one variable declaration");
        if (init && init->kind != NodeKind::Identifier)
            syntaxError("illegal identifier");
        SyntaxNode* node = make(NodeKind::ForIn, line);
        node->a = declarators.head;
        node->b = init;
        node->c = requireExpression("invalid expression");
        expect(')', "missing ) after for-loop control");
        node->d = requireStatement("invalid statement");
        return seal(node);
    }
    SyntaxNode* node = make(NodeKind::For, line);
    node->a = declarators.head;
    node->count = declarators.count;
    node->b = init;
    expect(';', "missing ; after for-loop initializer");
    if (peek().kind != ';' && !(node->c = parseExpression()))
        syntaxError("invalid for-loop condition expression");
    expect(';', "missing ; after for-loop condition");
    if (peek().kind != ')' && !(node->d = parseExpression()))
        syntaxError("invalid for-loop control expression");
    expect(')', "missing ) after for-loop control");
    node->e = requireStatement("invalid statement");
    return seal(node);
}

// continue and break take a label only on their own line.
SyntaxNode* Parser::parseJump(NodeKind kind)
{
    SyntaxNode* node = make(kind, consume().line);
    if (peek().kind == tk::Identifier && peek().line == node->line)
        node->text = consume().text;
    expectSemicolon();
    return node;
}

SyntaxNode* Parser::parseReturn()
{
    SyntaxNode* node = make(NodeKind::Return, consume().line);
    if (accept(';'))
        return node;
    if (peek().line != node->line) {
        omitSemicolon();
        return node;
    }
    node->a = parseExpression();
    if (!node->a)
        syntaxError("invalid return");
    expectSemicolon();
    return seal(node);
}

SyntaxNode* Parser::parseSwitch()
{
    SyntaxNode* node = make(NodeKind::Switch, consume().line);
    expect('(', "missing ( before switch expression");
    node->a = requireExpression("invalid switch expression");
    expect(')', "missing ) after switch expression");
    expect('{', "missing { before switch body");
    NodeList clauses;
    int defaults = 0;
    for (;;) {
        const Token& token = peek();
        if (token.kind == '}')
            break;
        if (token.kind != tk::Case && token.kind != tk::Default)
            syntaxErrorAt(token.line, "missing } after switch block");
        SyntaxNode* clause = make(NodeKind::Empty, token.line);
        if (consume().kind == tk::Case)
            clause->a = requireExpression("invalid case expression");
        else
            ++defaults;
        if (!accept(':'))
            syntaxErrorAt(peek().line, "missing : after case label");
        NodeList statements;
        while (peek().kind != tk::Case && peek().kind != tk::Default && peek().kind != '}') {
            SyntaxNode* statement = parseStatement();
            if (!statement)
                syntaxErrorAt(peek().line, "missing } after switch block");
            statements.append(statement);
        }
        clause->b = statements.head;
        clauses.append(seal(clause));
    }
    node->line2 = consume().line;
    if (defaults > 1)
        diagnostics_.error(lastLine_, "more than one switch default");
    node->b = clauses.head;
    return seal(node);
}

SyntaxNode* Parser::parseWith()
{
    SyntaxNode* node = make(NodeKind::With, consume().line);
    expect('(', "missing ( before with-statement object");
    node->a = requireExpression("invalid with-statement object");
    expect(')', "missing ) after with-statement object");
    node->b = requireStatement("invalid with block");
    return seal(node);
}

SyntaxNode* Parser::parseTry()
{
    SyntaxNode* node = make(NodeKind::Try, consume().line);
    node->a = requireStatement("invalid statement");
    NodeList clauses;
    while (peek().kind == tk::Catch) {
        SyntaxNode* clause = make(NodeKind::Empty, consume().line);
        expect('(', "missing ( before catch");
        if (peek().kind != tk::Identifier)
            syntaxErrorAt(peek().line, "missing identifier in catch");
        clause->text = consume().text;
        if (actionScript_ && accept(':'))
            clause->text2 = parseTypeName();
        else if (accept(tk::If))
            clause->a = requireExpression("invalid statement");
        expect(')', "missing ) after catch");
        clause->b = requireStatement("invalid statement");
        clauses.append(seal(clause));
    }
    if (accept(tk::Finally))
        node->c = requireStatement("invalid statement");
    else if (!clauses.head)
        syntaxErrorAt(peek().line, "missing catch or finally after try");
    node->b = clauses.head;
    node->line2 = lastLine_;
    return seal(node);
}

SyntaxNode* Parser::parseThrow()
{
    SyntaxNode* node = make(NodeKind::Throw, consume().line);
    node->a = requireExpression("invalid throw");
    expectSemicolon();
    return seal(node);
}

SyntaxNode* Parser::parseExpressionStatement()
{
    const int line = peek().line;
    SyntaxNode* expression = parseExpression();
    if (!expression)
        return nullptr;
    if (expression->kind == NodeKind::Identifier && peek().kind == ':' && peek().line == expression->line) {
        consume();
        SyntaxNode* node = make(NodeKind::Labelled, line);
        node->text = expression->text;
        node->a = requireStatement("invalid label");
        return seal(node);
    }
    if (actionScript_ && expression->kind == NodeKind::Call && expression->a->kind == NodeKind::Identifier
        && isBlockCall(expression->a->text) && peek().kind == '{') {
        SyntaxNode* node = make(NodeKind::With, line);
        node->flag = true;
        node->text = expression->a->text;
        node->a = expression->b;
        node->count = expression->count;
        node->b = parseBlock();
        return seal(node);
    }
    expectSemicolon();
    SyntaxNode* node = make(NodeKind::ExpressionStatement, line);
    node->a = expression;
    return seal(node);
}

// function [name] ( [params] ) { body }: appended to the function list.
SyntaxNode* Parser::parseFunction()
{
    NestingGuard guard(*this);
    SyntaxNode* node = make(NodeKind::Function, consume().line);
    if (peek().kind == tk::Identifier)
        node->text2 = consume().text;
    node->text = (node->text2.empty() || !functionNames_.empty()) ? anonymousName(anonymousFunctions_++) : node->text2;
    return parseFunctionRest(node, false);
}

SyntaxNode* Parser::parseFunctionRest(SyntaxNode* node, bool bodyOptional)
{
    const int argumentsBefore = argumentsUses_;
    expect('(', "missing ( before formal parameters");
    NodeList parameters;
    if (!accept(')')) {
        for (;;) {
            if (peek().kind != tk::Identifier)
                syntaxError("illegal identifier");
            SyntaxNode* parameter = make(NodeKind::Identifier, peek().line);
            parameter->text = consume().text;
            skipTypeAnnotation();
            parameters.append(parameter);
            if (accept(')'))
                break;
            if (!accept(','))
                syntaxError("missing ) after formal parameters");
        }
    }
    node->a = parameters.head;
    node->count = parameters.count;
    skipTypeAnnotation();
    if (bodyOptional && accept(';'))
        return seal(node);
    if (peek().kind != '{')
        syntaxError("invalid function body");
    node->line2 = peek().line;
    functionNames_.push_back(node->text);
    node->b = parseBlock();
    functionNames_.pop_back();
    node->flag = argumentsUses_ != argumentsBefore;
    functions_.push_back(seal(node));
    return node;
}

// ---- Expressions ----

SyntaxNode* Parser::parseExpression()
{
    SyntaxNode* left = parseAssignment();
    while (left && peek().kind == ',') {
        SyntaxNode* node = make(NodeKind::Comma, consume().line);
        node->a = left;
        node->b = parseAssignment();
        if (!node->b)
            syntaxError("invalid expression");
        left = seal(node);
    }
    return left;
}

SyntaxNode* Parser::requireExpression(const char* text)
{
    SyntaxNode* expression = parseExpression();
    if (!expression)
        syntaxError(text);
    return expression;
}

SyntaxNode* Parser::parseAssignment()
{
    NestingGuard guard(*this);
    SyntaxNode* target = parseConditional();
    if (!target || !isAssignable(target))
        return target;
    const int op = peek().kind;
    if (op != '=' && !isCompoundAssignment(op))
        return target;
    SyntaxNode* node = make(NodeKind::Assign, consume().line);
    node->op = op;
    node->a = target;
    if (op == '=' && peek().kind == tk::Function && !actionScript_) {
        // The one place a function may stand in an expression: it is hoisted
        // and the value is its (internal) name.
        SyntaxNode* function = parseFunction();
        node->b = make(NodeKind::Identifier, function->line);
        node->b->text = function->text;
    } else {
        node->b = parseAssignment();
        if (!node->b)
            syntaxError("invalid expression");
    }
    node->staticType = node->b->staticType;
    return seal(node);
}

SyntaxNode* Parser::parseConditional()
{
    SyntaxNode* condition = parseBinary(0);
    if (!condition || peek().kind != '?')
        return condition;
    SyntaxNode* node = make(NodeKind::Conditional, consume().line);
    node->a = condition;
    if (!(node->b = parseAssignment()))
        syntaxError("invalid expression");
    expect(':', "missing : in conditional expression");
    if (!(node->c = parseAssignment()))
        syntaxError("invalid expression");
    return seal(node);
}

SyntaxNode* Parser::parseBinary(int level)
{
    if (level == kBinaryLevelCount)
        return parseUnary();
    const BinaryLevel& binary = kBinaryLevels[level];
    SyntaxNode* left = parseBinary(level + 1);
    for (;;) {
        const bool instanceOf = actionScript_ && binary.kind == NodeKind::Relational && peek().kind == tk::Identifier
                                && peek().text == "instanceof";
        if (!left || (!instanceOf && std::ranges::find(binary.operators, peek().kind) == std::end(binary.operators)))
            break;
        SyntaxNode* node = make(binary.kind, peek().line);
        node->op = instanceOf ? tk::InstanceOf : peek().kind;
        consume();
        node->a = left;
        node->b = parseBinary(level + 1);
        if (!node->b)
            syntaxError("invalid expression");
        if (binary.kind == NodeKind::Equality || binary.kind == NodeKind::Relational
            || (binary.kind == NodeKind::Logical && node->a->staticType == static_type::Boolean
                && node->b->staticType == static_type::Boolean))
            node->staticType = static_type::Boolean;
        left = seal(node);
    }
    return left;
}

SyntaxNode* Parser::parseUnary()
{
    if (!isUnaryOperator(peek().kind))
        return parsePostfix();
    NestingGuard guard(*this);
    SyntaxNode* node = make(NodeKind::Unary, peek().line);
    node->op = consume().kind;
    node->a = parseUnary();
    if (!node->a)
        syntaxError("invalid expression");
    return seal(node);
}

// A "++" or "--" on a later line belongs to the next statement.
SyntaxNode* Parser::parsePostfix()
{
    SyntaxNode* operand = parseCall();
    if (!operand)
        return nullptr;
    const Token& next = peek();
    if ((next.kind != tk::PlusPlus && next.kind != tk::MinusMinus) || next.line != lastLine_)
        return operand;
    SyntaxNode* node = make(NodeKind::Postfix, next.line);
    node->op = consume().kind;
    node->a = operand;
    return seal(node);
}

SyntaxNode* Parser::parseCall()
{
    SyntaxNode* callee = parseMember();
    if (!callee || peek().kind != '(')
        return callee;
    return parseSelectors(callee, true);
}

SyntaxNode* Parser::parseMember()
{
    if (peek().kind != tk::New) {
        SyntaxNode* primary = parsePrimary();
        return primary ? parseSelectors(primary, false) : nullptr;
    }
    NestingGuard guard(*this);
    SyntaxNode* node = make(NodeKind::New, consume().line);
    node->a = parseMember();
    if (!node->a)
        syntaxError("invalid expression");
    if (peek().kind == '(')
        parseArguments(node);
    return parseSelectors(seal(node), false);
}

// Member selectors ("[...]", ".name") and, when calls is set, argument lists.
SyntaxNode* Parser::parseSelectors(SyntaxNode* object, bool calls)
{
    for (;;) {
        const int kind = peek().kind;
        if (kind == '(' && calls) {
            SyntaxNode* call = make(NodeKind::Call, peek().line);
            call->a = object;
            object = parseArguments(call);
        } else if (kind == '[') {
            SyntaxNode* node = make(NodeKind::MemberIndex, consume().line);
            node->a = object;
            node->b = parseExpression();
            if (!node->b || !accept(']'))
                syntaxError("missing ] in index expression");
            object = seal(node);
        } else if (kind == '.') {
            SyntaxNode* node = make(NodeKind::MemberName, consume().line);
            if (peek().kind != tk::Identifier)
                syntaxError("illegal identifier");
            node->a = object;
            node->text = consume().text;
            object = seal(node);
        } else {
            return object;
        }
    }
}

// ( [arg {, arg}] ): arguments linked in reverse source order.
SyntaxNode* Parser::parseArguments(SyntaxNode* call)
{
    consume();
    if (!accept(')')) {
        for (;;) {
            SyntaxNode* argument = parseAssignment();
            if (!argument) {
                if (call->count > 0)
                    syntaxError("invalid expression");
                syntaxErrorAt(peek().line, "missing ) after argument list");
            }
            argument->next = call->b;
            call->b = argument;
            ++call->count;
            if (accept(')'))
                break;
            if (!accept(','))
                syntaxErrorAt(peek().line, "missing ) after argument list");
        }
    }
    return seal(call);
}

SyntaxNode* Parser::parsePrimary()
{
    const Token& token = peek();
    const int line = token.line;
    SyntaxNode* node = nullptr;
    switch (token.kind) {
    case '(': {
        consume();
        node = parseExpression();
        if (!node || !accept(')'))
            syntaxError("invalid expression");
        return node;
    }
    case '/': {
        consume();
        RegExpLiteral literal = lexer_.readRegExp();
        node = make(NodeKind::RegExp, line);
        node->text = std::move(literal.pattern);
        node->integer = literal.flags;
        node->staticType = static_type::RegExp;
        return node;
    }
    case '[': return parseArrayLiteral(consume().line);
    case '{': return parseObjectLiteral(consume().line);
    case tk::Integer:
        node = make(NodeKind::Integer, line);
        node->integer = token.integer;
        node->staticType = static_type::Integer;
        break;
    case tk::Number:
        node = make(NodeKind::Number, line);
        node->number = token.number;
        node->staticType = static_type::Number;
        break;
    case tk::String:
        node = make(NodeKind::String, line);
        node->text = token.text;
        node->staticType = static_type::String;
        break;
    case tk::Identifier:
        node = make(NodeKind::Identifier, line);
        node->text = token.text;
        break;
    case tk::This: node = make(NodeKind::This, line); break;
    case tk::Null:
        node = make(NodeKind::Null, line);
        node->staticType = static_type::Null;
        break;
    case tk::True:
    case tk::False:
        node = make(token.kind == tk::True ? NodeKind::True : NodeKind::False, line);
        node->staticType = static_type::Boolean;
        break;
    case tk::Undefined: node = make(NodeKind::Undefined, line); break;
    case tk::Function:
        if (!actionScript_)
            return nullptr;
        return parseFunction();
    case tk::Super:
        if (!actionScript_)
            return nullptr;
        node = make(NodeKind::Identifier, line);
        node->text = "super";
        break;
    default:
        return nullptr;
    }
    consume();
    return node;
}

// Elements linked in reverse order; a "," after "[" or another "," is a
// hole, and a "," just before "]" adds one more hole at the end.
SyntaxNode* Parser::parseArrayLiteral(int line)
{
    SyntaxNode* node = make(NodeKind::ArrayLiteral, line);
    node->staticType = static_type::Array;
    auto push = [node](SyntaxNode* element) {
        element->next = node->a;
        node->a = element;
        ++node->count;
    };
    bool afterSeparator = true;
    bool lastWasComma = false;
    for (;;) {
        const Token& token = peek();
        if (token.kind == ']') {
            if (lastWasComma)
                push(make(NodeKind::Empty, token.line));
            consume();
            return seal(node);
        }
        if (token.kind == ',') {
            if (afterSeparator)
                push(make(NodeKind::Empty, token.line));
            consume();
            afterSeparator = lastWasComma = true;
            continue;
        }
        SyntaxNode* element = parseAssignment();
        if (!element)
            syntaxError("missing ] after element list");
        push(element);
        afterSeparator = lastWasComma = false;
        if (peek().kind != ',' && peek().kind != ']')
            syntaxError("missing ] after element list");
    }
}

// Properties linked in reverse order; each is an Empty node with the key's
// token kind in op, the key in integer or text and the value in a.
SyntaxNode* Parser::parseObjectLiteral(int line)
{
    SyntaxNode* node = make(NodeKind::ObjectLiteral, line);
    node->staticType = static_type::Object;
    while (!accept('}')) {
        const Token& key = peek();
        if (key.kind != tk::Integer && key.kind != tk::String && key.kind != tk::Identifier)
            syntaxErrorAt(key.line, "invalid property id");
        SyntaxNode* property = make(NodeKind::Empty, key.line);
        property->op = key.kind;
        property->integer = key.integer;
        property->text = consume().text;
        expect(':', "missing : after property id");
        property->a = parseAssignment();
        if (!property->a)
            syntaxError("invalid expression");
        property->next = node->a;
        node->a = seal(property);
        ++node->count;
        if (accept(','))
            continue;
        if (peek().kind != '}')
            syntaxErrorAt(peek().line, "missing } after property list");
    }
    return seal(node);
}

} // namespace orvet
