#include "tests/runtime/ImageBuilder.h"

#include <cstring>
#include <stdexcept>

namespace orvet::test {

namespace {

void putBE(std::vector<std::uint8_t>& out, std::uint64_t value, int bytes)
{
    for (int i = bytes - 1; i >= 0; --i)
        out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

void putLE32(std::vector<std::uint8_t>& out, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

void putUtf16(std::vector<std::uint8_t>& out, std::u16string_view text)
{
    putBE(out, text.size() * 2, 4);
    for (char16_t c : text) {
        out.push_back(static_cast<std::uint8_t>(c & 0xFF));
        out.push_back(static_cast<std::uint8_t>(c >> 8));
    }
}

} // namespace

std::uint32_t ImageBuilder::rawConstant(std::vector<std::uint8_t> record)
{
    constants_.insert(constants_.end(), record.begin(), record.end());
    return constantCount_++;
}

std::uint32_t ImageBuilder::name(std::string_view text)
{
    if (auto it = names_.find(text); it != names_.end())
        return it->second;
    std::vector<std::uint8_t> record{10};
    record.insert(record.end(), text.begin(), text.end());
    record.push_back(0);
    std::uint32_t index = rawConstant(std::move(record));
    names_.emplace(std::string(text), index);
    return index;
}

std::uint32_t ImageBuilder::integer(std::int64_t value)
{
    std::vector<std::uint8_t> record{3};
    putBE(record, static_cast<std::uint64_t>(value), 8);
    return rawConstant(std::move(record));
}

std::uint32_t ImageBuilder::number(double value)
{
    std::vector<std::uint8_t> record{5};
    std::uint8_t raw[8];
    std::memcpy(raw, &value, 8);
    record.insert(record.end(), raw, raw + 8);
    return rawConstant(std::move(record));
}

std::uint32_t ImageBuilder::string(std::u16string_view text)
{
    std::vector<std::uint8_t> record{4};
    putUtf16(record, text);
    return rawConstant(std::move(record));
}

std::uint32_t ImageBuilder::regexp(std::u16string_view pattern, std::uint8_t flags)
{
    std::vector<std::uint8_t> record{11, flags};
    putUtf16(record, pattern);
    return rawConstant(std::move(record));
}

ImageBuilder& ImageBuilder::function(std::string_view functionName)
{
    functions_.emplace_back(std::string(functionName), codeSize());
    return *this;
}

ImageBuilder& ImageBuilder::functionAt(std::string_view functionName, std::uint32_t offset)
{
    functions_.emplace_back(std::string(functionName), offset);
    return *this;
}

ImageBuilder& ImageBuilder::prologue(int params, int locals)
{
    op(Opcode::GET_ARG, 1).op(Opcode::ADD2).op(Opcode::ARGS, 2 + params);
    if (locals > 0)
        op(Opcode::LOCALS, locals);
    return *this;
}

ImageBuilder& ImageBuilder::op(Opcode code)
{
    if (operandForm(code) != OperandForm::None)
        throw std::logic_error("operand missing");
    code_.push_back(static_cast<std::uint8_t>(code));
    return *this;
}

ImageBuilder& ImageBuilder::op(Opcode code, std::int64_t operand)
{
    code_.push_back(static_cast<std::uint8_t>(code));
    putBE(code_, static_cast<std::uint64_t>(operand), static_cast<int>(operandSize(operandForm(code))));
    return *this;
}

ImageBuilder& ImageBuilder::op(Opcode code, std::string_view identifier)
{
    return op(code, name(identifier));
}

ImageBuilder& ImageBuilder::pushInt(std::int64_t value)
{
    if (value >= INT32_MIN && value <= INT32_MAX)
        return op(Opcode::PUSH_INT, value);
    return op(Opcode::PUSH_CONST, integer(value));
}

ImageBuilder& ImageBuilder::pushString(std::u16string_view text)
{
    return op(Opcode::PUSH_CONST, string(text));
}

ImageBuilder& ImageBuilder::pushNumber(double value)
{
    return op(Opcode::PUSH_CONST, number(value));
}

ImageBuilder::Label ImageBuilder::label()
{
    labels_.push_back(-1);
    return static_cast<Label>(labels_.size() - 1);
}

ImageBuilder& ImageBuilder::bind(Label l)
{
    labels_[static_cast<std::size_t>(l)] = codeSize();
    return *this;
}

ImageBuilder& ImageBuilder::jump(Opcode code, Label target)
{
    code_.push_back(static_cast<std::uint8_t>(code));
    fixups_.push_back({code_.size(), code_.size() + 4, target});
    putBE(code_, 0, 4);
    return *this;
}

ImageBuilder& ImageBuilder::bytes(std::vector<std::uint8_t> raw)
{
    code_.insert(code_.end(), raw.begin(), raw.end());
    return *this;
}

ImageBuilder& ImageBuilder::line(std::uint32_t number)
{
    lines_.push_back(2);
    putBE(lines_, codeSize(), 4);
    putBE(lines_, number, 4);
    return *this;
}

ImageBuilder& ImageBuilder::sourceName(std::string_view name)
{
    std::vector<std::uint8_t> record{1};
    putBE(record, name.size(), 4);
    record.insert(record.end(), name.begin(), name.end());
    lines_.insert(lines_.begin(), record.begin(), record.end());
    return *this;
}

std::vector<std::uint8_t> ImageBuilder::build() const
{
    std::vector<std::uint8_t> code = code_;
    for (const Fixup& f : fixups_) {
        std::int64_t target = labels_[static_cast<std::size_t>(f.target)];
        if (target < 0)
            throw std::logic_error("unbound label");
        auto disp = static_cast<std::uint32_t>(target - static_cast<std::int64_t>(f.end));
        for (int i = 0; i < 4; ++i)
            code[f.at + i] = static_cast<std::uint8_t>(disp >> (8 * (3 - i)));
    }
    std::vector<std::uint8_t> table;
    putBE(table, functions_.size(), 4);
    for (const auto& [fname, offset] : functions_) {
        table.insert(table.end(), fname.begin(), fname.end());
        table.push_back(0);
        putBE(table, offset, 4);
    }
    const std::vector<std::uint8_t>* sections[4] = {&code, &constants_, &table, &lines_};
    std::vector<std::uint8_t> image;
    putLE32(image, 0x6231564F);
    std::uint32_t offset = 4 + 4 * 12 + 4;
    for (std::uint32_t type = 0; type < 4; ++type) {
        putLE32(image, type | 0xAB00);
        putLE32(image, offset);
        auto length = static_cast<std::uint32_t>(sections[type]->size());
        putLE32(image, length);
        offset += length;
    }
    putLE32(image, 0xFFFFFFFF);
    for (const auto* section : sections)
        image.insert(image.end(), section->begin(), section->end());
    return image;
}

} // namespace orvet::test
