#include "tools/actionscript/CodeGenerator.h"

#include <algorithm>

#include "tools/actionscript/SourceError.h"

namespace lumbra::actionscript {

using orvet::SyntaxNode;

CodeGenerator::CodeGenerator(int version, int lineOffset) : version_(version), lineOffset_(lineOffset) {}

void CodeGenerator::fail(const SyntaxNode* where, const std::string& message) const
{
    throw SourceError(where ? where->line + lineOffset_ : lineOffset_, message);
}

CodeGenerator::Temp::Temp(CodeGenerator& generator, const SyntaxNode* where) : body_(*generator.body_)
{
    if (body_.nextTemp >= body_.tempLimit)
        generator.fail(where, "expression too complex: no register left for it");
    reg_ = std::uint8_t(body_.nextTemp++);
    body_.highest = std::max(body_.highest, int(reg_));
}

CodeGenerator::Temp::~Temp() { --body_.nextTemp; }

std::optional<std::uint8_t> CodeGenerator::localRegister(const std::string& name) const
{
    auto it = body_->registers.find(name);
    if (it == body_->registers.end())
        return std::nullopt;
    return it->second;
}

Bytes CodeGenerator::finish(Body& body, const SyntaxNode* where)
{
    Bytes code;
    if (!body.out.finish(code))
        fail(where, "code too long: a jump reaches past 32 KB");
    return code;
}

Bytes CodeGenerator::program(const SyntaxNode* list)
{
    Body body(pool_);
    body_ = &body;
    functionBody(list);
    Bytes code = finish(body, list);
    body_ = nullptr;
    if (pool_.empty())
        return code;
    Bytes out = pool_.record();
    out.insert(out.end(), code.begin(), code.end());
    return out;
}

} // namespace lumbra::actionscript
