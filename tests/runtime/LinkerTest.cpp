// Linking: constants, function registration, "@F_" numbering, translation
// into word code, line records, and rejection of images that cannot run.
#include <gtest/gtest.h>

#include "script/runtime/Calls.h"
#include "script/runtime/Closure.h"
#include "script/runtime/ScriptFunction.h"
#include "tests/runtime/ScriptRunner.h"

namespace orvet::test {
namespace {

void putLE32(std::vector<std::uint8_t>& out, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

std::vector<std::uint8_t> startupImage()
{
    std::vector<std::uint8_t> image;
    putLE32(image, 0x6231564F);
    const std::uint32_t dir[4][3] = {{0x3100, 56, 2}, {0x7701, 58, 0}, {0x1202, 58, 14}, {0x9903, 72, 0}};
    for (const auto& entry : dir)
        for (std::uint32_t word : entry)
            putLE32(image, word);
    putLE32(image, 0xFFFFFFFF);
    const std::uint8_t tail[] = {0x60, 0x33, 0, 0, 0, 1, '.', 'm', 'a', 'i', 'n', 0, 0, 0, 0, 0};
    image.insert(image.end(), std::begin(tail), std::end(tail));
    return image;
}

TEST(Linker, TheStartUpImageReturnsTrue)
{
    std::vector<std::uint8_t> image = startupImage();
    ASSERT_EQ(image.size(), 72u);
    ScriptRunner r;
    ASSERT_TRUE(r.run(image)) << r.error();
    EXPECT_EQ(r.ctx.result.kind, ValueKind::Boolean);
    EXPECT_EQ(r.ctx.result.boolean, 1u);
}

ImageBuilder anonymousFunctionModule(std::int64_t value)
{
    ImageBuilder b;
    b.function("@F_0").prologue(0).pushInt(value).op(Opcode::RETURN);
    b.function(".main").op(Opcode::PUSH_0).op(Opcode::GET_GLOBAL, "@F_0").op(Opcode::CALL).op(Opcode::NIP, 2);
    return b;
}

TEST(Linker, AnonymousFunctionsOfTwoModulesGetDistinctNumbers)
{
    ScriptRunner r;
    ASSERT_TRUE(r.run(anonymousFunctionModule(10))) << r.error();
    EXPECT_EQ(r.ctx.result.integer, 10);
    ASSERT_TRUE(r.run(anonymousFunctionModule(20))) << r.error();
    EXPECT_EQ(r.ctx.result.integer, 20); // the second module's constant names its own function
    EXPECT_EQ(r.global("@F_0").kind, ValueKind::Function);
    EXPECT_EQ(r.global("@F_1").kind, ValueKind::Function);
    EXPECT_EQ(r.ctx.functionBase, 2u);
}

TEST(Linker, AModuleWithoutMainOnlyRegistersItsFunctions)
{
    ImageBuilder b;
    b.function("answer").prologue(0).pushInt(42).op(Opcode::RETURN);
    ScriptRunner r;
    ASSERT_TRUE(r.run(b));
    EXPECT_EQ(r.ctx.result.kind, ValueKind::Undefined);
    ASSERT_EQ(r.global("answer").kind, ValueKind::Function);
    ScriptValue args[1] = {ScriptValue::ofInt(0)};
    ASSERT_EQ(callFunction(r.ctx, r.global("answer"), 1, args), 1) << r.error();
    EXPECT_EQ(r.ctx.result.integer, 42);
}

TEST(Linker, JumpsOverShortOperandsLandOnTheRightWord)
{
    ImageBuilder b = mainImage();
    ImageBuilder::Label over = b.label();
    b.op(Opcode::LOCALS, 1).jump(Opcode::JUMP, over).op(Opcode::GET_LOCAL, 0).op(Opcode::GET_LOCAL, 0);
    b.bind(over).pushInt(5);
    ScriptRunner r;
    ASSERT_TRUE(r.run(b)) << r.error();
    EXPECT_EQ(r.ctx.result.integer, 5);
}

TEST(Linker, ConstantsOfEveryTag)
{
    ImageBuilder b = mainImage();
    std::uint32_t n = b.rawConstant({1});
    std::uint32_t t = b.rawConstant({2, 1});
    std::uint32_t nan = b.rawConstant({13});
    b.op(Opcode::PUSH_CONST, n).op(Opcode::SET_GLOBAL, "n");
    b.op(Opcode::PUSH_CONST, t).op(Opcode::SET_GLOBAL, "t");
    b.op(Opcode::PUSH_CONST, nan).op(Opcode::SET_GLOBAL, "nan");
    b.pushNumber(2.5).op(Opcode::SET_GLOBAL, "f");
    b.pushInt(INT64_MIN).op(Opcode::SET_GLOBAL, "i");
    b.op(Opcode::PUSH_CONST, b.regexp(u"a+", 1)).op(Opcode::SET_GLOBAL, "re");
    b.pushString(u"h\u00e9");
    ScriptRunner r;
    ASSERT_TRUE(r.run(b)) << r.error();
    EXPECT_EQ(r.global("n").kind, ValueKind::Null);
    EXPECT_EQ(r.global("t").boolean, 1u);
    EXPECT_EQ(r.global("nan").kind, ValueKind::NaN);
    EXPECT_EQ(r.global("f").number, 2.5);
    EXPECT_EQ(r.global("i").integer, INT64_MIN);
    EXPECT_EQ(r.text(r.global("re")), "a+"); // no RegExp class installed
    ASSERT_EQ(r.ctx.result.kind, ValueKind::String);
    EXPECT_TRUE(r.ctx.result.string->isStatic());
    EXPECT_EQ(r.ctx.result.string->view(), u"h\u00e9");
}

TEST(Linker, LinkingAModuleTwiceReusesItsConstants)
{
    ImageBuilder b = mainImage();
    b.pushString(u"once");
    std::vector<std::uint8_t> image = b.build();
    ModulePtr module = loadModule(image.data(), image.size());
    ScriptRunner r;
    ASSERT_EQ(protectedCall(r.ctx, [&] { linkAndRun(r.ctx, *module); }), 1);
    std::size_t count = r.ctx.constants.size();
    ASSERT_EQ(protectedCall(r.ctx, [&] { linkAndRun(r.ctx, *module); }), 1);
    EXPECT_EQ(r.ctx.constants.size(), count);
    EXPECT_EQ(r.text(r.ctx.result), "once");
}

TEST(Linker, LineRecordsGiveSourceLines)
{
    ImageBuilder b;
    b.sourceName("test.ovs");
    b.function("f").prologue(0).line(3).op(Opcode::PUSH_NULL).line(4).op(Opcode::RETURN);
    ScriptRunner r;
    ASSERT_TRUE(r.run(b));
    const ScriptFunction& fn = *r.global("f").closure->function;
    SourceLocation where;
    ASSERT_TRUE(sourceLineAt(r.ctx, fn.code.data() + fn.code.size() - 1, where));
    EXPECT_EQ(where.source, "test.ovs");
    EXPECT_EQ(where.line, 4u);
    EXPECT_EQ(functionNameAt(r.ctx, fn.code.data() + 1), "f");
    EXPECT_EQ(functionNameAt(r.ctx, nullptr), ".main");
}

TEST(Linker, WithoutLineInformationThereIsNoLocation)
{
    ImageBuilder b;
    b.function("g").prologue(0).op(Opcode::PUSH_NULL).op(Opcode::RETURN);
    ScriptRunner r;
    ASSERT_TRUE(r.run(b));
    const ScriptFunction& fn = *r.global("g").closure->function;
    SourceLocation where;
    EXPECT_FALSE(sourceLineAt(r.ctx, fn.code.data() + 2, where));
    EXPECT_EQ(functionNameAt(r.ctx, fn.code.data() + 2), "g");
}

// Images that must be refused before anything runs.
struct BadImage {
    const char* what;
    ImageBuilder image;
};

std::vector<BadImage> badImages()
{
    std::vector<BadImage> cases;
    {
        ImageBuilder b = mainImage();
        b.rawConstant({99});
        b.op(Opcode::PUSH_NULL);
        cases.push_back({"unknown constant tag", b});
    }
    {
        ImageBuilder b = mainImage();
        b.op(Opcode::PUSH_INT, 1).bytes({0x35, 0, 0, 0, 0xFD}); // back into PUSH_INT's operand
        cases.push_back({"jump into an operand", b});
    }
    {
        ImageBuilder b = mainImage();
        b.op(Opcode::PUSH_NULL).bytes({0x35, 0, 0, 0x10, 0});
        cases.push_back({"jump out of the function", b});
    }
    {
        ImageBuilder b = mainImage();
        std::uint32_t number = b.integer(3);
        b.op(Opcode::GET_GLOBAL, number);
        cases.push_back({"identifier operand naming a non-name", b});
    }
    {
        ImageBuilder b = mainImage();
        b.op(Opcode::PUSH_CONST, 7);
        cases.push_back({"literal out of range", b});
    }
    {
        ImageBuilder b = mainImage();
        b.op(Opcode::PUSH_CONST, b.name("x"));
        cases.push_back({"literal naming a name", b});
    }
    {
        ImageBuilder b = mainImage();
        b.bytes({0x59, 0, 0});
        cases.push_back({"operand cut off", b});
    }
    {
        ImageBuilder b = mainImage();
        b.op(Opcode::POP).op(Opcode::PUSH_NULL);
        cases.push_back({"pop below the frame", b});
    }
    {
        ImageBuilder b = mainImage();
        b.op(Opcode::PUSH_NULL).op(Opcode::GET_LOCAL, 3);
        cases.push_back({"local beyond the stack", b});
    }
    {
        ImageBuilder b = mainImage();
        b.op(Opcode::PUSH_NULL).op(Opcode::DROP, 0xFF); // DROP -1
        cases.push_back({"negative drop", b});
    }
    {
        ImageBuilder b = mainImage();
        b.op(Opcode::PUSH_NULL).op(Opcode::PUSH_NULL);
        b.functionAt("backwards", 1);
        b.functionAt("before", 0);
        cases.push_back({"function table not in code order", b});
    }
    {
        ImageBuilder b = mainImage();
        b.op(Opcode::PUSH_NULL);
        b.functionAt("beyond", 100);
        cases.push_back({"function beyond the code", b});
    }
    return cases;
}

TEST(Linker, RejectsImagesThatCannotRun)
{
    for (BadImage& c : badImages()) {
        ScriptRunner r;
        EXPECT_FALSE(r.run(c.image)) << c.what;
        EXPECT_STREQ(r.ctx.errorBuffer, "Runtime error: Unimplemented Orvet Script bytecode") << c.what;
    }
}

TEST(Linker, AnUnknownConstantTagIsAlsoTraced)
{
    ImageBuilder b = mainImage();
    b.rawConstant({42});
    ScriptRunner r;
    EXPECT_FALSE(r.run(b));
    ASSERT_FALSE(r.trace.empty());
    EXPECT_EQ(r.trace[0], "Unimplemented Orvet Script bytecode");
}

TEST(Linker, AFunctionTableOfFourBytesHasNoEntries)
{
    std::vector<std::uint8_t> image = startupImage();
    // Directory entry 2 (functions): length 4.
    image[4 + 2 * 12 + 8] = 4;
    ScriptRunner r;
    ASSERT_TRUE(r.run(image));
    EXPECT_EQ(r.ctx.result.kind, ValueKind::Undefined);
}

} // namespace
} // namespace orvet::test
