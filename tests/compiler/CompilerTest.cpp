// The compile driver: options, messages, files written beside the image.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "TestSupport.h"
#include "script/runtime/BytecodeModule.h"
#include "script/runtime/SectionReader.h"

namespace orvet::test {
namespace {

namespace fs = std::filesystem;

std::string readFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class TempDir {
public:
    TempDir() : path_(fs::temp_directory_path() / ("orvet_cc_" + std::to_string(std::rand())))
    {
        fs::create_directories(path_);
    }
    ~TempDir() { fs::remove_all(path_); }
    fs::path operator/(const char* name) const { return path_ / name; }

private:
    fs::path path_;
};

// "return true" compiles to the 72-byte start-up image: code at 56 (2 bytes),
// constants at 58 (empty), functions at 58 (14 bytes), lines at 72 (empty).
TEST(Compiler, StartUpImage)
{
    CompileResult result = compileSource("return true");
    ASSERT_TRUE(result.image);
    std::vector<std::uint8_t> bytes = result.image->bytes();
    ASSERT_EQ(bytes.size(), 72u);
    for (int k = 0; k < 4; ++k) // the random bits of the type words
        std::fill_n(bytes.begin() + 5 + 12 * k, 3, 0);
    const std::vector<std::uint8_t> expected{
        'O', 'V', '1', 'b',
        0, 0, 0, 0, 56, 0, 0, 0, 2, 0, 0, 0,
        1, 0, 0, 0, 58, 0, 0, 0, 0, 0, 0, 0,
        2, 0, 0, 0, 58, 0, 0, 0, 14, 0, 0, 0,
        3, 0, 0, 0, 72, 0, 0, 0, 0, 0, 0, 0,
        0xFF, 0xFF, 0xFF, 0xFF,
        0x60, 0x33,
        0, 0, 0, 1, '.', 'm', 'a', 'i', 'n', 0, 0, 0, 0, 0};
    EXPECT_EQ(bytes, expected);
}

TEST(Compiler, DirectoryOffsetsAndRandomTypeBits)
{
    CompileResult result = compileSource("x = 'a'", CompileOptions::kDebugInfo);
    ASSERT_TRUE(result.image);
    const auto& bytes = result.image->bytes();
    std::uint32_t expectedOffset = 56;
    for (int k = 0; k < 4; ++k) {
        const std::uint8_t* entry = bytes.data() + 4 + 12 * k;
        EXPECT_EQ(entry[0], k);
        const std::uint32_t offset = entry[4] | entry[5] << 8 | entry[6] << 16 | std::uint32_t(entry[7]) << 24;
        const std::uint32_t length = entry[8] | entry[9] << 8 | entry[10] << 16 | std::uint32_t(entry[11]) << 24;
        EXPECT_EQ(offset, expectedOffset);
        expectedOffset += length;
    }
    EXPECT_EQ(expectedOffset, bytes.size());
    EXPECT_EQ(std::vector<std::uint8_t>(bytes.begin() + 52, bytes.begin() + 56),
              (std::vector<std::uint8_t>{0xFF, 0xFF, 0xFF, 0xFF}));
}

TEST(Compiler, DebugInfoWritesSourceNameAndLines)
{
    EXPECT_EQ(listing("a = 1\n\nb = 2\nc = 2", CompileOptions::kDebugInfo).substr(listing("a = 1\n\nb = 2\nc = 2").size()),
              "lines:\n"
              "  source string\n"
              "     7  line 2\n"
              "    13  line 3\n");
    // Without the option the line section stays empty.
    EXPECT_EQ(listing("a = 1\nb = 2").find("lines:"), std::string::npos);
}

TEST(Compiler, MessagesAreKeptOnSuccessAndFailure)
{
    CompileResult ok = compileSource("a = 1\nb = '\\q'", CompileOptions::kWarnMissingSemicolon);
    EXPECT_TRUE(ok.image);
    EXPECT_EQ(ok.messages, "warning: line 0: missing ;\r\nwarning: line 1: unknown escape sequence '\\q'\r\n"
                           "warning: line 1: missing ;\r\n");
    CompileResult bad = compileSource("a = '\\q'\nb = (");
    EXPECT_FALSE(bad.image);
    EXPECT_EQ(bad.messages, "warning: line 0: unknown escape sequence '\\q'\r\n"
                            "error: line 1: syntax error: invalid expression\r\n");
}

TEST(Compiler, LongMessagesAreCut)
{
    const std::string name(400, 'n');
    CompileResult result = compileSource("x = '\\" + std::string("q") + "'\n" + name + " " + name);
    ASSERT_FALSE(result.image);
    // A message is at most 255 characters; the line frame stays intact.
    EXPECT_EQ(result.messages.find("error: line 1: missing ;\r\n"), result.messages.size() - 26);
}

TEST(Compiler, FileSourceOutputAndListing)
{
    TempDir dir;
    {
        std::ofstream(dir / "s.ovs", std::ios::binary) << "x = 1\n";
    }
    CompileFiles files{(dir / "s.lst").string(), (dir / "s.ovc").string()};
    CompileResult result =
        compileFile((dir / "s.ovs").string(), CompileOptions{CompileOptions::kDebugInfo}, latin1Decoder(), files);
    ASSERT_TRUE(result.image) << result.messages;
    const auto& bytes = result.image->bytes();
    EXPECT_EQ(readFile(dir / "s.ovc"), std::string(bytes.begin(), bytes.end()));
    EXPECT_EQ(readFile(dir / "s.lst"), "; -*- asm -*-\r\n");
    // The source name of a file is its path.
    const std::string path = (dir / "s.ovs").string();
    EXPECT_NE(std::string(bytes.begin(), bytes.end()).find(path), std::string::npos);
}

TEST(Compiler, MissingSourceFile)
{
    CompileResult result = compileFile("/no/such/dir/x.ovs", CompileOptions{}, latin1Decoder());
    EXPECT_FALSE(result.image);
    EXPECT_EQ(result.messages, "can't open the script file: /no/such/dir/x.ovs\n");
}

TEST(Compiler, UnwritableOutputIsSkipped)
{
    CompileFiles files{"/no/such/dir/x.lst", "/no/such/dir/x.ovc"};
    CompileResult result = compileText("x = 1", CompileOptions{}, latin1Decoder(), files);
    EXPECT_TRUE(result.image);
}

TEST(Compiler, FailedCompilationWritesNoOutput)
{
    TempDir dir;
    CompileFiles files{{}, (dir / "bad.ovc").string()};
    CompileResult result = compileText("x = (", CompileOptions{}, latin1Decoder(), files);
    EXPECT_FALSE(result.image);
    EXPECT_FALSE(fs::exists(dir / "bad.ovc"));
}

TEST(Compiler, LimitsOfTheInstructionOperands)
{
    std::string params;
    for (int i = 0; i < 126; ++i)
        params += (i ? ",p" : "p") + std::to_string(i);
    EXPECT_EQ(errors("function f(" + params + ") {}"), "error: line 0: too many formal parameters\r\n");
    params.resize(params.rfind(','));
    EXPECT_EQ(errors("function f(" + params + ") { return p124 }"), "COMPILED: ");
}

TEST(Compiler, HugeLiteralsAndGarbage)
{
    EXPECT_EQ(errors("x = '" + std::string(1 << 20, 'a') + "'"), "COMPILED: ");
    EXPECT_EQ(errors("x = " + std::string(5000, '9')), "COMPILED: ");
    EXPECT_EQ(errors("x = 0x" + std::string(5000, 'f')), "COMPILED: ");
    EXPECT_EQ(errors("x = " + std::string(400, '9') + "e999999999999"), "COMPILED: ");
    const std::string garbage("\x01\xff\x7f\x80\x1b{[(\x93", 10);
    EXPECT_EQ(errors(garbage), "error: line 0: syntax error: invalid statement\r\n");
    EXPECT_EQ(errors("x = y\x80"), "error: line 0: missing ;\r\n");
}

TEST(Compiler, StringsAreStoredAsUtf16)
{
    CompileResult result = compileSource("s = 'A\\xe9'");
    ASSERT_TRUE(result.image);
    ModulePtr module = loadModule(result.image->bytes().data(), result.image->bytes().size());
    ASSERT_TRUE(module);
    const ModuleSection* constants = module->firstSection(SectionType::Constants);
    ASSERT_TRUE(constants);
    SectionReader in(*constants);
    EXPECT_EQ(in.u8(), 4);
    EXPECT_EQ(in.u32be(), 4u);
    const std::uint8_t* text = in.bytes(4);
    ASSERT_TRUE(text);
    EXPECT_EQ(std::vector<std::uint8_t>(text, text + 4), (std::vector<std::uint8_t>{'A', 0, 0xE9, 0}));
}

} // namespace
} // namespace orvet::test
