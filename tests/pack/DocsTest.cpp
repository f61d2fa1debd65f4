// The author's documentation runs as written: every Orvet example of
// docs/orvet.md prints what the block after it shows, and the tutorial of
// docs/authoring.md goes from an empty folder to a packaged program (with
// stand-ins for the Windows player and control), as does the demo folder.
#include "TempFolder.h"
#include "TestPrograms.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <sys/wait.h>

namespace lumbra {
namespace {

namespace fs = std::filesystem;

struct Block {
    std::string language;
    std::string text;
    int line = 0; // of the opening fence, counted from 1
};

// The fenced blocks of a Markdown file, in order.
std::vector<Block> fencedBlocks(const fs::path& file)
{
    std::vector<Block> blocks;
    std::string text = test::readText(file);
    std::size_t at = 0;
    int line = 1;
    std::optional<Block> open;
    while (at < text.size()) {
        std::size_t end = text.find('\n', at);
        end = end == std::string::npos ? text.size() : end;
        std::string_view current(text.data() + at, end - at);
        if (current.starts_with("```")) {
            if (open) {
                blocks.push_back(std::move(*open));
                open.reset();
            } else {
                open = Block{std::string(current.substr(3)), "", line};
            }
        } else if (open) {
            open->text.append(current).push_back('\n');
        }
        at = end + 1;
        ++line;
    }
    return blocks;
}

struct ShellRun {
    int status = -1;
    std::string output;
};

ShellRun shell(const std::string& command)
{
    ShellRun run;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe)
        return run;
    char buffer[4096];
    while (std::size_t n = std::fread(buffer, 1, sizeof buffer, pipe))
        run.output.append(buffer, n);
    int status = pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

std::string quoted(const fs::path& path) { return "'" + path.string() + "'"; }

fs::path sourceRoot()
{
    const char* data = std::getenv("LUMBRA_TEST_DATA"); // <source>/tests/data
    return data ? fs::path(data).parent_path().parent_path() : fs::path();
}

fs::path toolsFolder()
{
    const char* build = std::getenv("LUMBRA_BUILD_DIR");
    return fs::absolute(fs::path(build ? build : ".") / "tools");
}

TEST(Docs, EveryOrvetExamplePrintsWhatFollowsIt)
{
    ASSERT_FALSE(sourceRoot().empty());
    std::vector<Block> blocks = fencedBlocks(sourceRoot() / "docs" / "orvet.md");
    test::TempFolder work;
    int examples = 0;
    for (std::size_t i = 0; i < blocks.size(); ++i) {
        if (blocks[i].language != "orvet")
            continue;
        ++examples;
        bool hasOutput = i + 1 < blocks.size() && blocks[i + 1].language == "output";
        test::writeFile(work / "example.ovs", blocks[i].text);
        ShellRun run = shell("cd " + quoted(work.path()) + " && " + quoted(toolsFolder() / "orvet") +
                        " run example.ovs 2>errors.txt");
        std::string where = "docs/orvet.md:" + std::to_string(blocks[i].line);
        EXPECT_EQ(run.status, 0) << where;
        EXPECT_EQ(test::readText(work / "errors.txt"), "") << where;
        EXPECT_EQ(run.output, hasOutput ? blocks[i + 1].text : "") << where;
    }
    EXPECT_GE(examples, 15);
}

// The products folder the tutorial names LUMBRA: the tools of this build and
// stand-ins for the Windows player and control.
class Tutorial : public ::testing::Test {
protected:
    void SetUp() override
    {
        fs::create_directories(dist / "win32");
        fs::create_directory_symlink(toolsFolder(), dist / "native");
        test::writeFile(dist / "win32" / "LumbraPlayer.exe", test::minimalPlayer());
        test::writeFile(dist / "win32" / "LumbraFlash.ocx", test::controlLibrary());
    }

    ShellRun pack(const std::string& arguments)
    {
        return shell(quoted(toolsFolder() / "lumbra-pack") + " " + arguments + " 2>&1");
    }

    test::TempFolder root;
    fs::path dist = root / "dist";
    fs::path work = root / "work";
};

TEST_F(Tutorial, StepsRunAsWrittenAndTheDemoRoundTrips)
{
    ASSERT_FALSE(sourceRoot().empty());
    std::string script = "set -e\n";
    for (const Block& block : fencedBlocks(sourceRoot() / "docs" / "authoring.md"))
        if (block.language == "sh")
            script += block.text;
    fs::create_directories(work);
    test::writeFile(root / "tutorial.sh", script);
    ShellRun run = shell("cd " + quoted(work) + " && LUMBRA=" + quoted(dist) + " LUMBRA_SOURCE=" + quoted(sourceRoot()) +
                    " sh " + quoted(root / "tutorial.sh") + " 2>&1");
    ASSERT_EQ(run.status, 0) << run.output;
    EXPECT_NE(run.output.find("Hello, author!"), std::string::npos) << run.output;

    ShellRun inspected = pack("inspect " + quoted(work / "greeter" / "Greeter.exe"));
    ASSERT_EQ(inspected.status, 0) << inspected.output;
    for (std::string_view line : {"identity = Example/Greeter 1.0\n", "movie = greeter.swf\n",
                                  "INITIALIZE = scripts/INITIALIZE.ovc\n", "GREET = scripts/GREET.ovc\n",
                                  "caption = Greeter\n"})
        EXPECT_NE(inspected.output.find(line), std::string::npos) << line << inspected.output;

    // The copied demo: what inspect extracts packages to the same program.
    fs::path demo = work / "mine" / "Mine.exe";
    ASSERT_TRUE(fs::exists(demo));
    ASSERT_EQ(pack("inspect " + quoted(demo) + " --extract " + quoted(root / "demo-copy")).status, 0);
    ShellRun again = pack("build --player " + quoted(dist / "win32" / "LumbraPlayer.exe") + " --project " +
                     quoted(root / "demo-copy") + " --output " + quoted(root / "Again.exe"));
    ASSERT_EQ(again.status, 0) << again.output;
    EXPECT_EQ(test::readFile(root / "Again.exe"), test::readFile(demo));
}

} // namespace
} // namespace lumbra
