#include "script/compiler/Disassembler.h"

#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <vector>

#include "script/runtime/BytecodeModule.h"
#include "script/runtime/Opcode.h"
#include "script/runtime/SectionReader.h"

namespace orvet {

namespace {

struct FunctionEntry {
    std::string name;
    std::uint32_t offset;
};

std::string format(const char* fmt, auto... args)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, fmt, args...);
    return buffer;
}

// UTF-16LE text as a quoted string: printable ASCII as is, the rest escaped.
std::string quoteUtf16(const std::uint8_t* bytes, std::uint32_t byteCount)
{
    std::string text = "\"";
    for (std::uint32_t k = 0; k + 1 < byteCount; k += 2) {
        const unsigned unit = bytes[k] | bytes[k + 1] << 8;
        if (unit == '"' || unit == '\\')
            text += '\\';
        if (unit >= 0x20 && unit < 0x7F)
            text += static_cast<char>(unit);
        else
            text += format("\\u%04X", unit);
    }
    return text + "\"";
}

// One rendering per constant record, in index order.
std::vector<std::string> readConstants(const ModuleSection* section, std::string& note)
{
    std::vector<std::string> constants;
    if (!section)
        return constants;
    SectionReader in(*section);
    while (!in.atEnd()) {
        const std::uint8_t tag = in.u8();
        std::string text;
        switch (static_cast<ConstantTag>(tag)) {
        case ConstantTag::Null: text = "null"; break;
        case ConstantTag::NaN: text = "NaN"; break;
        case ConstantTag::Boolean: text = in.u8() ? "true" : "false"; break;
        case ConstantTag::Integer:
            text = format("%" PRId64, static_cast<std::int64_t>(in.u64be()));
            break;
        case ConstantTag::Number: text = format("%.17g", in.f64()); break;
        case ConstantTag::String: {
            const std::uint32_t count = in.u32be();
            const std::uint8_t* bytes = in.bytes(count);
            text = bytes ? quoteUtf16(bytes, count) : "";
            break;
        }
        case ConstantTag::Name: text = std::string(in.cstring()); break;
        case ConstantTag::RegExp: {
            const std::uint8_t flags = in.u8();
            const std::uint32_t count = in.u32be();
            const std::uint8_t* bytes = in.bytes(count);
            text = "/" + (bytes ? quoteUtf16(bytes, count) : "") + "/";
            text += (flags & kRegExpGlobal) ? "g" : "";
            text += (flags & kRegExpIgnoreCase) ? "i" : "";
            text += (flags & kRegExpMultiline) ? "m" : "";
            break;
        }
        default:
            note += format("; unknown constant tag %u\n", tag);
            return constants;
        }
        if (in.failed()) {
            note += "; constant section truncated\n";
            return constants;
        }
        constants.push_back(std::move(text));
    }
    return constants;
}

std::vector<FunctionEntry> readFunctions(const ModuleSection* section, std::string& note)
{
    std::vector<FunctionEntry> functions;
    if (!section || section->length < 5)
        return functions;
    SectionReader in(*section);
    const std::uint32_t count = in.u32be();
    for (std::uint32_t k = 0; k < count && !in.atEnd(); ++k) {
        FunctionEntry entry{std::string(in.cstring()), 0};
        entry.offset = in.u32be();
        if (in.failed()) {
            note += "; function table truncated\n";
            break;
        }
        functions.push_back(std::move(entry));
    }
    return functions;
}

std::string operandText(Opcode op, SectionReader& in, std::uint32_t end, const std::vector<std::string>& constants)
{
    switch (operandForm(op)) {
    case OperandForm::None:
        return {};
    case OperandForm::Byte:
        return format(" %d", static_cast<std::int8_t>(in.u8()));
    case OperandForm::Short: {
        const std::uint8_t* b = in.bytes(2);
        return b ? format(" %d", static_cast<std::int16_t>(b[0] << 8 | b[1])) : "";
    }
    case OperandForm::Int32:
        return format(" %d", static_cast<std::int32_t>(in.u32be()));
    case OperandForm::Jump: {
        const auto displacement = static_cast<std::int32_t>(in.u32be());
        return format(" -> %" PRId64, std::int64_t{end} + displacement);
    }
    case OperandForm::Identifier:
    case OperandForm::Literal: {
        const std::uint32_t index = in.u32be();
        if (index < constants.size())
            return " " + constants[index];
        return format(" #%u?", index);
    }
    }
    return {};
}

void listCode(std::string& out, const ModuleSection& code, std::uint32_t begin, std::uint32_t end,
              const std::vector<std::string>& constants)
{
    SectionReader in(code.data() + begin, end - begin);
    while (!in.atEnd()) {
        const std::uint32_t offset = begin + in.position();
        const std::uint8_t byte = in.u8();
        if (!isOpcode(byte)) {
            out += format("%6u  ?? 0x%02X\n", offset, byte);
            continue;
        }
        const auto op = static_cast<Opcode>(byte);
        const std::uint32_t next = offset + instructionSize(op);
        std::string operand = operandText(op, in, next, constants);
        if (in.failed()) {
            out += format("%6u  ", offset) + std::string(opcodeName(op)) + " (truncated)\n";
            return;
        }
        out += format("%6u  ", offset) + std::string(opcodeName(op)) + operand + "\n";
    }
}

void listLines(std::string& out, const ModuleSection* section)
{
    if (!section || section->length == 0)
        return;
    out += "lines:\n";
    SectionReader in(*section);
    while (!in.atEnd()) {
        const std::uint8_t tag = in.u8();
        if (tag == static_cast<std::uint8_t>(LineTag::SourceName)) {
            const std::uint32_t length = in.u32be();
            const std::uint8_t* name = in.bytes(length);
            if (name)
                out += "  source " + std::string(reinterpret_cast<const char*>(name), length) + "\n";
        } else if (tag == static_cast<std::uint8_t>(LineTag::Offset)) {
            const std::uint32_t offset = in.u32be();
            const std::uint32_t line = in.u32be();
            if (!in.failed())
                out += format("%6u  line %u\n", offset, line);
        } else {
            out += format("; unknown line record tag %u\n", tag);
            return;
        }
        if (in.failed()) {
            out += "; line section truncated\n";
            return;
        }
    }
}

} // namespace

std::optional<std::string> disassemble(const std::uint8_t* data, std::size_t size)
{
    ModulePtr module = loadModule(data, size);
    if (!module)
        return std::nullopt;
    std::string notes;
    const std::vector<std::string> constants = readConstants(module->firstSection(SectionType::Constants), notes);
    const std::vector<FunctionEntry> functions = readFunctions(module->firstSection(SectionType::Functions), notes);

    std::string out;
    if (const ModuleSection* code = module->firstSection(SectionType::Code)) {
        // Function i runs from its offset to the next function's (or the end).
        for (std::size_t k = 0; k < functions.size(); ++k) {
            const std::uint32_t begin = std::min(functions[k].offset, code->length);
            std::uint32_t end = k + 1 < functions.size() ? functions[k + 1].offset : code->length;
            end = std::min(std::max(end, begin), code->length);
            if (k == 0 && begin > 0)
                listCode(out += "(no function):\n", *code, 0, begin, constants);
            out += functions[k].name + ":\n";
            listCode(out, *code, begin, end, constants);
        }
        if (functions.empty() && code->length > 0)
            listCode(out += "(no function):\n", *code, 0, code->length, constants);
    }
    if (!constants.empty()) {
        out += "constants:\n";
        for (std::size_t k = 0; k < constants.size(); ++k)
            out += format("%6zu  ", k) + constants[k] + "\n";
    }
    listLines(out, module->lastSection(SectionType::Lines));
    return out + notes;
}

} // namespace orvet
