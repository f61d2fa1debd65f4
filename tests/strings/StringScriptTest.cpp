// The classes as scripts see them: literals, method calls on string values
// and the Date constructor, through the whole engine.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "script/engine/EngineRun.h"
#include "script/engine/ScriptEngine.h"

namespace orvet {
namespace {

class StringScriptTest : public ::testing::Test {
 protected:
  void SetUp() override {
#ifndef _WIN32
    setenv("TZ", "CET-1", 1);
#endif
    engine_ = CreateEngine();
    ASSERT_TRUE(engine_);
    SetTraceOutput(*engine_, collect, &lines_);
  }

  // The trace lines of a script, which must run without error.
  std::vector<std::string> run(const char* text) {
    lines_.clear();
    EXPECT_EQ(RunSourceText(*engine_, text), 1) << engine_->context->errorBuffer;
    return lines_;
  }

  static bool zoneIsUtcPlusOne() {
    const char* tz = std::getenv("TZ");
    return tz && std::string(tz) == "CET-1";
  }

 private:
  static void collect(void* data, std::string_view line) {
    static_cast<std::vector<std::string>*>(data)->emplace_back(line);
  }

  EnginePtr engine_;
  std::vector<std::string> lines_;
};

using Lines = std::vector<std::string>;

// Searches the library abandons with its own limits: heavy backtracking on
// a short text, and a repeated group over a long one. They find their match.
TEST_F(StringScriptTest, CostlySearchesComplete) {
  EXPECT_EQ(run("var m = 'xxxxxxxxxxxxxxxzxxy'.match(/(x+x+)+y/);"
                "var k = 'aaaaaaaaaaaaaaacab'.match(/(a*)*b/);"
                "trace(m[0], ' ', k[0]);"),
            Lines{"xxy ab"});
  EXPECT_EQ(run("var s = 'a'; while (s.length < 50000) s = s + s; s = s.substring(0, 50000);"
                "trace(s.match(/^(a)*$/)[0].length, ' ', s.match(/(a|b)*$/)[0].length, ' ',"
                "      s.replace(/^(a)*$/, 'all'), ' ', s.search(/(a)*$/), ' ', (s + 'b').split(/(a)*/).length);"
                "var t = s.substring(0, 100); trace((t + 'b').split(/(a)*/).length);"),
            (Lines{"50000 50000 all 0 4", "4"}));
}

// Where even the budget is not enough, the script learns it by an error it
// can catch, never by a wrong "no match".
TEST_F(StringScriptTest, AnAbandonedSearchIsARuntimeError) {
  EXPECT_EQ(run("var r; try { r = 'xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxz'.match(/(x+x+)+y/); }"
                "catch (e) { r = e; } trace(r);"),
            Lines{"Runtime error: Regular expression search abandoned: The complexity of matching the "
                  "regular expression exceeded predefined bounds.  Try refactoring the regular expression to "
                  "make each choice made by the state machine unambiguous.  This exception is thrown to "
                  "prevent \"eternal\" matches that take an indefinite period time to locate."});
}

TEST_F(StringScriptTest, ReplaceQuirks) {
  EXPECT_EQ(run("var s = 'abc'; trace(s.replace('z', 'x') + '|' + s.replace('b', 'x'));"),
            Lines{"|axc"});
  EXPECT_EQ(run("trace('aaa'.replace(/^a/g, 'x'));"), Lines{"xxx"});
  EXPECT_EQ(run("trace('abcbc'.replace(/(b)(c)/g, '[$2$1]'));"
                "trace('abcbc'.replace(/(b)(c)/g, '$&$&'));"
                "trace('abc'.replace(/b/, '$z'));"),
            (Lines{"a[cb][cb]", "abcbcbcbc", "a$zc"}));
}

TEST_F(StringScriptTest, SplitAndSubstrings) {
  EXPECT_EQ(run("var p = 'a,b,'.split(','); trace(p.length + ':' + p[2] + ':');"
                "trace('abc'.split('', 2));"
                "trace('a1b22c'.split(/[0-9]+/));"
                "trace('abcdef'.substring(3, 1) + '|' + 'abcdef'.slice(-2));"),
            (Lines{"3::", "a,b", "a,b,c", "|ef"}));
}

TEST_F(StringScriptTest, MatchAndRegExpState) {
  EXPECT_EQ(run("var m = 'tel 12-34'.match(/(\\d+)-(\\d+)/);"
                "trace(m + ' ' + m.index + ' ' + m.input);"
                "trace('a1b22'.match(/\\d+/g));"
                "trace('x-ab-y'.search(/ab/) + ' ' + RegExp.lastMatch + ' ' + RegExp.input);"),
            (Lines{"12-34,12,34 4 tel 12-34", "1,22", "2 ab x-ab-y"}));
}

TEST_F(StringScriptTest, BadPatternIsARuntimeError) {
  EXPECT_EQ(run("try { eval('var r = /(/;'); } catch (e) { trace(e); }"),
            Lines{"Runtime error: RegExp runtime error: Unmatched marking parenthesis ( or \\(."});
}

TEST_F(StringScriptTest, MethodsOnStringValues) {
  EXPECT_EQ(run("trace('hi'.bold() + 'hi'.fontColor('red'));"
                "trace(String.toString() + ' ' + 'abc'.length + ' ' + 'abc'.charCodeAt());"
                "trace(String.fromCharCode(72, 105) + 'aBc'.toUpperCase());"
                "var n = new String('xy'); trace(n + n.length);"),
            (Lines{"<B>hi</B><FONT COLOR=\"red\">hi</FONT>", "[Object String] 3 97", "HiABC",
                   "xy2"}));
}

TEST_F(StringScriptTest, DatesAtUtcPlusOne) {
  if (!zoneIsUtcPlusOne()) GTEST_SKIP() << "run with TZ=CET-1";
  EXPECT_EQ(run("var d = new Date(1995, 11, 25, 13, 30);"
                "trace(d); trace(d.toGMTString()); trace(d.getTimezoneOffset());"
                "trace(Date.parse('Dec 25, 1995 13:30:00 GMT+0100') == d.getTime());"
                "trace(new Date(0).getUTCDay());"
                "d.setYear(95); trace(d.getYear());"
                "trace(d.setMonth('x') == d.getTime());"
                "trace(new Date(-1, 0, 1));"),
            (Lines{"Mon Dec 25 13:30:00 GMT+100 1995", "Mon, 25 Dec 1995 12:30:00 GMT", "-60",
                   "true", "4", "95", "true", "Fri Jan 01 00:00:00 GMT+100 0002 B.C."}));
}

}  // namespace
}  // namespace orvet
