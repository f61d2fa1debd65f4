#include "tools/pack/Manifest.h"
#include "tools/pack/ReportTree.h"
#include "tools/pack/SettingsFields.h"
#include "tools/pack/Utf8.h"

#include <gtest/gtest.h>

namespace lumbra::pack {
namespace {

TEST(Manifest, SectionsKeysQuotesAndComments)
{
    Manifest manifest = Manifest::parse("\xEF\xBB\xBF# comment\n; another\n\n[Package]\r\n"
                                        "identity =  Acme/Viewer\\1.0  \r\n[settings]\ncaption = \"  spaced \"\n"
                                        "empty = \"\"\nbare =\n",
                                        "lumbra.manifest");
    ASSERT_EQ(manifest.entries().size(), 4u);
    EXPECT_EQ(manifest.single("package", "identity")->value, "Acme/Viewer\\1.0");
    EXPECT_EQ(manifest.single("settings", "caption")->value, "  spaced ");
    EXPECT_EQ(manifest.single("settings", "empty")->value, "");
    EXPECT_EQ(manifest.single("settings", "bare")->value, "");
    EXPECT_EQ(manifest.single("settings", "bare")->line, 9);
    EXPECT_EQ(manifest.single("settings", "missing"), nullptr);
}

TEST(Manifest, ErrorsNameFileAndLine)
{
    auto message = [](std::string_view text) {
        try {
            Manifest::parse(text, "m.manifest");
        } catch (const PackError& error) {
            return std::string(error.what());
        }
        return std::string();
    };
    EXPECT_EQ(message("key = value\n"), "m.manifest:1: entry before the first [section]");
    EXPECT_EQ(message("[a]\nno equals sign\n"), "m.manifest:2: expected 'key = value'");
    EXPECT_EQ(message("[a\n"), "m.manifest:1: section header without ']'");
    EXPECT_EQ(message("[a]\n = value\n"), "m.manifest:2: missing key");
    Manifest twice = Manifest::parse("[p]\nk = 1\nk = 2\n", "m.manifest");
    EXPECT_THROW(twice.single("p", "k"), PackError);
}

TEST(SettingsFields, NumbersAreCheckedAgainstTheirFields)
{
    ProjectSettings settings;
    auto set = [&](std::string_view name, std::string_view text) {
        const SettingsField* field = findSettingsField(name);
        EXPECT_NE(field, nullptr) << name;
        return field && setField(*field, settings, text);
    };
    EXPECT_TRUE(set("customWidth", "65535"));
    EXPECT_FALSE(set("customWidth", "65536"));
    EXPECT_FALSE(set("customWidth", "-1"));
    EXPECT_TRUE(set("backgroundColor", "0xFFFFFFFF"));
    EXPECT_EQ(settings.backgroundColor, 0xFFFFFFFFu);
    EXPECT_TRUE(set("linkFont1.height", "-12"));
    EXPECT_TRUE(set("linkFont2.height", "0xFFFFFFF4"));
    EXPECT_EQ(settings.linkFont2.height, -12);
    EXPECT_FALSE(set("linkFont1.italic", "256"));
    EXPECT_FALSE(set("pos", "ten"));
    EXPECT_FALSE(set("pos", ""));
    EXPECT_FALSE(set("linkFont1.faceName", std::string(32, 'f')));
    EXPECT_TRUE(set("linkFont1.faceName", std::string(31, 'f')));
    EXPECT_FALSE(set("trailer.systemTime", "00"));
    EXPECT_TRUE(set("productName", "caf\xC3\xA9"));
    EXPECT_EQ(settings.productName, "caf\xE9"); // stored in the ANSI code page
    EXPECT_EQ(findSettingsField("nonsense"), nullptr);
}

TEST(SettingsFields, EveryStoredFieldHasAName)
{
    // Setting every field through the table changes every byte group of the
    // record, so no field is left out of the manifest.
    ProjectSettings settings;
    for (const SettingsField& field : settingsFields()) {
        ProjectSettings before = settings;
        bool set = setField(field, settings, field.embeddedFile ? "x" : "1") ||
                   setField(field, settings, "01000000000000000000000000000000");
        EXPECT_TRUE(set) << field.name;
        EXPECT_NE(settings, before) << field.name;
    }
    EXPECT_EQ(settingsFields().size(), 7u + 6 + 7 + 7 + 2 + 3 + 4 + 2 + 2 * 14 + 4 + 8);
}

TEST(Utf8, RoundTripsAndReplacesMalformedBytes)
{
    std::string text = "a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80";
    EXPECT_EQ(utf8ToUtf16(text), u"a\u00E9\u20AC\U0001F600");
    EXPECT_EQ(utf16ToUtf8(utf8ToUtf16(text)), text);
    EXPECT_EQ(utf8ToUtf16("\xFF" "a\xC3"), u"\uFFFDa\uFFFD");
    EXPECT_EQ(ansiToUtf8("\x80"), "\xE2\x82\xAC");
}

TEST(ReportTree, JsonEscapes)
{
    ReportObject report{{"section", ReportObject{{"text", "a\"b\\c\n"}, {"absent", ReportNode()}, {"flag", true},
                                                 {"spaced", " x "}, {"list", ReportList{ReportObject{{"n", 1}}}}}}};
    std::string json = toJson(report);
    EXPECT_NE(json.find("\"text\": \"a\\\"b\\\\c\\n\""), std::string::npos) << json;
    EXPECT_NE(json.find("\"absent\": null"), std::string::npos);
}

} // namespace
} // namespace lumbra::pack
