// ActionScript 2's declarations, read at the top level of a script:
//   import a.b.Name;  import a.b.*;
//   [dynamic] [intrinsic] class a.b.Name [extends Base] [implements I, J] { members }
//   [intrinsic] interface a.b.Name [extends I, J] { function f(x:T):T; ... }
// A member is a var declaration or a function (get/set accessor when "get"
// or "set" precedes its name), each after any of public, private and
// static. Interfaces and intrinsic classes declare functions without
// bodies. "interface", "dynamic" and "intrinsic" are plain identifiers
// elsewhere, so they start a declaration only at the top level.
#include "script/compiler/Parser.h"

namespace orvet {

namespace {

bool isWord(const Token& token, const char* word)
{
    return token.kind == tk::Identifier && token.text == word;
}

} // namespace

SyntaxNode* Parser::parseDeclaration()
{
    if (peek().kind == tk::Import)
        return parseImport();
    int flags = 0;
    for (;;) {
        if (isWord(peek(), "dynamic"))
            flags |= class_flag::Dynamic;
        else if (isWord(peek(), "intrinsic"))
            flags |= class_flag::Intrinsic;
        else
            break;
        consume();
    }
    if (peek().kind == tk::Class || isWord(peek(), "interface"))
        return parseClass(flags);
    if (flags)
        syntaxError("missing class after modifier");
    return nullptr;
}

SyntaxNode* Parser::parseImport()
{
    SyntaxNode* node = make(NodeKind::Import, consume().line);
    do {
        if (accept('*')) {
            node->flag = true;
            break;
        }
        if (peek().kind != tk::Identifier)
            syntaxError("missing name after import");
        node->text += (node->text.empty() ? "" : ".") + consume().text;
    } while (accept('.'));
    if (node->text.empty())
        syntaxError("missing name after import");
    expectSemicolon();
    return node;
}

NodeList Parser::parseTypeList()
{
    NodeList types;
    do {
        SyntaxNode* type = make(NodeKind::Identifier, peek().line);
        type->text = parseTypeName();
        types.append(type);
    } while (accept(','));
    return types;
}

SyntaxNode* Parser::parseClass(int flags)
{
    SyntaxNode* node = make(NodeKind::Class, peek().line);
    node->flag = peek().kind != tk::Class;
    consume();
    node->op = flags;
    node->text = parseTypeName();
    if (node->flag) {
        if (flags & class_flag::Dynamic)
            syntaxError("an interface cannot be dynamic");
        if (accept(tk::Extends))
            node->a = parseTypeList().head;
    } else {
        if (accept(tk::Extends))
            node->text2 = parseTypeName();
        if (isWord(peek(), "implements")) {
            consume();
            node->a = parseTypeList().head;
        }
    }
    expect('{', "missing { before class body");
    NodeList members;
    while (!accept('}')) {
        if (accept(';'))
            continue;
        members.append(parseClassMember(node->flag || (flags & class_flag::Intrinsic)));
    }
    node->b = members.head;
    node->count = members.count;
    return seal(node);
}

SyntaxNode* Parser::parseClassMember(bool bodyOptional)
{
    int flags = 0;
    while (isWord(peek(), "public") || isWord(peek(), "private") || isWord(peek(), "static"))
        if (consume().text == "static")
            flags |= member_flag::Static;
    if (peek().kind == tk::Var) {
        SyntaxNode* node = parseVar();
        node->op = flags;
        return node;
    }
    if (peek().kind != tk::Function)
        syntaxErrorAt(peek().line, "invalid class member");
    SyntaxNode* node = make(NodeKind::Function, consume().line);
    if (peek().kind != tk::Identifier)
        syntaxError("missing method name");
    node->text2 = consume().text;
    if ((node->text2 == "get" || node->text2 == "set") && peek().kind == tk::Identifier) {
        flags |= node->text2 == "get" ? member_flag::Getter : member_flag::Setter;
        node->text2 = consume().text;
    }
    node->op = flags;
    node->text = node->text2;
    return parseFunctionRest(node, bodyOptional);
}

} // namespace orvet
