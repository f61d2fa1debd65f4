// The syntax tree of one compilation. Nodes live in the compilation's
// NodePool; lists (statements, arguments, elements, ...) are linked through
// `next`. Argument lists, array elements and object properties are linked in
// reverse source order; all other lists in source order.
#pragma once

#include <cstdint>
#include <deque>
#include <string>

namespace orvet {

enum class NodeKind : int {
    Comma = 0,          // a left, b right
    Assign = 1,         // op ('=' or a compound token), a target, b value
    Conditional = 2,    // a condition, b then, c else
    Logical = 3,        // op, a, b
    Bitwise = 4,
    Equality = 5,
    Relational = 6,
    Shift = 7,
    Multiplicative = 8,
    Additive = 9,
    This = 10,
    Null = 11,
    True = 12,
    False = 13,
    Identifier = 14,    // text
    Number = 15,        // number
    Integer = 16,       // integer
    String = 17,        // text
    Call = 18,          // a callee, b arguments, count
    MemberName = 19,    // a object, text name
    MemberIndex = 20,   // a object, b index
    New = 21,           // a constructor, b arguments, count
    Postfix = 26,       // op, a operand
    Unary = 27,         // op, a operand
    RegExp = 28,        // text pattern, integer flags
    ArrayLiteral = 29,  // a elements (holes are Empty), count
    ObjectLiteral = 30, // a properties (Empty: op key token, integer/text key, a value), count
    Block = 31,         // a statements
    NestedFunction = 32,// text enclosing internal name, text2 internal name, text3 source name
    Var = 33,           // a declarators, count, flag = stands at top level
    Empty = 34,         // also list items: elision, property, case clause, catch clause
    ExpressionStatement = 35, // a
    If = 36,            // a condition, b then, c else
    While = 37,         // a condition, b body
    For = 38,           // a declarators, b init, c condition, d update, e body, count
    ForIn = 39,         // a declarators, b target, c object, d body
    Continue = 40,      // text label
    Break = 41,         // text label
    Return = 42,        // a value
    With = 43,          // a object, b body; flag: ActionScript's tellTarget, on or onClipEvent
                        // (text), a its arguments (last first), count, b the block
    Try = 44,           // a body, b catch clauses (text variable, a guard, b body), c finally, line2 end
    Throw = 45,         // a value
    DoWhile = 46,       // a condition, b body
    Switch = 47,        // a discriminant, b clauses (a test or none, b statements), line2 closing brace
    Labelled = 48,      // text label, a statement
    Function = 49,      // text internal name, text2 source name, a parameters, b body, line2, flag uses "arguments"
    Undefined = 50,
    // ActionScript 2 only, at top level:
    Class = 51,         // text dotted name, text2 superclass, a interfaces (Identifier, dotted text), b members
                        // (Function: op member flags, text2 name, b absent when declared only; Var: op member
                        // flags), flag interface, op class flags
    Import = 52,        // text dotted name, flag ".*"
    Declarator = 254,   // text name, a initial value
};

// Operators whose chains lean left: a + b + c is ((a + b) + c). The left
// operand of such a node does not deepen the tree for the code generator,
// which walks the left spine in a loop.
constexpr bool isLeftChain(NodeKind kind)
{
    return kind == NodeKind::Comma || (kind >= NodeKind::Logical && kind <= NodeKind::Additive);
}

// The primary, member, call and new expressions (This ... New) and the
// literals that stand where they may: what an assignment or ++ accepts as
// its target syntactically (what is stored to is decided later).
constexpr bool isLeftHandSide(NodeKind kind)
{
    return (kind >= NodeKind::This && kind <= NodeKind::New) || kind == NodeKind::RegExp
           || kind == NodeKind::ArrayLiteral || kind == NodeKind::Undefined;
}

// Flags of an ActionScript 2 class (op of a Class node) and of its members.
namespace class_flag {
enum : int { Dynamic = 1, Intrinsic = 2 };
}
namespace member_flag {
enum : int { Static = 1, Getter = 2, Setter = 4 };
}

// Static type codes: the value kind a node is known to produce.
namespace static_type {
enum : int { Unknown = 0, Null = 1, Boolean = 2, Integer = 3, String = 4, Number = 5, Array = 6, Object = 7, RegExp = 11 };
}

struct SyntaxNode {
    NodeKind kind = NodeKind::Empty;
    int staticType = static_type::Unknown;
    int line = 0;
    int depth = 1; // height of the subtree, bounded to keep later recursion shallow
    int op = 0;
    SyntaxNode* a = nullptr;
    SyntaxNode* b = nullptr;
    SyntaxNode* c = nullptr;
    SyntaxNode* d = nullptr;
    SyntaxNode* e = nullptr;
    std::int64_t integer = 0;
    double number = 0;
    std::string text, text2, text3;
    int count = 0;
    int line2 = 0;
    bool flag = false;
    SyntaxNode* next = nullptr;
};

// Owns every node of a compilation; nodes never move once made.
class NodePool {
public:
    SyntaxNode* make(NodeKind kind, int line)
    {
        SyntaxNode& node = nodes_.emplace_back();
        node.kind = kind;
        node.line = line;
        return &node;
    }

private:
    std::deque<SyntaxNode> nodes_;
};

// Builds a list in source order.
struct NodeList {
    SyntaxNode* head = nullptr;
    SyntaxNode* tail = nullptr;
    int count = 0;

    void append(SyntaxNode* node)
    {
        (tail ? tail->next : head) = node;
        tail = node;
        ++count;
    }
};

} // namespace orvet
