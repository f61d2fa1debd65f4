#include "script/compiler/Compiler.h"

#include <new>
#include <unordered_map>

#include "script/compiler/CodeGenerator.h"
#include "script/compiler/Diagnostics.h"
#include "script/compiler/Lexer.h"
#include "script/compiler/Optimizer.h"
#include "script/compiler/Parser.h"
#include "script/runtime/ImageWriter.h"

namespace orvet {

namespace {

// Everything one compilation owns.
struct CompileUnit {
    CompileUnit(ByteStream source, CompileOptions options)
        : source(std::move(source)), options(options), diagnostics(messages),
          lexer(this->source, diagnostics, options.has(CompileOptions::kWarnLineTerminators)),
          parser(lexer, diagnostics, nodes, options.has(CompileOptions::kWarnMissingSemicolon))
    {
    }

    ByteStream source;
    CompileOptions options;
    ByteStream messages = ByteStream::memory();
    Diagnostics diagnostics;
    NodePool nodes;
    Lexer lexer;
    Parser parser;
    InstructionList code;
};

// The program's result is the value of its last statement when that is an
// expression statement: its POP, still at the very end of ".main", is
// dropped. Any other ending pushes Undefined. This runs after the DUP/POP
// pairs of assignments have been removed, so a closing assignment statement
// leaves Undefined, not the assigned value; and a POP that belongs to
// another statement (a switch's discriminant, a try's flag) never turns its
// operand into the result.
void finishMain(InstructionList& code)
{
    auto label = code.end();
    for (auto it = code.begin(); it != code.end(); ++it)
        if (it->opcode == kFunctionLabel)
            label = it;
    if (label == code.end() || label->name() != ".main")
        return;
    Instruction& last = code.back();
    if (last.is(Opcode::POP) && last.discardsResult) {
        code.pop_back();
        return;
    }
    Instruction& push = code.emplace_back();
    push.opcode = static_cast<int>(Opcode::PUSH_UNDEFINED);
    push.line = last.line;
    push.stackEffect = 1;
}

void assignOffsets(InstructionList& code)
{
    std::uint32_t offset = 0;
    for (Instruction& i : code) {
        i.offset = offset;
        offset += i.size();
    }
}

ByteStream writeImage(const InstructionList& code, bool debugInfo, const std::string& sourceName,
                      const AnsiDecoder& decoder)
{
    std::unordered_map<std::int64_t, std::uint32_t> labelOffsets;
    for (const Instruction& i : code)
        if (i.opcode == kJumpLabel)
            labelOffsets.emplace(i.number(), i.offset);

    ImageWriter writer(debugInfo, sourceName, decoder);
    for (const Instruction& i : code) {
        if (i.opcode == kFunctionLabel) {
            writer.function(i.name(), i.offset);
            continue;
        }
        if (i.opcode == kJumpLabel)
            continue;
        const auto op = static_cast<Opcode>(i.opcode);
        ImageOperand operand;
        if (i.isJump()) {
            const std::int64_t target = labelOffsets.at(i.number());
            operand = target - static_cast<std::int64_t>(i.offset + i.size());
        } else if (auto number = std::get_if<std::int64_t>(&i.operand)) {
            operand = *number;
        } else if (auto name = std::get_if<std::string>(&i.operand)) {
            operand = IdentifierOperand{*name};
        } else if (auto literal = std::get_if<LiteralConstant>(&i.operand)) {
            operand = *literal;
        }
        writer.instruction(op, i.line, i.offset, operand);
    }
    return writer.finish();
}

void writeListing(CompileUnit& unit, const std::string& path)
{
    auto listing = ByteStream::openWrite(path);
    if (!listing)
        return;
    if (unit.options.has(CompileOptions::kRewindSource))
        unit.source.rewind();
    listing->write("; -*- asm -*-\r\n");
    listing->close();
}

void writeOutput(const ByteStream& image, const std::string& path)
{
    auto output = ByteStream::openWrite(path);
    if (!output)
        return;
    output->write(image.bytes().data(), image.bytes().size());
    output->close();
}

ByteStream runCompilation(CompileUnit& unit, const AnsiDecoder& decoder, const CompileFiles& files)
{
    const ParsedProgram program = unit.parser.parseProgram();
    CodeGenerator generator(unit.diagnostics, unit.code, unit.parser.lastLine());
    for (const SyntaxNode* function : program.functions)
        generator.generateFunction(function);
    generator.generateMain(program.topLevel);

    removeDiscardedCopies(unit.code);
    finishMain(unit.code);
    optimize(unit.code);

    if (!files.listingPath.empty())
        writeListing(unit, files.listingPath);
    assignOffsets(unit.code);
    return writeImage(unit.code, unit.options.has(CompileOptions::kDebugInfo), unit.source.sourceName(), decoder);
}

} // namespace

CompileResult compile(ByteStream source, CompileOptions options, const AnsiDecoder& decoder, const CompileFiles& files)
{
    CompileResult result;
    try {
        CompileUnit unit(std::move(source), options);
        try {
            result.image = runCompilation(unit, decoder, files);
        } catch (const CompileError&) {
            // The error line is on the message stream already.
        }
        const auto& bytes = unit.messages.bytes();
        result.messages.assign(bytes.begin(), bytes.end());
        unit.source.close();
    } catch (const std::bad_alloc&) {
        result.image.reset();
        result.outOfMemory = true;
    }
    if (result.image && !files.outputPath.empty())
        writeOutput(*result.image, files.outputPath);
    return result;
}

CompileResult compileText(std::string_view text, CompileOptions options, const AnsiDecoder& decoder,
                          const CompileFiles& files)
{
    return compile(ByteStream::fromText(text), options, decoder, files);
}

CompileResult compileFile(const std::string& path, CompileOptions options, const AnsiDecoder& decoder,
                          const CompileFiles& files)
{
    CompileResult result;
    auto source = ByteStream::openRead(path, result.messages);
    if (!source)
        return result;
    return compile(std::move(*source), options, decoder, files);
}

} // namespace orvet
