// DataFile: scripts save variables to an initialisation file and load them
// back into a fresh engine. The same tests run natively (portable reader and
// writer) and under Wine (the system's profile functions), over the same
// hand-written files.
#include "HostEngine.h"
#include "ValueDump.h"

#include "host/datafile/IniText.h"
#include "tests/package/TempFolder.h"

#include <cstdlib>
#include <filesystem>

namespace lumbra {
namespace {

using test::dumpGlobal;
using test::scriptLiteral;

class DataFileTest : public ::testing::Test {
protected:
    std::string file(const char* name) const { return (folder / name).string(); }

    // Runs `setup` in one engine, saves `names` to a file, loads the file into
    // a fresh engine and gives the dump of every name there; the dumps must
    // equal those of the first engine.
    void expectRoundTrip(const std::string& setup, std::initializer_list<const char*> names)
    {
        const std::string path = file("round.ini");
        test::HostEngine writer;
        writer.value(setup);
        std::string call = "DataFile.save(" + scriptLiteral(path);
        for (const char* name : names)
            call += std::string(", \"") + name + "\"";
        writer.value(call + ")");
        test::HostEngine reader;
        EXPECT_EQ(reader.value("DataFile.load(" + scriptLiteral(path) + ")"), "true");
        for (const char* name : names) {
            EXPECT_NE(dumpGlobal(writer.ctx(), name), "u") << name;
            EXPECT_EQ(dumpGlobal(reader.ctx(), name), dumpGlobal(writer.ctx(), name)) << name;
        }
    }

    test::TempFolder folder;
};

TEST_F(DataFileTest, ArrayWithObjectWritesOneSectionPerValue)
{
    const std::string path = file("edge.ini");
    test::HostEngine writer;
    writer.value("v = [1, new Object()]; v[1].x = 1; DataFile.save(" + scriptLiteral(path) + ", \"v\")");
    const IniText saved(test::readText(path));
    EXPECT_EQ(saved.sectionNames(), (std::vector<std::string>{"v", "v.0", "v.1", "v.1.x"}));
    EXPECT_EQ(saved.value("v", "type"), "array");
    EXPECT_FALSE(saved.value("v", "value"));
    EXPECT_EQ(saved.value("v.0", "type"), "integer");
    EXPECT_EQ(saved.value("v.1", "type"), "object");
    EXPECT_EQ(saved.value("v.1.x", "type"), "integer");
    EXPECT_EQ(saved.value("v.1.x", "value"), "1");

    test::HostEngine reader;
    EXPECT_EQ(reader.value("DataFile.load(" + scriptLiteral(path) + ")"), "true");
    EXPECT_EQ(dumpGlobal(reader.ctx(), "v"), "[2: 0=i1 1={ x=i1}]");
}

TEST_F(DataFileTest, EveryValueKindComesBack)
{
    expectRoundTrip("b1 = true; b0 = false; i = -9223372036854775807 - 1; big = 9223372036854775807;"
                    "f = 0.1; g = 1e300; h = -2.5e-300; inf = 1/0; ninf = -1/0; nan = 0/0; whole = 2.0;"
                    "e = \"\";",
                    {"b1", "b0", "i", "big", "f", "g", "h", "inf", "ninf", "nan", "whole", "e"});
}

TEST_F(DataFileTest, TextsSurviveEveryAwkwardCharacter)
{
    expectRoundTrip("s1 = \" leading and trailing blanks \"; s2 = \"line\\nbreaks\\r\\nand\\ttabs\";"
                    "s3 = \"a=b [section] ; # % %41 %2F\"; s4 = \"'quoted'\"; s5 = \"\\\"double\\\"\";"
                    "s6 = String.fromCharCode(0xe9, 0x20, 0x20ac, 0x4e2d, 0x6587, 0x20, 0xd83d, 0xde00, 0xff);"
                    "s7 = \"back\\\\slash\"",
                    {"s1", "s2", "s3", "s4", "s5", "s6", "s7"});
}

TEST_F(DataFileTest, NestedStructuresComeBack)
{
    expectRoundTrip("var deep = new Object(); var at = deep;"
                    "for (var k = 0; k < 60; k++) { at.next = new Object(); at.level = k; at = at.next; }"
                    "var grid = [[1, 2], [], [[\"x\"], new Object()]]; grid[1][5] = true;"
                    "var mixed = new Object(); mixed.list = [1.5, \"two\", false]; mixed.sub = new Object();"
                    "mixed.sub.name = \"n\"; mixed.empty = [];",
                    {"deep", "grid", "mixed"});
}

TEST_F(DataFileTest, WhatCannotBeStoredIsLeftOut)
{
    const std::string path = file("skip.ini");
    test::HostEngine writer;
    writer.value("var o = new Object(); o.self = o; o.f = function() {}; o.u = undefined; o.n = null;"
                 "o.ok = 1; o[\"a.b\"] = 2; o[\"a b\"] = 3; o[\"\"] = 4; o[\"line\\nbreak\"] = 5;"
                 "o.lone = String.fromCharCode(0xd800); var arr = [1]; arr[1] = arr; function fn() {}"
                 "var base = new Object(); base.inherited = 1; o.__proto__ = base;" // the prototype is no member
                 "DataFile.save(" + scriptLiteral(path) + ", \"o\", \"arr\", \"fn\", \"\", \"missing\")");
    const IniText saved(test::readText(path));
    EXPECT_EQ(saved.sectionNames(), (std::vector<std::string>{"o", "o.ok", "arr", "arr.0"}));
}

TEST_F(DataFileTest, SavingAgainReplacesTheVariablesSections)
{
    const std::string path = file("again.ini");
    test::writeFile(path, "[other]\r\ntype=integer\r\nvalue=7\r\n[v.9]\r\ntype=integer\r\nvalue=9\r\n"
                          "[vv]\r\ntype=integer\r\nvalue=8\r\n");
    test::HostEngine writer;
    writer.value("v = [1, 2, 3]; DataFile.save(" + scriptLiteral(path) + ", \"v\")");
    writer.value("v = [1]; DataFile.save(" + scriptLiteral(path) + ", \"v\", \"v\")"); // twice in one call
    test::HostEngine reader;
    reader.value("DataFile.load(" + scriptLiteral(path) + ")");
    EXPECT_EQ(dumpGlobal(reader.ctx(), "v"), "[1: 0=i1]");
    EXPECT_EQ(dumpGlobal(reader.ctx(), "other"), "i7");
    EXPECT_EQ(dumpGlobal(reader.ctx(), "vv"), "i8");
    // The replacement leaves no working copy behind.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()), {}), 1);
}

TEST_F(DataFileTest, HandEditedFilesLoadWhatCanBeLoaded)
{
    const std::string path = file("edited.ini");
    test::writeFile(path,
                    "; edited by hand\r\n"
                    "[orphan.x]\r\ntype=integer\r\nvalue=1\r\n"           // no container yet: skipped
                    "[list]\r\ntype=array\r\n"
                    "[list.2]\r\ntype=integer\r\nvalue=12abc\r\n"        // digits up to the first other character
                    "[list.name]\r\ntype=integer\r\nvalue=1\r\n"         // not an index: skipped
                    "[list.4294967295]\r\ntype=integer\r\nvalue=1\r\n"   // past the largest index: skipped
                    "[list.0.deeper]\r\ntype=integer\r\nvalue=1\r\n"     // list[0] is undefined: skipped
                    "[list 1]\r\nvalue=a%20b\r\n"                        // blank separates too; type defaults to string
                    "[obj]\r\ntype=object\r\n"
                    "[obj..a]\r\ntype=boolean\r\nvalue=TRUE\r\n"         // empty steps are no steps
                    "[obj.b]\r\ntype=float\r\n"                          // default value 0.
                    "[obj.c]\r\ntype=integer\r\nvalue=99999999999999999999\r\n"
                    "[obj.d]\r\ntype=widget\r\nvalue=1\r\n"              // unknown type: created, left undefined
                    "[obj.e]\r\ntype=string\r\nvalue=%E0%A4\r\n"         // broken escapes: kept as written
                    "[obj.f]\r\ntype=string\r\n"                         // no value: empty text
                    "[obj.g]\r\ntype=float\r\nvalue=-1.5e3x\r\n"
                    "[obj.h]\r\ntype=boolean\r\nvalue=yes\r\n"
                    "[  ]\r\ntype=integer\r\n"                            // no name at all: skipped
                    "[Math.PI]\r\ntype=integer\r\nvalue=3\r\n");          // not an object of the script: skipped
    test::HostEngine reader;
    EXPECT_EQ(reader.value("DataFile.load(" + scriptLiteral(path) + ")"), "true");
    EXPECT_EQ(dumpGlobal(reader.ctx(), "orphan"), "u");
    EXPECT_EQ(dumpGlobal(reader.ctx(), "list"), "[3: 0=u 1=\"a b\" 2=i12]");
    EXPECT_EQ(dumpGlobal(reader.ctx(), "obj"),
              "{ a=true b=f0x0p+0 c=i9223372036854775807 d=u e=\"%E0%A4\" f=\"\" g=f-0x1.77p+10 h=false}");
}

TEST_F(DataFileTest, BadCallsChangeNothing)
{
    const std::string path = file("bad.ini");
    test::HostEngine engine;
    EXPECT_EQ(engine.value("v = 1; DataFile.save(" + scriptLiteral(path) + ")"), "undefined");
    EXPECT_EQ(engine.value("DataFile.save(" + scriptLiteral(path) + ", 5)"), "undefined");
    EXPECT_EQ(engine.value("DataFile.save(1, \"v\")"), "undefined");
    EXPECT_FALSE(std::filesystem::exists(path));
    EXPECT_EQ(engine.value("DataFile.load(" + scriptLiteral(path) + ")"), "false");
    EXPECT_EQ(engine.value("DataFile.load()"), "false");
    EXPECT_EQ(engine.value("DataFile.toString()"), "[object DataFile]");
    EXPECT_EQ(engine.value("DataFile.anything"), "undefined");
    // Saving into a folder that does not exist writes nothing anywhere.
    const std::string nowhere = file("no/such/folder/x.ini");
    EXPECT_EQ(engine.value("DataFile.save(" + scriptLiteral(nowhere) + ", \"v\")"), "undefined");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()), {}), 0);
}

TEST_F(DataFileTest, RemoveDeletesTheFile)
{
    const std::string path = file("gone.ini");
    test::writeFile(path, "[v]\r\ntype=integer\r\nvalue=1\r\n");
    test::HostEngine engine;
    EXPECT_EQ(engine.value("DataFile.remove(" + scriptLiteral(path) + ")"), "undefined");
    EXPECT_FALSE(std::filesystem::exists(path));
}

} // namespace
} // namespace lumbra
