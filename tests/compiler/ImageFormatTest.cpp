// Loading compiled images from memory and from files: every documented check.
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <vector>

#include "TestSupport.h"
#include "script/runtime/BytecodeModule.h"
#include "script/compiler/Disassembler.h"
#include "script/runtime/ImageWriter.h"

namespace orvet {
namespace {

using Bytes = std::vector<std::uint8_t>;

void putU32LE(Bytes& out, std::uint32_t v)
{
    for (int k = 0; k < 4; ++k)
        out.push_back(static_cast<std::uint8_t>(v >> (8 * k)));
}

struct Entry {
    std::uint32_t type, offset, length;
};

Bytes image(const std::vector<Entry>& entries, const Bytes& body = {})
{
    Bytes out{'O', 'V', '1', 'b'};
    for (const Entry& e : entries) {
        putU32LE(out, e.type);
        putU32LE(out, e.offset);
        putU32LE(out, e.length);
    }
    putU32LE(out, 0xFFFFFFFF);
    out.insert(out.end(), body.begin(), body.end());
    return out;
}

// Writes the bytes to a temporary file and loads them through a stream.
ModulePtr loadThroughFile(const Bytes& bytes)
{
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::tmpfile(), std::fclose);
    if (!file)
        return nullptr;
    std::fwrite(bytes.data(), 1, bytes.size(), file.get());
    std::rewind(file.get());
    return loadModule(file.get());
}

// Both loaders must agree on every input.
ModulePtr loadBoth(const Bytes& bytes)
{
    ModulePtr fromMemory = loadModule(bytes.data(), bytes.size());
    ModulePtr fromFile = loadThroughFile(bytes);
    EXPECT_EQ(fromMemory != nullptr, fromFile != nullptr);
    if (fromMemory && fromFile) {
        EXPECT_EQ(fromMemory->sectionCount(), fromFile->sectionCount());
        for (std::size_t k = 0; k < fromMemory->sections.size() && k < fromFile->sections.size(); ++k) {
            const ModuleSection& a = fromMemory->sections[k];
            const ModuleSection& b = fromFile->sections[k];
            EXPECT_EQ(a.type, b.type);
            EXPECT_EQ(a.length, b.length);
            if (a.length == b.length) {
                EXPECT_TRUE(std::equal(a.data(), a.data() + a.length + 1, b.data()));
            }
        }
    }
    return fromMemory;
}

TEST(ImageFormat, MagicAndTerminatorAloneIsAModuleWithoutSections)
{
    Bytes bytes = image({});
    ASSERT_EQ(bytes.size(), 8u);
    ModulePtr module = loadBoth(bytes);
    ASSERT_TRUE(module);
    EXPECT_EQ(module->sectionCount(), 0u);
    bytes.pop_back();
    EXPECT_FALSE(loadBoth(bytes));
}

TEST(ImageFormat, RejectsEmptyAndForeignData)
{
    EXPECT_FALSE(loadModule(nullptr, 0));
    EXPECT_FALSE(loadBoth(Bytes{'#'}));
    Bytes wrongMagic = image({});
    wrongMagic[3] = 'c';
    EXPECT_FALSE(loadBoth(wrongMagic));
}

TEST(ImageFormat, HashLineIsSkipped)
{
    Bytes bytes{'#', '!', 'o', 'r', 'v', 'e', 't', '\n'};
    const Bytes body = image({{0, 20, 2}}, {0x60, 0x33});
    bytes.insert(bytes.end(), body.begin(), body.end());
    ModulePtr module = loadBoth(bytes);
    ASSERT_TRUE(module);
    ASSERT_EQ(module->sectionCount(), 1u);
    EXPECT_EQ(module->sections[0].data()[0], 0x60); // offsets count from the magic

    Bytes noFeed{'#', 'x', 'O', 'V', '1', 'b', 0xFF, 0xFF, 0xFF, 0xFF};
    EXPECT_FALSE(loadBoth(noFeed));
}

TEST(ImageFormat, SectionBoundsAreChecked)
{
    const Bytes body{1, 2, 3};
    EXPECT_TRUE(loadBoth(image({{0, 20, 3}}, body)));
    EXPECT_FALSE(loadBoth(image({{0, 20, 4}}, body)));          // one past the end
    EXPECT_FALSE(loadBoth(image({{0, 0xFFFFFFFF, 2}}, body)));  // offset + length wraps
    EXPECT_FALSE(loadBoth(image({{0, 2, 0xFFFFFFFF}}, body)));
    EXPECT_TRUE(loadBoth(image({{0, 23, 0}}, body)));           // empty section at the very end
}

TEST(ImageFormat, DirectoryWithoutTerminatorIsRejected)
{
    Bytes bytes{'O', 'V', '1', 'b'};
    putU32LE(bytes, 0);
    putU32LE(bytes, 0);
    putU32LE(bytes, 0);
    EXPECT_FALSE(loadBoth(bytes));
    bytes.resize(10); // cut inside an entry
    EXPECT_FALSE(loadBoth(bytes));
}

TEST(ImageFormat, TypeWordsAreMasked)
{
    ModulePtr module = loadBoth(image({{0x00001200, 44, 1}, {0x00000000, 45, 1}, {0xABCDEF03, 44, 2}}, {7, 8}));
    ASSERT_TRUE(module);
    ASSERT_EQ(module->sectionCount(), 3u);
    EXPECT_EQ(module->sections[0].type, 0);
    EXPECT_EQ(module->sections[1].type, 0);
    EXPECT_EQ(module->sections[2].type, 3);
    // The first code section counts; for lines the last one.
    EXPECT_EQ(module->firstSection(SectionType::Code)->data()[0], 7);
    EXPECT_EQ(module->lastSection(SectionType::Code)->data()[0], 8);
    EXPECT_EQ(module->firstSection(SectionType::Functions), nullptr);
}

TEST(ImageFormat, SectionBuffersEndInAZeroByte)
{
    ModulePtr module = loadBoth(image({{2, 20, 3}}, {'a', 'b', 'c'}));
    ASSERT_TRUE(module);
    EXPECT_EQ(module->sections[0].data()[3], 0);
}

TEST(ImageFormat, ShortFunctionTableListsNothing)
{
    const Bytes table{0, 0, 0, 9};
    const Bytes bytes = image({{2, 20, 4}}, table);
    ModulePtr module = loadBoth(bytes);
    ASSERT_TRUE(module);
    const auto text = disassemble(bytes.data(), bytes.size());
    ASSERT_TRUE(text);
    EXPECT_EQ(*text, "");
}

TEST(ImageFormat, DisassemblerSurvivesMalformedSections)
{
    const Bytes code{0x62, 0, 0, 0, 9, 0x01, 0x35, 0, 0};
    const Bytes constants{3, 1, 2};
    Bytes body = code;
    body.insert(body.end(), constants.begin(), constants.end());
    const Bytes bytes = image({{0, 32, 9}, {1, 41, 3}}, body);
    const auto text = disassemble(bytes.data(), bytes.size());
    ASSERT_TRUE(text);
    EXPECT_EQ(*text, "(no function):\n"
                     "     0  PUSH_CONST #9?\n"
                     "     5  ?? 0x01\n"
                     "     6  JUMP (truncated)\n"
                     "; constant section truncated\n");
}

TEST(ImageWriter, WritesEveryOperandForm)
{
    ImageWriter writer(false, "string", test::latin1Decoder());
    writer.function("f", 0);
    writer.instruction(Opcode::ROLL, 0, 0, ImageOperand{std::int64_t{-3}});
    writer.instruction(Opcode::LOCALS, 0, 2, ImageOperand{std::int64_t{300}});
    writer.instruction(Opcode::PUSH_INT, 0, 5, ImageOperand{std::int64_t{-7}});
    writer.instruction(Opcode::JUMP, 0, 10, ImageOperand{std::int64_t{-15}});
    writer.instruction(Opcode::GET_GLOBAL, 0, 15, ImageOperand{IdentifierOperand{"g"}});
    writer.instruction(Opcode::PUSH_CONST, 0, 20, ImageOperand{LiteralConstant{2.5}});
    writer.instruction(Opcode::SET_GLOBAL, 0, 25, ImageOperand{IdentifierOperand{"g"}});
    const Bytes bytes = writer.finish().bytes();
    const auto text = disassemble(bytes.data(), bytes.size());
    ASSERT_TRUE(text);
    EXPECT_EQ(*text, "f:\n"
                     "     0  ROLL -3\n"
                     "     2  LOCALS 300\n"
                     "     5  PUSH_INT -7\n"
                     "    10  JUMP -> 0\n"
                     "    15  GET_GLOBAL g\n"
                     "    20  PUSH_CONST 2.5\n"
                     "    25  SET_GLOBAL g\n"
                     "constants:\n"
                     "     0  g\n"
                     "     1  2.5\n");
}

TEST(ImageWriter, ConstantKeysSeparateIntegersFromNumbers)
{
    ConstantPool pool(test::latin1Decoder());
    EXPECT_EQ(pool.literal(std::int64_t{7}), 0u);
    EXPECT_EQ(pool.literal(7.0), 1u);
    EXPECT_EQ(pool.literal(7.0 + 1e-40), 1u); // agrees to 30 decimals
    EXPECT_EQ(pool.literal(StringConstant{"7"}), 2u);
    EXPECT_EQ(pool.identifier("7"), 3u);
    EXPECT_EQ(pool.literal(RegExpConstant{"7", kRegExpGlobal}), 4u);
    EXPECT_EQ(pool.literal(RegExpConstant{"7", 0}), 5u);
    EXPECT_EQ(pool.literal(RegExpConstant{"7g", 0}), 6u);
    EXPECT_EQ(pool.literal(std::int64_t{7}), 0u);
    EXPECT_EQ(pool.count(), 7u);
    // Integers are eight big-endian bytes.
    const Bytes& records = pool.records().bytes();
    EXPECT_EQ(Bytes(records.begin(), records.begin() + 9), (Bytes{3, 0, 0, 0, 0, 0, 0, 0, 7}));
}

} // namespace
} // namespace orvet
