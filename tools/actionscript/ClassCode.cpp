// ActionScript 2 classes and interfaces, written as the authoring tool writes
// them (names already settled by ClassResolution):
//   if (!_global.a) _global.a = new Object();        (each package level)
//   if (!_global.a.C) {
//       R1 = _global.a.C = function (...) { constructor };
//       R1 extends Base;                               (Extends)
//       R2 = R1.prototype;
//       R2.method = function ...; R1.staticMethod = function ...;
//       R2.__get__x = function ...; R2.__set__x = function ...;
//       R2.initialisedVar = value; R1.staticVar = value;  (source order)
//       R2.addProperty("x", R2.__get__x, R2.__set__x);   (function () {} for a missing half)
//       R1 implements I, J;                            (ImplementsOp)
//       ASSetPropFlags(_global.a.C.prototype, null, 1);
//   }
// An interface is an empty function at its path, implementing the
// interfaces it extends. Intrinsic classes and imports write nothing.
#include "tools/actionscript/CodeGenerator.h"

#include <vector>

namespace lumbra::actionscript {

using orvet::NodeKind;
using orvet::SyntaxNode;
namespace member_flag = orvet::member_flag;

namespace {

std::vector<std::string> partsOf(const std::string& dotted)
{
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (;;) {
        std::size_t dot = dotted.find('.', start);
        parts.push_back(dotted.substr(start, dot == std::string::npos ? std::string::npos : dot - start));
        if (dot == std::string::npos)
            return parts;
        start = dot + 1;
    }
}

std::string accessorName(const SyntaxNode* member)
{
    if (member->op & member_flag::Getter)
        return "__get__" + member->text2;
    if (member->op & member_flag::Setter)
        return "__set__" + member->text2;
    return member->text2;
}

} // namespace

// _global.a.b...: the first `count` parts of `parts`.
void CodeGenerator::globalPath(const SyntaxNode* where, const std::vector<std::string>& parts, std::size_t count)
{
    string(where, "_global");
    out().op(Action::GetVariable);
    for (std::size_t i = 0; i < count; ++i) {
        string(where, parts[i]);
        out().op(Action::GetMember);
    }
}

// A dotted name as code reads it: the first part by name, the rest members.
void CodeGenerator::typeValue(const SyntaxNode* where, const std::string& dotted)
{
    const auto parts = partsOf(dotted);
    string(where, parts[0]);
    out().op(Action::GetVariable);
    for (std::size_t i = 1; i < parts.size(); ++i) {
        string(where, parts[i]);
        out().op(Action::GetMember);
    }
}

// Defines each package level of `parts` that is absent; then, when the last
// part is absent too, `define` runs with _global.(parent) and the last
// part's name pushed, to leave the value to store there.
template <class Define>
void CodeGenerator::defineAtPath(const SyntaxNode* where, const std::vector<std::string>& parts, Define define)
{
    for (std::size_t level = 1; level <= parts.size(); ++level) {
        auto present = out().newLabel();
        globalPath(where, parts, level);
        out().branchIf(present);
        globalPath(where, parts, level - 1);
        string(where, parts[level - 1]);
        if (level < parts.size()) {
            out().pushNumber(0);
            string(where, "Object");
            out().op(Action::NewObject);
            out().op(Action::SetMember);
        } else {
            define();
        }
        out().place(present);
    }
}

void CodeGenerator::implementsList(const SyntaxNode* faces, std::uint8_t constructor)
{
    int count = 0;
    for (const SyntaxNode* face = faces; face; face = face->next, ++count)
        typeValue(face, face->text);
    if (!count)
        return;
    out().pushNumber(count);
    out().pushRegister(constructor);
    out().op(Action::ImplementsOp);
}

void CodeGenerator::classDeclaration(const SyntaxNode* node)
{
    if (node->op & orvet::class_flag::Intrinsic)
        return;
    const auto parts = partsOf(node->text);
    const SyntaxNode empty; // function () {}
    if (node->flag) {
        defineAtPath(node, parts, [&] {
            Temp face(*this, node);
            defineFunction(&empty, true);
            out().storeRegister(face.reg());
            out().op(Action::SetMember);
            implementsList(node->a, face.reg());
        });
        return;
    }
    const SyntaxNode* constructor = nullptr;
    for (const SyntaxNode* member = node->b; member && !constructor; member = member->next)
        if (member->kind == NodeKind::Function && !(member->op & member_flag::Static)
            && member->text2 == parts.back())
            constructor = member;

    defineAtPath(node, parts, [&] {
        Temp type(*this, node), prototype(*this, node);
        defineFunction(constructor, true);
        out().storeRegister(type.reg());
        out().op(Action::SetMember);
        if (!node->text2.empty()) {
            out().pushRegister(type.reg());
            typeValue(node, node->text2);
            out().op(Action::Extends);
        }
        out().pushRegister(type.reg());
        string(node, "prototype");
        out().op(Action::GetMember);
        out().storeRegister(prototype.reg());
        out().op(Action::Pop);

        std::vector<const SyntaxNode*> accessors; // the first of each property's pair
        for (const SyntaxNode* member = node->b; member; member = member->next) {
            if (member == constructor)
                continue;
            const std::uint8_t owner = (member->op & member_flag::Static) ? type.reg() : prototype.reg();
            if (member->kind == NodeKind::Var) {
                for (const SyntaxNode* declarator = member->a; declarator; declarator = declarator->next) {
                    if (!declarator->a)
                        continue;
                    out().pushRegister(owner);
                    string(declarator, declarator->text);
                    expression(declarator->a);
                    out().op(Action::SetMember);
                }
                continue;
            }
            out().pushRegister(owner);
            string(member, accessorName(member));
            defineFunction(member, true);
            out().op(Action::SetMember);
            if (member->op & (member_flag::Getter | member_flag::Setter)) {
                bool known = false;
                for (const SyntaxNode* seen : accessors)
                    known = known || (seen->text2 == member->text2 && ((seen->op ^ member->op) & member_flag::Static) == 0);
                if (!known)
                    accessors.push_back(member);
            }
        }
        for (const SyntaxNode* accessor : accessors)
            addProperty(node, accessor, accessor->op & member_flag::Static ? type.reg() : prototype.reg());
        implementsList(node->a, type.reg());

        out().pushNumber(1);
        out().pushNull();
        globalPath(node, parts, parts.size());
        string(node, "prototype");
        out().op(Action::GetMember);
        out().pushNumber(3);
        string(node, "ASSetPropFlags");
        out().op(Action::CallFunction);
        out().op(Action::Pop);
    });
}

// owner.addProperty(name, owner.__get__name, owner.__set__name), an empty
// function standing for a half the class leaves out.
void CodeGenerator::addProperty(const SyntaxNode* where, const SyntaxNode* accessor, std::uint8_t owner)
{
    const SyntaxNode empty;
    auto half = [&](int flag, const char* prefix) {
        bool present = false;
        for (const SyntaxNode* member = accessor; member; member = member->next)
            present = present
                      || (member->kind == NodeKind::Function && (member->op & flag) && member->text2 == accessor->text2
                          && ((member->op ^ accessor->op) & member_flag::Static) == 0);
        if (!present)
            return defineFunction(&empty, true);
        out().pushRegister(owner);
        string(where, prefix + accessor->text2);
        out().op(Action::GetMember);
    };
    half(member_flag::Setter, "__set__");
    half(member_flag::Getter, "__get__");
    string(where, accessor->text2);
    out().pushNumber(3);
    out().pushRegister(owner);
    string(where, "addProperty");
    out().op(Action::CallMethod);
    out().op(Action::Pop);
}

} // namespace lumbra::actionscript
