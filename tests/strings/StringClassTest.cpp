#include "script/engine/builtins/StringClass.h"

#include <cmath>

#include "script/runtime/AtomTable.h"
#include "script/runtime/Collector.h"
#include "script/engine/builtins/RegExpData.h"
#include "tests/strings/ClassHarness.h"

namespace orvet {
namespace {

using Texts = std::vector<std::u16string>;

class StringClassTest : public ::testing::Test, protected test::ClassHarness {
 protected:
  void SetUp() override { registerStringClass(ctx); }

  NativeClass& cls() { return *kindClass(ctx, ValueKind::String); }

  // A method of a string value.
  ScriptValue on(std::u16string_view receiver, std::string_view name,
                 std::initializer_list<ScriptValue> args = {}) {
    ScriptValue value = str(receiver);
    return method(cls(), &value, name, args);
  }
  std::u16string onText(std::u16string_view receiver, std::string_view name,
                        std::initializer_list<ScriptValue> args = {}) {
    return text(on(receiver, name, args));
  }
  ScriptValue regExp(std::u16string_view pattern, std::uint8_t flags = 0) {
    ScriptValue value;
    EXPECT_TRUE(protectedCall(ctx, [&] {
      value = ctx.makeRegExp(ctx, pattern, flags | kRegExpLiteral);
    })) << ctx.errorBuffer;
    return value;
  }
  ScriptValue regExpProperty(const ScriptValue& re, std::string_view name) {
    ScriptValue value;
    NativeClass& c = *re.native->cls;
    EXPECT_EQ(c.accessProperty(ctx, c, re.native->data, ctx.intern(name), 0, &value), 1);
    return value;
  }
};

TEST_F(StringClassTest, CharAtTakesOnlyIntegers) {
  EXPECT_EQ(onText(u"abc", "charAt", {num(1)}), u"b");
  EXPECT_EQ(onText(u"abc", "charAt", {real(1.0)}), u"");
  EXPECT_EQ(onText(u"abc", "charAt", {num(3)}), u"");
  EXPECT_EQ(onText(u"abc", "charAt", {num(-1)}), u"");
  EXPECT_EQ(onText(u"abc", "charAt"), u"");
}

TEST_F(StringClassTest, CharCodeAt) {
  EXPECT_EQ(on(u"abc", "charCodeAt").integer, 'a');
  EXPECT_EQ(on(u"abc", "charCodeAt", {num(2)}).integer, 'c');
  EXPECT_EQ(on(u"abc", "charCodeAt", {num(-1)}).kind, ValueKind::NaN);
  EXPECT_EQ(on(u"abc", "charCodeAt", {str(u"1")}).kind, ValueKind::NaN);
  EXPECT_EQ(on(u"\uFFFF", "charCodeAt", {num(0)}).integer, 0xFFFF);
}

TEST_F(StringClassTest, ConcatAndCase) {
  EXPECT_EQ(onText(u"ab", "concat", {str(u"c"), str(u"de")}), u"abcde");
  EXPECT_EQ(onText(u"ab", "concat"), u"ab");
  EXPECT_EQ(onText(u"aBc-\u00E9", "toUpperCase"), u"ABC-\u00E9");
  EXPECT_EQ(onText(u"AbC", "toLowerCase"), u"abc");
}

TEST_F(StringClassTest, IndexOfAndLastIndexOf) {
  EXPECT_EQ(on(u"abcabc", "indexOf", {str(u"c")}).integer, 2);
  EXPECT_EQ(on(u"abcabc", "indexOf", {str(u"c"), num(3)}).integer, 5);
  EXPECT_EQ(on(u"abcabc", "indexOf", {str(u"c"), real(3.0)}).integer, 2);  // not an integer
  EXPECT_EQ(on(u"abcabc", "indexOf", {str(u"c"), num(-1)}).integer, -1);
  EXPECT_EQ(on(u"abcabc", "lastIndexOf", {str(u"c")}).integer, 5);
  EXPECT_EQ(on(u"abcabc", "lastIndexOf", {str(u"c"), num(4)}).integer, 2);
  EXPECT_EQ(on(u"abc", "indexOf").integer, 0);  // a missing argument is the empty text
}

TEST_F(StringClassTest, ReplaceWithAString) {
  EXPECT_EQ(onText(u"abc", "replace", {str(u"z"), str(u"x")}), u"");
  EXPECT_EQ(onText(u"abc", "replace", {str(u"b"), str(u"x")}), u"axc");
  EXPECT_EQ(onText(u"abcb", "replace", {str(u"b"), str(u"$&")}), u"a$&cb");
  EXPECT_EQ(onText(u"abc", "replace", {str(u"b")}), u"");
  EXPECT_EQ(onText(u"abc", "replace", {str(u"b"), num(1)}), u"");
  EXPECT_EQ(onText(u"abc", "replace", {num(1), str(u"x")}), u"");
}

TEST_F(StringClassTest, ReplaceWithARegularExpression) {
  EXPECT_EQ(onText(u"aaa", "replace", {regExp(u"^a", kRegExpGlobal), str(u"x")}), u"xxx");
  EXPECT_EQ(onText(u"abcbc", "replace", {regExp(u"(b)(c)", kRegExpGlobal), str(u"[$2$1]")}),
            u"a[cb][cb]");
  EXPECT_EQ(onText(u"abcbc", "replace", {regExp(u"(b)(c)", kRegExpGlobal), str(u"$&$&")}),
            u"abcbcbcbc");
  EXPECT_EQ(onText(u"abc", "replace", {regExp(u"b"), str(u"$%")}), u"a$%c");
  EXPECT_EQ(onText(u"abcb", "replace", {regExp(u"b"), str(u"x")}), u"axcb");
}

TEST_F(StringClassTest, SliceSubstrSubstring) {
  EXPECT_EQ(onText(u"abcdef", "substring", {num(3), num(1)}), u"");
  EXPECT_EQ(onText(u"abcdef", "substring", {num(1), num(3)}), u"bc");
  EXPECT_EQ(onText(u"abcdef", "slice", {num(-2)}), u"ef");
  EXPECT_EQ(onText(u"abcdef", "slice", {num(1), real(3.0)}), u"");
  EXPECT_EQ(onText(u"abcdef", "slice", {real(1.0)}), u"");
  EXPECT_EQ(onText(u"abcdef", "substr", {num(-3), num(2)}), u"de");
  EXPECT_EQ(onText(u"abcdef", "substr", {num(2), str(u"2")}), u"cdef");  // count not an integer
  EXPECT_EQ(onText(u"abcdef", "substr"), u"");
}

TEST_F(StringClassTest, SplitWithStrings) {
  EXPECT_EQ(texts(on(u"a,b,", "split", {str(u",")})), (Texts{u"a", u"b", u""}));
  EXPECT_EQ(texts(on(u"abc", "split", {str(u""), num(2)})), (Texts{u"a", u"b"}));
  EXPECT_EQ(texts(on(u"a,b", "split")), (Texts{u"a,b"}));
  EXPECT_EQ(texts(on(u"a,b", "split", {num(1)})), (Texts{u"a,b"}));
  EXPECT_EQ(texts(on(u"a,b,c", "split", {str(u","), real(2.0)})), (Texts{u"a", u"b", u"c"}));
}

TEST_F(StringClassTest, SplitWithARegularExpression) {
  EXPECT_EQ(texts(on(u"a1b22c", "split", {regExp(u"[0-9]+")})), (Texts{u"a", u"b", u"c"}));
  EXPECT_EQ(texts(on(u"a1b2c", "split", {regExp(u"[0-9]"), num(0)})), Texts{});
}

TEST_F(StringClassTest, MatchNonGlobal) {
  ScriptValue found = on(u"tel 12-34", "match", {regExp(u"([0-9]+)-(x)?")});
  EXPECT_EQ(texts(found), (Texts{u"12-", u"12"}));
  ASSERT_NE(found.array->props, nullptr);
  EXPECT_EQ(property(found.array->props, "index").integer, 4);
  EXPECT_EQ(text(property(found.array->props, "input")), u"tel 12-34");
  EXPECT_EQ(on(u"none", "match", {regExp(u"[0-9]")}).kind, ValueKind::Null);
}

TEST_F(StringClassTest, MatchGlobalAndWrongArguments) {
  EXPECT_EQ(texts(on(u"a1b22", "match", {regExp(u"[0-9]+", kRegExpGlobal)})),
            (Texts{u"1", u"22"}));
  EXPECT_EQ(texts(on(u"ab", "match", {regExp(u"x*", kRegExpGlobal)})),
            (Texts{u"", u"", u""}));
  EXPECT_EQ(texts(on(u"abc", "match", {str(u"b")})), Texts{});
  EXPECT_EQ(texts(on(u"abc", "match")), Texts{});
}

TEST_F(StringClassTest, Search) {
  EXPECT_EQ(on(u"abcc", "search", {str(u"c")}).integer, 2);
  EXPECT_EQ(on(u"abcc", "search", {str(u"z")}).integer, -1);
  EXPECT_EQ(on(u"abcc", "search", {regExp(u"c+")}).integer, 2);
  EXPECT_EQ(on(u"abcc", "search").integer, -1);
  EXPECT_EQ(on(u"abcc", "search", {num(1)}).integer, -1);
}

TEST_F(StringClassTest, HtmlMethods) {
  EXPECT_EQ(onText(u"hi", "bold"), u"<B>hi</B>");
  EXPECT_EQ(onText(u"hi", "fontColor", {str(u"red")}), u"<FONT COLOR=\"red\">hi</FONT>");
  EXPECT_EQ(onText(u"hi", "fontSize", {num(3)}), u"<FONT SIZE=\"3\">hi</FONT>");
  EXPECT_EQ(onText(u"hi", "anchor"), u"<A NAME=\"\">hi</A>");
  EXPECT_EQ(onText(u"hi", "link", {str(u"u")}), u"<A HREF=\"u\">hi</A>");
  EXPECT_EQ(onText(u"hi", "sup"), u"<SUP>hi</SUP>");
  EXPECT_EQ(onText(u"hi", "strike"), u"<STRIKE>hi</STRIKE>");
  EXPECT_TRUE(declines(cls(), nullptr, "fontcolor"));
}

TEST_F(StringClassTest, FromCharCode) {
  NativeClass& c = cls();
  ScriptValue s = method(c, nullptr, "fromCharCode",
                         {num(72), str(u" 105"), real(33.9), real(-1.5), num(0x10041), ScriptValue::null()});
  EXPECT_EQ(text(s), std::u16string(u"Hi!\uFFFFA") + u'\0');
  EXPECT_EQ(onText(u"ignored", "fromCharCode", {num(97)}), u"a");
  EXPECT_EQ(text(method(c, nullptr, "fromCharCode", {real(INFINITY)})), std::u16string(1, u'\0'));
}

TEST_F(StringClassTest, ClassObject) {
  ScriptValue classObject = global("String");
  EXPECT_EQ(text(method(cls(), nullptr, "toString")), u"[Object String]");
  ScriptValue v = method(cls(), nullptr, "valueOf");
  EXPECT_EQ(v.kind, ValueKind::Native);
  EXPECT_EQ(v.native, classObject.native);
  EXPECT_TRUE(declines(cls(), nullptr, "charAt"));
  EXPECT_EQ(text(on(u"s", "toString")), u"s");
  EXPECT_EQ(text(on(u"s", "valueOf")), u"s");
  EXPECT_TRUE(declines(cls(), nullptr, "nonsense"));
  ScriptValue receiver = str(u"abc");
  EXPECT_TRUE(declines(cls(), &receiver, "nonsense"));
}

TEST_F(StringClassTest, LengthProperty) {
  ScriptValue receiver = str(u"abc");
  ScriptValue value;
  Atom length = ctx.intern("length");
  ASSERT_EQ(cls().accessProperty(ctx, cls(), &receiver, length, 0, &value), 1);
  EXPECT_EQ(value.kind, ValueKind::Integer);
  EXPECT_EQ(value.integer, 3);
  value = num(10);
  EXPECT_EQ(cls().accessProperty(ctx, cls(), &receiver, length, 1, &value), 1);
  EXPECT_EQ(receiver.string->length, 3u);
  EXPECT_EQ(cls().accessProperty(ctx, cls(), &receiver, ctx.intern("other"), 0, &value), 0);
}

TEST_F(StringClassTest, CallAndConstruct) {
  EXPECT_EQ(text(callClass(cls(), {})), u"");
  EXPECT_EQ(text(callClass(cls(), {str(u"x")})), u"x");
  ScriptValue made = construct(cls(), {str(u"xy")});
  ASSERT_EQ(made.kind, ValueKind::String);
  EXPECT_EQ(text(made), u"xy");
  ASSERT_NE(made.string->props, nullptr);
  ScriptValue proto = property(made.string->props, "__proto__");
  ASSERT_EQ(proto.kind, ValueKind::Object);
  EXPECT_EQ(proto.object, cls().prototype);
  EXPECT_EQ(text(construct(cls(), {})), u"");
}

TEST_F(StringClassTest, EmptyRegularExpressionIsCaret) {
  ScriptValue re = regExp(u"");
  EXPECT_EQ(text(regExpProperty(re, "source")), u"^");
  EXPECT_EQ(on(u"abc", "search", {re}).integer, 0);
}

TEST_F(StringClassTest, PatternThatDoesNotCompileRaises) {
  EXPECT_FALSE(protectedCall(ctx, [&] { ctx.makeRegExp(ctx, u"(", kRegExpLiteral); }));
  EXPECT_STREQ(ctx.errorBuffer,
               "Runtime error: RegExp runtime error: Unmatched marking parenthesis ( or \\(.");
}

TEST_F(StringClassTest, RegExpInstanceProperties) {
  ScriptValue re = regExp(u"c", kRegExpGlobal | kRegExpIgnoreCase);
  EXPECT_EQ(regExpProperty(re, "global").boolean, 1u);
  EXPECT_EQ(regExpProperty(re, "ignoreCase").boolean, 1u);
  EXPECT_EQ(regExpProperty(re, "multiline").boolean, 0u);
  EXPECT_EQ(on(u"abCc", "search", {re}).integer, 2);
  EXPECT_EQ(regExpProperty(re, "lastIndex").integer, 3);
  ScriptValue zero = num(0);
  NativeClass& c = *re.native->cls;
  EXPECT_EQ(c.accessProperty(ctx, c, re.native->data, ctx.intern("lastIndex"), 1, &zero), 1);
  EXPECT_EQ(on(u"abCc", "search", {re}).integer, 2);
  EXPECT_EQ(text(method(c, re.native->data, "toString")), u"[object RegExp]");
}

TEST_F(StringClassTest, ClassWideMatchState) {
  onText(u"x-ab-y", "replace", {regExp(u"(a)(b)"), str(u"")});
  NativeClass& c = classOf("RegExp");
  auto read = [&](std::string_view name) {
    ScriptValue value;
    EXPECT_EQ(c.accessProperty(ctx, c, nullptr, ctx.intern(name), 0, &value), 1);
    return text(value);
  };
  EXPECT_EQ(read("input"), u"x-ab-y");
  EXPECT_EQ(read("lastMatch"), u"ab");
  EXPECT_EQ(read("$2"), u"b");
  EXPECT_EQ(read("$3"), u"");
}

TEST_F(StringClassTest, RegExpConstantsStillWorkAfterTheGlobalIsReplaced) {
  ctx.global(ctx.intern("RegExp")) = ScriptValue::null();
  ctx.sp = ctx.stackEnd();
  collect(ctx);
  ScriptValue re = regExp(u"b");
  ASSERT_EQ(re.kind, ValueKind::Native);
  EXPECT_EQ(on(u"abc", "search", {re}).integer, 1);
}

}  // namespace
}  // namespace orvet
