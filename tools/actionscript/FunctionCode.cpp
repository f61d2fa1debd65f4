// Function definitions. From version 7 a function is a DefineFunction2: the
// names it uses among this, arguments, super, _root, _parent and _global are
// preloaded into registers 1 and up in that order (this, arguments and super
// suppressed when unused), and where no inner function, with or eval can
// look a name up, its parameters and locals live in the registers after
// them. Before version 7 it is a DefineFunction with everything by name.
#include "tools/actionscript/CodeGenerator.h"

#include "tools/actionscript/TextEncoding.h"

namespace lumbra::actionscript {

using orvet::NodeKind;
using orvet::SyntaxNode;

namespace {

// DefineFunction2's flags.
enum : unsigned {
    PreloadThis = 0x01, SuppressThis = 0x02, PreloadArguments = 0x04, SuppressArguments = 0x08,
    PreloadSuper = 0x10, SuppressSuper = 0x20, PreloadRoot = 0x40, PreloadParent = 0x80, PreloadGlobal = 0x100,
};

constexpr int kRegisterLimit = 255; // the header's 8-bit register count

bool isNamedDeclaration(const SyntaxNode* node)
{
    return node->kind == NodeKind::Function && !node->text2.empty();
}

} // namespace

void CodeGenerator::functionBody(const SyntaxNode* list)
{
    for (const SyntaxNode* node = list; node; node = node->next)
        if (isNamedDeclaration(node))
            defineFunction(node, false);
    for (const SyntaxNode* node = list; node; node = node->next)
        if (!isNamedDeclaration(node))
            statement(node);
}

void CodeGenerator::defineFunction(const SyntaxNode* function, bool asValue)
{
    const SyntaxNode* statements = function->b && function->b->kind == NodeKind::Block ? function->b->a : nullptr;
    const FunctionFacts facts = factsOf(statements);
    const bool function2 = version_ >= 7;

    Body inner(pool_);
    inner.inFunction = true;
    unsigned flags = 0;
    int next = 1;
    if (function2) {
        auto preload = [&](bool used, unsigned preloadBit, unsigned suppressBit, const char* name) {
            if (used) {
                flags |= preloadBit;
                inner.registers[name] = std::uint8_t(next++);
            } else if (!facts.usesEval) {
                flags |= suppressBit;
            }
        };
        preload(facts.usesThis, PreloadThis, SuppressThis, "this");
        preload(facts.usesArguments, PreloadArguments, SuppressArguments, "arguments");
        preload(facts.usesSuper, PreloadSuper, SuppressSuper, "super");
        preload(facts.usesRoot, PreloadRoot, 0, "_root");
        preload(facts.usesParent, PreloadParent, 0, "_parent");
        preload(facts.usesGlobal, PreloadGlobal, 0, "_global");
    }
    const bool localsInRegisters = function2 && !facts.namesReachable()
                                   && next + function->count + int(facts.locals.size()) < kRegisterLimit;

    Bytes parameters;
    for (const SyntaxNode* parameter = function->a; parameter; parameter = parameter->next) {
        std::uint8_t reg = 0;
        if (localsInRegisters) {
            reg = std::uint8_t(next++);
            inner.registers[parameter->text] = reg;
        }
        if (function2)
            parameters.push_back(reg);
        appendCString(parameters, movieText(parameter->text, version_));
    }
    if (localsInRegisters)
        for (const auto& name : facts.locals)
            if (!inner.registers.contains(name))
                inner.registers[name] = std::uint8_t(next++);
    inner.highest = next - 1;
    inner.nextTemp = next;
    inner.tempLimit = function2 ? kRegisterLimit : 4;

    Body* outer = body_;
    body_ = &inner;
    functionBody(statements);
    Bytes code = finish(inner, function);
    body_ = outer;
    if (code.size() > 0xFFFF)
        fail(function, "function too long: its code passes 64 KB");

    Bytes header;
    appendCString(header, asValue ? std::string() : movieText(function->text2, version_));
    appendU16(header, std::size_t(function->count));
    if (function2) {
        header.push_back(std::uint8_t(inner.highest + 1));
        appendU16(header, flags);
    }
    header.insert(header.end(), parameters.begin(), parameters.end());
    appendU16(header, code.size());
    out().record(function2 ? Action::DefineFunction2 : Action::DefineFunction, header);
    out().raw(code);
}

} // namespace lumbra::actionscript
