#include "script/runtime/ImageWriter.h"

#include <random>

#include "script/runtime/BytecodeModule.h"
#include "script/runtime/NameHash.h"

namespace orvet {

namespace {

constexpr std::uint32_t kHeaderSize = 4 + 4 * 12 + 4;

void putU32LE(ByteStream& out, std::uint32_t value)
{
    out.pack("cccc", value & 0xFF, (value >> 8) & 0xFF, (value >> 16) & 0xFF, value >> 24);
}

} // namespace

ImageWriter::ImageWriter(bool debugInfo, std::string_view sourceName, AnsiDecoder decoder)
    : debugInfo_(debugInfo), constants_(std::move(decoder))
{
    functions_.pack("l", 0); // the count, patched by finish()
    if (debugInfo_)
        lines_.pack("cx", int(LineTag::SourceName), sourceName.size(), sourceName.data());
}

void ImageWriter::function(std::string_view name, std::uint32_t offset)
{
    functions_.pack("scl", name, 0, offset);
    ++functionCount_;
}

void ImageWriter::instruction(Opcode op, int line, std::uint32_t offset, const ImageOperand& operand)
{
    if (debugInfo_ && line != lastLine_) {
        lines_.pack("cll", int(LineTag::Offset), offset + instructionSize(op), line);
        lastLine_ = line;
    }
    code_.put(static_cast<std::uint8_t>(op));
    writeOperand(op, operand);
}

void ImageWriter::writeOperand(Opcode op, const ImageOperand& operand)
{
    switch (operandForm(op)) {
    case OperandForm::None:
        break;
    case OperandForm::Byte:
        code_.pack("c", std::get<std::int64_t>(operand));
        break;
    case OperandForm::Short:
        code_.pack("i", std::get<std::int64_t>(operand));
        break;
    case OperandForm::Int32:
    case OperandForm::Jump:
        code_.pack("l", std::get<std::int64_t>(operand));
        break;
    case OperandForm::Identifier:
        code_.pack("l", constants_.identifier(std::get<IdentifierOperand>(operand).name));
        break;
    case OperandForm::Literal:
        code_.pack("l", constants_.literal(std::get<LiteralConstant>(operand)));
        break;
    }
}

ByteStream ImageWriter::finish()
{
    functions_.patchU32BE(0, functionCount_);

    const std::vector<std::uint8_t>* sections[] = {
        &code_.bytes(), &constants_.records().bytes(), &functions_.bytes(), &lines_.bytes()};
    // Bits 8-31 of each type word are noise that readers mask off. The noise
    // is drawn from the code itself, not the clock, so that one source always
    // compiles to the same bytes and a packaged program can be rebuilt exactly.
    std::minstd_rand noise(nameHash(std::string_view(reinterpret_cast<const char*>(sections[0]->data()),
                                                     sections[0]->size())) | 1);
    const std::uint32_t lengths[] = {
        static_cast<std::uint32_t>(sections[0]->size()), static_cast<std::uint32_t>(sections[1]->size()),
        static_cast<std::uint32_t>(sections[2]->size()), debugInfo_ ? static_cast<std::uint32_t>(sections[3]->size()) : 0};

    ByteStream image = ByteStream::memory();
    putU32LE(image, kImageMagic);
    std::uint32_t offset = kHeaderSize;
    for (std::uint32_t type = 0; type < 4; ++type) {
        putU32LE(image, type | static_cast<std::uint32_t>(noise() << 8));
        putU32LE(image, offset);
        putU32LE(image, lengths[type]);
        offset += lengths[type];
    }
    putU32LE(image, kDirectoryEnd);
    for (int type = 0; type < 4; ++type)
        image.write(sections[type]->data(), lengths[type]);
    return image;
}

} // namespace orvet
