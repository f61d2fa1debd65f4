// The four URI functions as scripts call them: the documented examples, every
// surrogate rule, broken escapes, and the whole Basic Multilingual Plane and
// every supplementary character checked against the platform's own UTF-8
// converter and round-tripped.
#include <gtest/gtest.h>

#include <string>

#include "host/UriFunctions.h"
#include "script/engine/ClassRegistration.h"
#include "tests/host/ScriptHost.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <iconv.h>
#endif

namespace lumbra::test {
namespace {

orvet::HostClasses uriClasses()
{
    orvet::HostClasses classes;
    classes.applicationFunctions = [](orvet::ScriptEngine& engine, void*) { host::registerUriFunctions(*engine.context); };
    return classes;
}

// UTF-8 of UTF-16 text by the platform's converter, not ours.
std::string platformUtf8(const std::u16string& text)
{
#ifdef _WIN32
    const auto* wide = reinterpret_cast<const wchar_t*>(text.data());
    const int size = WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, wide, static_cast<int>(text.size()),
                                         nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, wide, static_cast<int>(text.size()), out.data(), size,
                        nullptr, nullptr);
    return out;
#else
    iconv_t cd = iconv_open("UTF-8", "UTF-16LE");
    std::string in(reinterpret_cast<const char*>(text.data()), text.size() * 2);
    std::string out(text.size() * 4, '\0');
    char* src = in.data();
    char* dst = out.data();
    std::size_t inLeft = in.size(), outLeft = out.size();
    iconv(cd, &src, &inLeft, &dst, &outLeft);
    iconv_close(cd);
    out.resize(out.size() - outLeft);
    return out;
#endif
}

// Every byte as "%XX" except the characters that stay.
std::u16string percentEncoded(const std::string& utf8, std::u16string_view kept)
{
    static const char16_t digits[] = u"0123456789ABCDEF";
    std::u16string out;
    for (const unsigned char byte : utf8) {
        if (byte < 0x80 && kept.find(char16_t(byte)) != std::u16string_view::npos) {
            out += char16_t(byte);
        } else {
            out += u'%';
            out += digits[byte >> 4];
            out += digits[byte & 15];
        }
    }
    return out;
}

constexpr std::u16string_view kUnescaped =
    u"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_.!~*'()";
constexpr std::u16string_view kUnescapedAndReserved =
    u"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_.!~*'();/?:@&=+$,#";

class UriFunctions : public ::testing::Test {
protected:
    void setText(const std::u16string& text) { host.ctx().global(host.ctx().intern("s")) = orvet::stringValue(host.ctx(), text); }

    // Runs `call` (e.g. "decodeURI(s)") over the text; its result must be
    // Undefined with exactly one "Invalid URI string" trace line.
    void expectInvalid(const std::string& function, const std::u16string& text)
    {
        setText(text);
        host.traced.clear();
        EXPECT_EQ(host.value(function + "(s)"), "undefined") << function;
        EXPECT_EQ(host.traced, std::vector<std::string>{"Invalid URI string"}) << function;
    }

    std::u16string call(const std::string& function, const std::u16string& text)
    {
        setText(text);
        return host.text(function + "(s)");
    }

    ScriptHost host{uriClasses()};
};

TEST_F(UriFunctions, DocumentedExamples)
{
    EXPECT_EQ(host.value("encodeURIComponent('a b/c')"), "a%20b%2Fc");
    EXPECT_EQ(host.value("encodeURI('a b/c')"), "a%20b/c");
    // Script literals are 8-bit text: \u00E9 is the character U+00E9.
    EXPECT_EQ(host.value("encodeURI('\\u00E9')"), "%C3%A9");
    EXPECT_EQ(host.value("decodeURI('%2F%41')"), "%2FA");
    EXPECT_EQ(host.value("decodeURIComponent('%2F%41')"), "/A");
    EXPECT_TRUE(host.traced.empty());
}

TEST_F(UriFunctions, ArgumentsAreTextOrNothing)
{
    EXPECT_EQ(host.value("encodeURI()"), "undefined");
    EXPECT_EQ(host.value("decodeURIComponent()"), "undefined");
    EXPECT_EQ(host.value("encodeURIComponent(12.5)"), "12.5");
    EXPECT_EQ(host.value("encodeURI(null) == String(null)"), "true");
    EXPECT_EQ(host.value("var o = new Object(); o.toString = function() { return '?&'; }; encodeURIComponent(o)"), "%3F%26");
    EXPECT_EQ(host.value("decodeURI('')"), "");
    EXPECT_TRUE(host.traced.empty());
}

TEST_F(UriFunctions, ReservedCharactersDependOnTheFunction)
{
    const std::string reserved = ";/?:@&=+$,#";
    EXPECT_EQ(host.value("encodeURI('" + reserved + "')"), reserved);
    EXPECT_EQ(host.value("encodeURIComponent('" + reserved + "')"), "%3B%2F%3F%3A%40%26%3D%2B%24%2C%23");
    // decodeURI keeps a reserved escape exactly as written, small digits too.
    EXPECT_EQ(host.value("decodeURI('%3b%2F%3F%3A%40%26%3D%2B%24%2C%23%20%7e')"),
              "%3b%2F%3F%3A%40%26%3D%2B%24%2C%23 ~");
    EXPECT_EQ(host.value("decodeURIComponent('%3b%2F%3F%3A%40%26%3D%2B%24%2C%23')"), reserved);
    EXPECT_EQ(host.value("encodeURIComponent(\"-_.!~*'()\")"), "-_.!~*'()");
    EXPECT_EQ(host.value("encodeURI('[]<>\"%')"), "%5B%5D%3C%3E%22%25");
}

TEST_F(UriFunctions, SurrogatesWhenEncoding)
{
    EXPECT_EQ(call("encodeURI", u"\xD800\xDC00"), u"%F0%90%80%80");
    EXPECT_EQ(call("encodeURIComponent", u"\xDBFF\xDFFF"), u"%F4%8F%BF%BF");
    EXPECT_EQ(call("encodeURI", u"x\xD83D\xDE00y"), u"x%F0%9F%98%80y");
    for (const char* function : {"encodeURI", "encodeURIComponent"}) {
        expectInvalid(function, u"\xD800");             // high at the end
        expectInvalid(function, u"a\xDBFF" u"b");       // high before an ordinary unit
        expectInvalid(function, u"\xD800\xD800\xDC00"); // high before another high
        expectInvalid(function, u"\xDC00");             // low on its own
        expectInvalid(function, u"\xDFFF\xD800");       // low before high
        expectInvalid(function, u"ok\xDC00\xDC00");
    }
}

TEST_F(UriFunctions, SequencesWhenDecoding)
{
    EXPECT_EQ(call("decodeURIComponent", u"%c3%A9"), u"\u00E9");
    EXPECT_EQ(call("decodeURI", u"%E2%82%AC"), u"\u20AC");
    EXPECT_EQ(call("decodeURI", u"%F0%90%80%80"), u"\xD800\xDC00");
    EXPECT_EQ(call("decodeURI", u"%F4%8F%BF%BF"), u"\xDBFF\xDFFF");
    EXPECT_EQ(call("decodeURI", u"%EF%BF%BF"), u"\xFFFF");
    EXPECT_EQ(call("decodeURI", u"100%25"), u"100%");
    EXPECT_EQ(call("decodeURI", u"\xD800"), u"\xD800"); // units that are no escape are copied

    for (const char* function : {"decodeURI", "decodeURIComponent"}) {
        expectInvalid(function, u"%E0%A4");          // truncated three-byte sequence
        expectInvalid(function, u"%");
        expectInvalid(function, u"%4");
        expectInvalid(function, u"a%4");
        expectInvalid(function, u"%G1");
        expectInvalid(function, u"%1G");
        expectInvalid(function, u"%80");             // continuation byte first
        expectInvalid(function, u"%BF%41");
        expectInvalid(function, u"%C2%41");          // lead byte, then no continuation
        expectInvalid(function, u"%C2A");
        expectInvalid(function, u"%C2%C2%A9");
        expectInvalid(function, u"%C0%80");          // overlong
        expectInvalid(function, u"%E0%80%AF");
        expectInvalid(function, u"%F0%80%80%80");
        expectInvalid(function, u"%ED%A0%80");       // an encoded surrogate
        expectInvalid(function, u"%ED%BF%BF");
        expectInvalid(function, u"%F4%90%80%80");    // past U+10FFFF
        expectInvalid(function, u"%F7%BF%BF%BF");
        expectInvalid(function, u"%F8%88%80%80%80"); // five and six bytes
        expectInvalid(function, u"%FC%84%80%80%80%80");
        expectInvalid(function, u"%FE");
        expectInvalid(function, u"%FF%80");
    }
}

TEST_F(UriFunctions, ErrorsAreNoExceptions)
{
    EXPECT_EQ(host.value("var r = 'none'; try { r = typeof encodeURI(String.fromCharCode(0xD800)); } catch (e) { r = 'caught'; } r"),
              "undefined");
    EXPECT_EQ(host.traced, std::vector<std::string>{"Invalid URI string"});
    // Without a trace output the line is dropped and nothing else happens.
    orvet::SetTraceOutput(*host.engine, nullptr, nullptr);
    EXPECT_EQ(host.value("decodeURI('%E0%A4') + '.'"), "undefined.");
}

TEST_F(UriFunctions, WholeBasicMultilingualPlane)
{
    std::u16string plane;
    for (char32_t c = 0; c <= 0xFFFF; ++c)
        if (c < 0xD800 || c > 0xDFFF)
            plane += char16_t(c);
    const std::string utf8 = platformUtf8(plane);
    ASSERT_GT(utf8.size(), plane.size() * 2);

    const std::u16string component = call("encodeURIComponent", plane);
    EXPECT_EQ(component, percentEncoded(utf8, kUnescaped));
    const std::u16string whole = call("encodeURI", plane);
    EXPECT_EQ(whole, percentEncoded(utf8, kUnescapedAndReserved));

    EXPECT_TRUE(call("decodeURIComponent", component) == plane);
    EXPECT_TRUE(call("decodeURI", whole) == plane);
    // decodeURI of the fully escaped text restores all but the reserved set.
    std::u16string keptEscapes;
    for (const char16_t c : plane) {
        if (c < 0x80 && std::u16string_view(u";/?:@&=+$,#").find(c) != std::u16string_view::npos)
            keptEscapes += percentEncoded(std::string(1, char(c)), u"");
        else
            keptEscapes += c;
    }
    EXPECT_TRUE(call("decodeURI", component) == keptEscapes);
    EXPECT_TRUE(host.traced.empty());
}

TEST_F(UriFunctions, EverySupplementaryCharacter)
{
    std::u16string pairs;
    for (char32_t c = 0x10000; c <= 0x10FFFF; ++c) {
        pairs += char16_t(0xD800 + ((c - 0x10000) >> 10));
        pairs += char16_t(0xDC00 + ((c - 0x10000) & 0x3FF));
    }
    const std::u16string encoded = call("encodeURIComponent", pairs);
    EXPECT_TRUE(encoded == percentEncoded(platformUtf8(pairs), u""));
    EXPECT_TRUE(call("decodeURIComponent", encoded) == pairs);
}

} // namespace
} // namespace lumbra::test
