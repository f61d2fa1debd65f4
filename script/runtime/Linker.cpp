#include "script/runtime/Linker.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <span>
#include <vector>

#include "script/runtime/BytecodeModule.h"
#include "script/runtime/Closure.h"
#include "script/runtime/CodeTranslator.h"
#include "script/runtime/Interpreter.h"
#include "script/runtime/Opcode.h"
#include "script/runtime/RuntimeError.h"
#include "script/runtime/ScriptContext.h"
#include "script/runtime/ScriptFunction.h"
#include "script/runtime/ScriptString.h"
#include "script/runtime/SectionReader.h"

namespace orvet {

namespace {

constexpr std::string_view kAnonymousPrefix = "@F_";
constexpr std::uint32_t kConstantGrowth = 1024;

[[noreturn]] void rejectModule(ScriptContext& ctx)
{
    ctx.trace(kErrBadBytecode);
    raiseError(ctx, kErrBadBytecode);
}

// "@F_<n>" with n increased by base; other names unchanged.
std::string renumbered(std::string_view name, std::uint32_t base)
{
    if (!name.starts_with(kAnonymousPrefix))
        return std::string(name);
    std::uint32_t number = 0;
    for (std::size_t i = kAnonymousPrefix.size(); i < name.size() && name[i] >= '0' && name[i] <= '9'; ++i)
        number = number * 10 + static_cast<std::uint32_t>(name[i] - '0');
    return std::string(kAnonymousPrefix) + std::to_string(number + base);
}

std::u16string_view readUtf16(ScriptContext& ctx, SectionReader& in, std::uint32_t byteCount)
{
    const std::uint8_t* bytes = in.bytes(byteCount);
    if (!bytes)
        rejectModule(ctx);
    std::uint32_t length = byteCount / 2;
    auto text = std::make_unique<char16_t[]>(std::max<std::uint32_t>(length, 1));
    for (std::uint32_t i = 0; i < length; ++i)
        text[i] = static_cast<char16_t>(bytes[2 * i] | bytes[2 * i + 1] << 8);
    std::u16string_view view(text.get(), length);
    ctx.constantText.push_back(std::move(text));
    return view;
}

ScriptValue readConstant(ScriptContext& ctx, SectionReader& in, std::uint32_t functionBase)
{
    switch (static_cast<ConstantTag>(in.u8())) {
    case ConstantTag::Null: return ScriptValue::null();
    case ConstantTag::NaN: return ScriptValue::nan();
    case ConstantTag::Boolean: return ScriptValue::ofBool(in.u8() != 0);
    case ConstantTag::Integer: return ScriptValue::ofInt(static_cast<std::int64_t>(in.u64be()));
    case ConstantTag::Number: return ScriptValue::ofFloat(in.f64());
    case ConstantTag::String: {
        std::uint32_t byteCount = in.u32be();
        return ScriptValue::ofString(newStaticString(ctx, readUtf16(ctx, in, byteCount)));
    }
    case ConstantTag::Name: {
        std::string_view name = in.cstring();
        if (in.failed())
            rejectModule(ctx);
        return ScriptValue::ofName(ctx.intern(renumbered(name, functionBase)));
    }
    case ConstantTag::RegExp: {
        std::uint8_t flags = in.u8();
        std::uint32_t byteCount = in.u32be();
        std::u16string_view pattern = readUtf16(ctx, in, byteCount);
        if (ctx.makeRegExp)
            return ctx.makeRegExp(ctx, pattern, flags);
        return ScriptValue::ofString(newStaticString(ctx, pattern));
    }
    }
    rejectModule(ctx);
}

std::uint32_t appendConstants(ScriptContext& ctx, const BytecodeModule& module)
{
    const auto base = static_cast<std::uint32_t>(ctx.constants.size());
    const ModuleSection* section = module.firstSection(SectionType::Constants);
    if (!section)
        return base;
    SectionReader in(*section);
    while (!in.atEnd()) {
        ScriptValue value = readConstant(ctx, in, ctx.functionBase);
        if (in.failed())
            rejectModule(ctx);
        if (ctx.constants.size() == ctx.constants.capacity())
            ctx.constants.reserve(ctx.constants.size() + kConstantGrowth);
        ctx.constants.push_back(value);
    }
    return base;
}

struct FunctionEntry {
    std::string_view name;
    std::uint32_t offset;
};

std::vector<FunctionEntry> readFunctionTable(ScriptContext& ctx, const BytecodeModule& module,
                                             std::uint32_t codeLength)
{
    std::vector<FunctionEntry> entries;
    const ModuleSection* section = module.firstSection(SectionType::Functions);
    if (!section || section->length < 5)
        return entries;
    SectionReader in(*section);
    std::uint32_t count = in.u32be();
    for (std::uint32_t i = 0; i < count; ++i) {
        std::string_view name = in.cstring();
        std::uint32_t offset = in.u32be();
        // Each function's code must end where the next one's begins.
        if (in.failed() || offset > codeLength || (!entries.empty() && offset < entries.back().offset))
            rejectModule(ctx);
        entries.push_back({name, offset});
    }
    return entries;
}

// Line records of [begin, end) in bytes, mapped to word addresses.
void attachLines(ScriptContext& ctx, const ModuleSection& section, std::uint32_t begin, std::uint32_t end,
                 std::span<const std::uint8_t> bytes, ScriptFunction& fn)
{
    fn.hasSource = true;
    fn.sourceName = "unknown";
    // Word index of each byte position of the function (instruction starts).
    std::vector<std::uint32_t> wordAt(bytes.size() + 1, 0);
    std::uint32_t word = 0;
    for (std::size_t i = 0; i < bytes.size();) {
        wordAt[i] = word;
        if (!isOpcode(bytes[i])) {
            ++i;
            continue;
        }
        std::size_t size = operandSize(operandForm(static_cast<Opcode>(bytes[i])));
        for (std::size_t j = 1; j <= size && i + j < wordAt.size(); ++j)
            wordAt[i + j] = word + 1;
        word += size ? 2 : 1;
        i += 1 + size;
    }
    wordAt[bytes.size()] = word;

    SectionReader in(section);
    while (!in.atEnd()) {
        std::uint8_t tag = in.u8();
        if (tag == static_cast<std::uint8_t>(LineTag::SourceName)) {
            std::uint32_t length = in.u32be();
            const std::uint8_t* text = in.bytes(length);
            if (!text)
                rejectModule(ctx);
            fn.sourceName.assign(reinterpret_cast<const char*>(text), length);
        } else if (tag == static_cast<std::uint8_t>(LineTag::Offset)) {
            std::uint32_t offset = in.u32be();
            std::uint32_t line = in.u32be();
            if (in.failed())
                rejectModule(ctx);
            if (offset > end)
                break;
            if (offset > begin)
                fn.lines.push_back({wordAt[offset - begin], line});
        } else {
            rejectModule(ctx);
        }
    }
}

ScriptValue* findFunctionValue(const ScriptContext& ctx, const std::uint32_t* address)
{
    auto holds = [address](const ScriptValue& v) {
        return v.kind == ValueKind::Function && v.closure->function->contains(address);
    };
    for (const ScriptValue& v : ctx.globals)
        if (holds(v))
            return const_cast<ScriptValue*>(&v);
    for (ScriptValue* v = ctx.sp; v && v < ctx.stackEnd(); ++v)
        if (holds(*v))
            return v;
    return nullptr;
}

} // namespace

ScriptFunction* linkModule(ScriptContext& ctx, BytecodeModule& module)
{
    const std::uint32_t functionBase = ctx.functionBase;
    if (!module.constantBase)
        module.constantBase = appendConstants(ctx, module);
    const ModuleConstants constants{*module.constantBase,
                                    static_cast<std::uint32_t>(ctx.constants.size()) - *module.constantBase};

    const ModuleSection* codeSection = module.firstSection(SectionType::Code);
    const std::uint32_t codeLength = codeSection ? codeSection->length : 0;
    std::vector<FunctionEntry> entries = readFunctionTable(ctx, module, codeLength);
    // An image compiled without debug information has an empty line section.
    const ModuleSection* lines = module.lastSection(SectionType::Lines);
    if (lines && lines->length == 0)
        lines = nullptr;

    std::vector<ScriptFunction*> linked;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        std::uint32_t begin = entries[i].offset;
        std::uint32_t end = i + 1 < entries.size() ? entries[i + 1].offset : codeLength;
        std::span<const std::uint8_t> bytes(codeSection ? codeSection->data() + begin : nullptr, end - begin);
        auto fn = std::make_unique<ScriptFunction>();
        translateFunction(ctx, bytes, constants, *fn);
        if (lines)
            attachLines(ctx, *lines, begin, end, bytes, *fn);
        fn->name = entries[i].name;
        linked.push_back(fn.get());
        ctx.functions.push_back(std::move(fn));
    }

    ScriptFunction* main = nullptr;
    for (ScriptFunction* fn : linked) {
        if (fn->name == ".main") {
            main = fn;
            continue;
        }
        std::string name = renumbered(fn->name, functionBase);
        if (fn->name.starts_with(kAnonymousPrefix))
            ++ctx.functionBase;
        Atom atom = ctx.intern(name);
        ctx.global(atom) = ScriptValue::ofFunction(newClosure(ctx, fn));
    }
    return main;
}

void linkAndRun(ScriptContext& ctx, BytecodeModule& module)
{
    if (ScriptFunction* main = linkModule(ctx, module))
        run(ctx, ScriptValue::null(), newClosure(ctx, main), 0, nullptr);
}

std::string_view functionNameAt(const ScriptContext& ctx, const std::uint32_t* address)
{
    const ScriptValue* v = findFunctionValue(ctx, address);
    return v ? std::string_view(v->closure->function->name) : std::string_view(".main");
}

bool sourceLineAt(const ScriptContext& ctx, const std::uint32_t* address, SourceLocation& out)
{
    const ScriptValue* v = findFunctionValue(ctx, address);
    if (!v || !v->closure->function->hasSource)
        return false;
    const ScriptFunction& fn = *v->closure->function;
    auto offset = static_cast<std::uint32_t>(address - fn.code.data());
    out.source = fn.sourceName;
    out.line = 0;
    for (const LineRecord& record : fn.lines)
        if (record.word <= offset)
            out.line = record.line;
    return true;
}

} // namespace orvet
