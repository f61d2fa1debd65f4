#include <gtest/gtest.h>

#include <vector>

#include "script/compiler/Lexer.h"

namespace orvet {
namespace {

struct Lexed {
    std::vector<Token> tokens; // up to and including the end token
    std::string messages;
    bool failed = false;
};

Lexed lex(std::string_view text, bool warnLineTerminators = false)
{
    Lexed result;
    ByteStream source = ByteStream::fromText(text);
    ByteStream messages = ByteStream::memory();
    Diagnostics diagnostics(messages);
    Lexer lexer(source, diagnostics, warnLineTerminators);
    try {
        do
            result.tokens.push_back(lexer.next());
        while (result.tokens.back().kind != tk::End);
    } catch (const CompileError&) {
        result.failed = true;
    }
    result.messages.assign(messages.bytes().begin(), messages.bytes().end());
    return result;
}

std::vector<int> kinds(const Lexed& lexed)
{
    std::vector<int> out;
    for (const Token& t : lexed.tokens)
        out.push_back(t.kind);
    return out;
}

TEST(Lexer, EmptySourceIsEndOnLineZero)
{
    Lexed r = lex("");
    ASSERT_EQ(r.tokens.size(), 1u);
    EXPECT_EQ(r.tokens[0].kind, tk::End);
    EXPECT_EQ(r.tokens[0].line, 0);
}

TEST(Lexer, LinesCountFeedsInsideCommentsAndStrings)
{
    Lexed r = lex("a /* x\n y */ b\n'p\nq' // c\nd");
    ASSERT_FALSE(r.failed);
    ASSERT_EQ(r.tokens.size(), 5u);
    EXPECT_EQ(r.tokens[0].line, 0);
    EXPECT_EQ(r.tokens[1].text, "b");
    EXPECT_EQ(r.tokens[1].line, 1);
    EXPECT_EQ(r.tokens[2].kind, tk::String);
    EXPECT_EQ(r.tokens[2].text, "p\nq");
    EXPECT_EQ(r.tokens[2].line, 2);
    EXPECT_EQ(r.tokens[3].text, "d");
    EXPECT_EQ(r.tokens[3].line, 4);
    EXPECT_EQ(r.tokens[4].line, 4);
}

TEST(Lexer, UnterminatedBlockCommentEndsInputSilently)
{
    Lexed r = lex("a /* never closed\n");
    EXPECT_FALSE(r.failed);
    EXPECT_EQ(r.messages, "");
    EXPECT_EQ(kinds(r), (std::vector<int>{tk::Identifier, tk::End}));
}

TEST(Lexer, HashBangAndNulEndLinesAndInput)
{
    Lexed r = lex("#!/bin/orvet\nx");
    EXPECT_EQ(kinds(r), (std::vector<int>{tk::Identifier, tk::End}));
    EXPECT_EQ(r.tokens[0].line, 1);
    std::string withNul("a\0b", 3);
    EXPECT_EQ(kinds(lex(withNul)), (std::vector<int>{tk::Identifier, tk::End}));
}

TEST(Lexer, NumericLiterals)
{
    Lexed r = lex("0x 0x1G 010 08 9223372036854775807 9223372036854775808 .5 3in 0xFFFFFFFFFFFFFFFFF 1.5e3");
    ASSERT_FALSE(r.failed) << r.messages;
    const std::vector<int> expected{tk::Integer, tk::Integer, tk::Identifier, tk::Integer, tk::Integer, tk::Integer,
                                    tk::Integer, tk::Number, tk::Number, tk::Integer, tk::In, tk::Integer,
                                    tk::Number, tk::End};
    ASSERT_EQ(kinds(r), expected);
    EXPECT_EQ(r.tokens[0].integer, 0);
    EXPECT_EQ(r.tokens[1].integer, 1);
    EXPECT_EQ(r.tokens[2].text, "G");
    EXPECT_EQ(r.tokens[3].integer, 8);
    EXPECT_EQ(r.tokens[4].integer, 0);
    EXPECT_EQ(r.tokens[5].integer, 8);
    EXPECT_EQ(r.tokens[6].integer, INT64_MAX);
    EXPECT_DOUBLE_EQ(r.tokens[7].number, 9223372036854775808.0);
    EXPECT_DOUBLE_EQ(r.tokens[8].number, 0.5);
    EXPECT_EQ(r.tokens[9].integer, 3);
    EXPECT_EQ(r.tokens[11].integer, -1); // wraps
    EXPECT_DOUBLE_EQ(r.tokens[12].number, 1500.0);
}

TEST(Lexer, ExponentNeedsDigits)
{
    Lexed r = lex("x = 1e");
    EXPECT_TRUE(r.failed);
    EXPECT_EQ(r.messages, "error: line 0: invalid exponent part in a decimal literal\r\n");
    EXPECT_TRUE(lex("\n2e+").failed);
    EXPECT_EQ(lex("\n2e+").messages, "error: line 1: invalid exponent part in a decimal literal\r\n");
}

TEST(Lexer, StringEscapes)
{
    Lexed r = lex(R"("\u0141\101\0101\a\b\f\n\r\t\v\\\'\"\?\x7e\377\400")");
    ASSERT_FALSE(r.failed) << r.messages;
    EXPECT_EQ(r.tokens[0].text, std::string("AAA\a\b\f\n\r\t\v\\'\"?~\xff") + std::string("\x00", 1));
}

TEST(Lexer, UnknownEscapeWarnsAndKeepsCharacter)
{
    Lexed r = lex("'\\q'");
    ASSERT_FALSE(r.failed);
    EXPECT_EQ(r.tokens[0].text, "q");
    EXPECT_EQ(r.messages, "warning: line 0: unknown escape sequence '\\q'\r\n");
}

TEST(Lexer, LineContinuationJoinsLines)
{
    Lexed r = lex("'ab\\\ncd' x");
    ASSERT_FALSE(r.failed);
    EXPECT_EQ(r.tokens[0].text, "abcd");
    EXPECT_EQ(r.tokens[1].line, 1);
}

TEST(Lexer, LineTerminatorWarningOnlyWithOptionAndOncePerLiteral)
{
    EXPECT_EQ(lex("'a\nb\nc'").messages, "");
    EXPECT_EQ(lex("'a\nb\nc' 'd\n'", true).messages,
              "warning: line 0: ECMAScript don't allow line terminators in string constants\r\n"
              "warning: line 2: ECMAScript don't allow line terminators in string constants\r\n");
}

TEST(Lexer, StringErrors)
{
    EXPECT_EQ(lex("\n'abc\n").messages, "error: line 1: unterminated string constant\r\n");
    EXPECT_EQ(lex("'\\x4").messages, "error: line 0: unterminated string constant\r\n");
    EXPECT_EQ(lex("'\\x4g'").messages, "error: line 0: illegal character '\\x4g'\r\n");
    EXPECT_EQ(lex("'\\u12zz'").messages, "error: line 0: illegal unicode character '\\u12zz'\r\n");
    EXPECT_EQ(lex("'\\u12").messages, "error: line 0: unterminated string constant\r\n");
    EXPECT_EQ(lex("\"\"").tokens[0].text, "");
}

TEST(Lexer, CharacterLiterals)
{
    Lexed r = lex("#'a' #'\\n' #'\\xff' # #'");
    EXPECT_EQ(r.tokens[0].kind, tk::Integer);
    EXPECT_EQ(r.tokens[0].integer, 97);
    EXPECT_EQ(r.tokens[1].integer, 10);
    EXPECT_EQ(r.tokens[2].integer, -1);
    EXPECT_EQ(r.tokens[3].kind, '#');
    EXPECT_TRUE(r.failed);
    EXPECT_EQ(r.messages, "error: line 0: unterminated character constant\r\n");
    EXPECT_EQ(lex("#''").messages, "error: line 0: illegal character\r\n");
    EXPECT_EQ(lex("#'ab'").messages, "error: line 0: illegal character\r\n");
}

TEST(Lexer, OperatorsLongestMatch)
{
    Lexed r = lex("a >>>= b === c !== d >>> e >>= f <<= g && h || i ++ -- ^= |= &= %= ( ; @ \x80");
    const std::vector<int> expected{tk::Identifier, tk::UshrAssign, tk::Identifier, tk::StrictEq, tk::Identifier,
                                    tk::StrictNotEq, tk::Identifier, tk::Ushr, tk::Identifier, tk::ShrAssign,
                                    tk::Identifier, tk::ShlAssign, tk::Identifier, tk::AndAnd, tk::Identifier,
                                    tk::OrOr, tk::Identifier, tk::PlusPlus, tk::MinusMinus, tk::XorAssign,
                                    tk::OrAssign, tk::AndAssign, tk::ModAssign, '(', ';', '@', tk::HighByte + 0x80, tk::End};
    EXPECT_EQ(kinds(r), expected);
}

TEST(Lexer, HighBytesAreNeverNamedTokens)
{
    // 0x80 and 0x85 must not pass for the end of input or "break".
    Lexed r = lex("a \x80 \x85 \xC0 b");
    EXPECT_EQ(kinds(r), (std::vector<int>{tk::Identifier, tk::HighByte + 0x80, tk::HighByte + 0x85,
                                          tk::HighByte + 0xC0, tk::Identifier, tk::End}));
}

TEST(Lexer, EveryKeywordHasItsCode)
{
    const char* words[] = {"break", "continue", "delete", "else", "for", "function", "if", "in", "new",
                           "return", "this", "typeof", "var", "void", "while", "with", "case", "catch",
                           "class", "const", "debugger", "default", "do", "enum", "export", "extends",
                           "finally", "import", "super", "switch", "throw", "try", "null", "true", "false"};
    int code = tk::Break;
    for (const char* word : words)
        EXPECT_EQ(lex(word).tokens[0].kind, code++) << word;
    EXPECT_EQ(code, tk::False + 1);
    EXPECT_EQ(lex("breaks").tokens[0].kind, tk::Identifier);
}

TEST(Lexer, KeywordsAreCaseSensitive)
{
    Lexed r = lex("undefined Undefined while enum $x _y");
    EXPECT_EQ(kinds(r), (std::vector<int>{tk::Undefined, tk::Identifier, tk::While, tk::Enum, tk::Identifier,
                                          tk::Identifier, tk::End}));
}

} // namespace
} // namespace orvet
