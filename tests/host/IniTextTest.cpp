// The portable reading of initialisation files, against texts written the way
// people and the system's profile functions write them.
#include "host/datafile/IniText.h"

#include <gtest/gtest.h>

namespace lumbra {
namespace {

TEST(IniText, ReadsAsTheProfileFunctionsDo)
{
    const IniText ini("; comment before any section\r\n"
                      "[First]\r\n"
                      "  Key =  spaced value  \r\n"
                      "quoted=\"in quotes\"\n"
                      "single='one'\n"
                      "half=\"open\n"
                      "no equals sign\n"
                      "eq=a=b\n"
                      "\n"
                      "[ second.0 ]\n"
                      "type=array\n"
                      "[odd]name]\n"
                      "k=v\n"
                      "[first]\n"
                      "later=ignored section\n");
    EXPECT_EQ(ini.sectionNames(), (std::vector<std::string>{"First", "second.0", "odd]name"}));
    EXPECT_EQ(ini.value("first", "KEY"), "spaced value");
    EXPECT_EQ(ini.value("First", "quoted"), "in quotes");
    EXPECT_EQ(ini.value("First", "single"), "one");
    EXPECT_EQ(ini.value("First", "half"), "\"open");
    EXPECT_EQ(ini.value("First", "eq"), "a=b");
    EXPECT_EQ(ini.value("second.0", "type"), "array");
    EXPECT_EQ(ini.value("odd]name", "k"), "v");
    EXPECT_FALSE(ini.value("First", "later"));
    EXPECT_FALSE(ini.value("First", "no equals sign"));
    EXPECT_FALSE(ini.value("missing", "k"));
}

TEST(IniText, ChangesKeepTheRestOfTheFile)
{
    IniText ini("; notes\r\n[a]\r\ntype=string\r\nvalue=1\r\n\r\n[b]\r\ntype=integer\r\n");
    ini.setValue("A", "value", "2");
    ini.setValue("a", "extra", "x");
    ini.setValue("c", "type", "object");
    EXPECT_EQ(ini.text(), "; notes\r\n[a]\r\ntype=string\r\nvalue=2\r\nextra=x\r\n\r\n[b]\r\ntype=integer\r\n"
                          "[c]\r\ntype=object\r\n");
    ini.removeSection("B");
    ini.removeSection("a");
    EXPECT_EQ(ini.text(), "; notes\r\n[c]\r\ntype=object\r\n");
    EXPECT_EQ(IniText(ini.text()).text(), ini.text());
}

} // namespace
} // namespace lumbra
