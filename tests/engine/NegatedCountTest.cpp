// Native built-ins called by hand-made images with a negated argument count,
// the form array literals use: every native sees the count's magnitude, so
// none reads past its arguments or leaves an array with a wrong length.
#include "tests/engine/EngineFixture.h"
#include "tests/runtime/ImageBuilder.h"

#include "script/runtime/Opcode.h"

namespace orvet::test {
namespace {

using Op = Opcode;
using NegatedCountTest = EngineFixture;

TEST_F(NegatedCountTest, NativesSeeTheMagnitudeOfTheCount)
{
    ImageBuilder b;
    b.function(".main").pushInt(0); // the value the run leaves
    // [3, 4] and [5]: a literal's single integer is an element, not a length.
    b.pushInt(4).pushInt(3).pushInt(-2).op(Op::GET_GLOBAL, "Array").op(Op::CALL).op(Op::NIP, 4);
    b.op(Op::SET_GLOBAL, "a");
    b.pushInt(5).pushInt(-1).op(Op::GET_GLOBAL, "Array").op(Op::CALL).op(Op::NIP, 3);
    b.op(Op::SET_GLOBAL, "one");
    // a.unshift(1, 2), Math.max(7, 9) and "abcdef".substring(1, 3), each
    // with its count negated.
    b.pushInt(2).pushInt(1).pushInt(-2).op(Op::GET_GLOBAL, "a").op(Op::CALL_METHOD, "unshift").op(Op::NIP, 4);
    b.op(Op::SET_GLOBAL, "length");
    b.pushInt(9).pushInt(7).pushInt(-2).op(Op::GET_GLOBAL, "Math").op(Op::CALL_METHOD, "max").op(Op::NIP, 4);
    b.op(Op::SET_GLOBAL, "largest");
    b.pushInt(3).pushInt(1).pushInt(-2).pushString(u"abcdef").op(Op::CALL_METHOD, "substring").op(Op::NIP, 4);
    b.op(Op::SET_GLOBAL, "part");
    const std::vector<std::uint8_t> image = b.build();
    ASSERT_EQ(RunCompiledMemory(*engine, image.data(), image.size()), 1) << ctx().errorBuffer;

    EXPECT_EQ(value("length"), "int 4");
    EXPECT_EQ(value("a.length + ':' + a.join()"), "4:1,2,3,4");
    EXPECT_EQ(value("one.length + ':' + one[0]"), "1:5");
    EXPECT_EQ(value("largest"), "float 9");
    EXPECT_EQ(value("part"), "bc");
}

} // namespace
} // namespace orvet::test
