// The percent-encoding that data files store strings in, by the URI
// functions' rules (ECMAScript 3, 15.1.3).
#include "host/UriText.h"

#include <gtest/gtest.h>

namespace lumbra {
namespace {

std::u16string encoded(std::u16string_view text, UriScope scope = UriScope::Whole)
{
    return encodeUri(text, scope).value_or(u"<error>");
}

std::u16string decoded(std::u16string_view text, UriScope scope = UriScope::Whole)
{
    return decodeUri(text, scope).value_or(u"<error>");
}

TEST(UriText, EncodeKeepsTheSetsOfItsScope)
{
    EXPECT_EQ(encoded(u"a b/c", UriScope::Component), u"a%20b%2Fc");
    EXPECT_EQ(encoded(u"a b/c"), u"a%20b/c");
    EXPECT_EQ(encoded(u"\u00e9"), u"%C3%A9");
    EXPECT_EQ(encoded(u";/?:@&=+$,#-_.!~*'()AZaz09"), u";/?:@&=+$,#-_.!~*'()AZaz09");
    EXPECT_EQ(encoded(u"[]\r\n%\"<>"), u"%5B%5D%0D%0A%25%22%3C%3E");
    EXPECT_EQ(encoded(u"\u20ac"), u"%E2%82%AC");
    EXPECT_EQ(encoded(u"\U0001F600"), u"%F0%9F%98%80");
}

TEST(UriText, EncodeRejectsLoneSurrogates)
{
    EXPECT_FALSE(encodeUri(u"\xD800", UriScope::Whole));
    EXPECT_FALSE(encodeUri(u"a\xD800z", UriScope::Whole));
    EXPECT_FALSE(encodeUri(u"\xDC00", UriScope::Whole));
    EXPECT_FALSE(encodeUri(u"\xDC00\xD800", UriScope::Whole));
}

TEST(UriText, DecodeLeavesReservedEscapesOfWholeUris)
{
    EXPECT_EQ(decoded(u"%2F%41"), u"%2FA");
    EXPECT_EQ(decoded(u"%2F%41", UriScope::Component), u"/A");
    EXPECT_EQ(decoded(u"%c3%a9"), u"\u00e9");
    EXPECT_EQ(decoded(u"%F0%9F%98%80"), u"\U0001F600");
}

TEST(UriText, DecodeRejectsBrokenSequences)
{
    for (std::u16string_view bad : {u"%E0%A4", u"%", u"%4", u"%G0", u"%80", u"%C3", u"%C3%41", u"%C0%80",
                                    u"%ED%A0%80", u"%F4%90%80%80", u"%FF"})
        EXPECT_FALSE(decodeUri(bad, UriScope::Component)) << std::string(bad.begin(), bad.end());
}

TEST(UriText, EveryBmpCharacterComesBack)
{
    std::u16string all;
    for (char32_t c = 1; c < 0x10000; ++c)
        if (c < 0xD800 || c > 0xDFFF)
            all.push_back(char16_t(c));
    all += u"\U00010000\U0010FFFF";
    for (UriScope scope : {UriScope::Whole, UriScope::Component})
        EXPECT_EQ(decodeUri(*encodeUri(all, scope), scope), all);
}

} // namespace
} // namespace lumbra
