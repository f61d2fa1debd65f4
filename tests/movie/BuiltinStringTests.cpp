// String: every method with negative, NaN and missing arguments, case
// mapping beyond ASCII, wrapper objects against primitives, and lone
// surrogates kept as they are.
#include "ScriptPhrases.h"

#include <gtest/gtest.h>

namespace lumbra::movie::test {
namespace {

using namespace phrase;

Expr Str(const char* text, const char* method, std::vector<Expr> args = {})
{
    return Method(S(text), method, std::move(args));
}

TEST(BuiltinStrings, CharactersAndSearches)
{
    EXPECT_EQ(traced({Str("Hello", "charAt", {N(1)}), Str("Hello", "charAt", {N(-1)}), Str("Hello", "charAt", {N(10)}),
                      Str("Hello", "charAt", {N(1.7)}), Str("Hello", "charAt"), Str("Hello", "charCodeAt", {N(0)}),
                      Str("Hello", "charCodeAt", {N(9)}), Str("hello world", "indexOf", {S("o")}),
                      Str("hello world", "indexOf", {S("o"), N(5)}), Str("hello world", "indexOf", {S("o"), N(-3)}),
                      Str("hello world", "indexOf", {S("z")}), Str("hello", "indexOf", {S("")}),
                      Str("hello world", "lastIndexOf", {S("o")}), Str("hello world", "lastIndexOf", {S("o"), N(6)}),
                      Str("hello world", "lastIndexOf", {S("o"), N(-1)}), Str("hello", "lastIndexOf", {S("h"), N(0)}),
                      Str("hello", "lastIndexOf", {S("lo"), N(99)}), Str("hello", "lastIndexOf", {S("l"), S("x")})}),
              lines({"e", "", "", "e", "H", "72", "NaN", "4", "7", "4", "-1", "0", "7", "4", "-1", "0", "3", "3"}));
}

TEST(BuiltinStrings, PiecesWithNegativeAndMissingBounds)
{
    EXPECT_EQ(traced({Str("abcdef", "slice", {N(-3)}), Str("abcdef", "slice", {N(1), N(-1)}),
                      Str("abcdef", "slice", {N(4), N(2)}), Str("abcdef", "substr", {N(-2)}),
                      Str("abcdef", "substr", {N(1), N(3)}), Str("abcdef", "substr", {N(2), N(-1)}),
                      Str("abcdef", "substr", {N(-9), N(2)}), Str("abcdef", "substring", {N(4), N(1)}),
                      Str("abcdef", "substring", {N(-1), N(2)}), Str("abcdef", "substring", {Div(N(0), N(0)), N(3)}),
                      Str("abcdef", "substring", {N(2)}), Str("abc", "concat", {S("d"), N(1), B(true)})}),
              lines({"def", "bcde", "", "ef", "bcd", "", "ab", "bcd", "ab", "abc", "cdef", "abcd1true"}));
}

TEST(BuiltinStrings, SplitForms)
{
    auto joined = [](Expr array) { return Method(array, "join", {S("|")}); };
    auto count = [](Expr array) { return Member(array, "length"); };
    EXPECT_EQ(traced({joined(Str("a,b,c", "split", {S(",")})), joined(Str("a,b,c", "split", {S(","), N(2)})),
                      joined(Str("a,b", "split", {S("")})), count(Str("a,b", "split")),
                      count(Str("a,b", "split", {Undef()})), count(Str("", "split", {S(",")})),
                      joined(Str("a::b::", "split", {S("::")})), count(Str("a,b", "split", {S(","), N(0)})),
                      count(Str("", "split", {S("")}))}),
              lines({"a|b|c", "a|b", "a|,|b", "1", "1", "1", "a|b|", "0", "0"}));
}

TEST(BuiltinStrings, CaseBeyondAscii)
{
    // Latin-1, Latin Extended-A, Greek (with final sigma and tonos), Cyrillic; sharp s stays.
    EXPECT_EQ(traced({Str("stra\xc3\x9f" "e \xc3\xa0\xc3\xa9 \xc3\xbf \xc4\x85\xc4\xba \xce\xb1\xcf\x82\xce\xac "
                          "\xd0\xb6\xd1\x91 \xc3\xb7",
                          "toUpperCase"),
                      Str("\xc3\x80\xc3\x89 \xc5\xb8 \xc4\x84\xc4\xb9 \xce\x91\xce\x86\xce\xa3 \xd0\x96\xd0\x81 "
                          "\xc3\x97 ABC",
                          "toLowerCase")}),
              lines({"STRA\xc3\x9f" "E \xc3\x80\xc3\x89 \xc5\xb8 \xc4\x84\xc4\xb9 \xce\x91\xce\xa3\xce\x86 "
                     "\xd0\x96\xd0\x81 \xc3\xb7",
                     "\xc3\xa0\xc3\xa9 \xc3\xbf \xc4\x85\xc4\xba \xce\xb1\xce\xac\xcf\x83 \xd0\xb6\xd1\x91 \xc3\x97 abc"}));
}

TEST(BuiltinStrings, WrappersCodesAndSurrogates)
{
    Asm a;
    New("String", {S("abc")})(a);
    a.op(0x44).trace(); // typeof
    S("abc")(a);
    a.op(0x44).trace();
    trace(a, Member(New("String", {S("abc")}), "length"));
    trace(a, Add(New("String", {S("ab")}), S("c")));
    trace(a, Method(New("String", {S("abc")}), "toUpperCase"));
    trace(a, Method(Var("String"), "fromCharCode", {N(72), N(105)}));
    trace(a, Member(Method(Var("String"), "fromCharCode"), "length"));
    assign(a, "lone", Method(Var("String"), "fromCharCode", {N(0xD800), N(65)}));
    trace(a, Member(Var("lone"), "length"));
    trace(a, Method(Var("lone"), "charCodeAt", {N(0)}));
    trace(a, Method(Method(Var("lone"), "charAt", {N(0)}), "charCodeAt", {N(0)}));
    trace(a, Method(N(255), "toString"));
    EXPECT_EQ(run(a), lines({"object", "string", "3", "abc", "ABC", "Hi", "0", "2", "55296", "55296", "255"}));
}

} // namespace
} // namespace lumbra::movie::test
