// flowball-render run as a person runs it: exit status, messages, and the
// files it leaves.
#include <gtest/gtest.h>

#include <dirent.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "png_file.h"

namespace {

struct ToolRun {
    int status;
    std::string output;  // standard output and error together
};

std::string readWhole(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<std::string> filesIn(const std::string& folder)
{
    std::vector<std::string> names;
    DIR* directory = opendir(folder.c_str());
    if (directory == nullptr)
        return names;
    while (const dirent* entry = readdir(directory)) {
        const std::string name = entry->d_name;
        if (name != "." && name != "..")
            names.push_back(name);
    }
    closedir(directory);
    std::sort(names.begin(), names.end());
    return names;
}

class RenderToolTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/flowball-render-test-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        scratch = pattern;
    }

    void TearDown() override
    {
        const std::string command = "rm -rf '" + scratch + "'";
        EXPECT_EQ(std::system(command.c_str()), 0);
    }

    ToolRun runTool(const std::string& arguments) const
    {
        const std::string log = scratch + "/run.log";
        const std::string command = std::string("'") + FLOWBALL_RENDER_TOOL + "' " + arguments + " >'" + log +
                                    "' 2>&1 </dev/null";
        const int status = std::system(command.c_str());
        ToolRun result{WIFEXITED(status) ? WEXITSTATUS(status) : -1, readWhole(log)};
        std::remove(log.c_str());
        return result;
    }

    std::string scratch;
};

TEST_F(RenderToolTest, WritesNumberedCompleteFramesAndNothingElse)
{
    const std::string out = scratch + "/frames";
    const ToolRun result = runTool("--size 64x48 --frames 3 --fps 10 --start-ms 1000 --out '" + out + "'");
    ASSERT_EQ(result.status, 0) << result.output;
    EXPECT_NE(result.output.find("wrote 3 frames of 64x48"), std::string::npos) << result.output;

    ASSERT_EQ(filesIn(out), (std::vector<std::string>{"frame-00001.png", "frame-00002.png", "frame-00003.png"}));
    std::vector<std::vector<std::uint8_t>> pictures;
    for (const std::string& name : filesIn(out)) {
        int width = 0;
        int height = 0;
        std::vector<std::uint8_t> rgb;
        std::string error;
        ASSERT_TRUE(readPng(out + "/" + name, width, height, rgb, error)) << error;
        EXPECT_EQ(width, 64);
        EXPECT_EQ(height, 48);
        // The top row is a letterbox bar.
        EXPECT_EQ(rgb[0] + rgb[1] + rgb[2], 0) << name;
        pictures.push_back(rgb);
    }
    EXPECT_NE(pictures[0], pictures[2]) << "the scene moves between frames";
}

TEST_F(RenderToolTest, TheSimulatedClockGivesTheSameFilesEveryRun)
{
    const std::string arguments = "--size 80x60 --frames 2 --start-ms 4000 --all --quiet --out ";
    ASSERT_EQ(runTool(arguments + "'" + scratch + "/a'").status, 0);
    ASSERT_EQ(runTool(arguments + "'" + scratch + "/b'").status, 0);
    for (const char* name : {"frame-00001.png", "frame-00002.png"}) {
        const std::string first = readWhole(scratch + "/a/" + name);
        EXPECT_FALSE(first.empty());
        EXPECT_EQ(first, readWhole(scratch + "/b/" + name)) << name;
    }
}

TEST_F(RenderToolTest, BadRequestsFailClearlyAndLeaveNoFiles)
{
    struct Case {
        std::string arguments;
        int status;
        std::string message;
    };
    const std::string blocker = scratch + "/plain-file";
    std::ofstream(blocker) << "not a folder";
    const std::string out = scratch + "/out";
    const Case cases[] = {
        {"--bogus --out '" + out + "'", 2, "unknown option '--bogus'"},
        {"--size 0x0 --out '" + out + "'", 2, "--size wants"},
        {"--size 100000x100000 --out '" + out + "'", 2, "--size wants"},
        {"--frames 0 --out '" + out + "'", 2, "--frames wants"},
        {"--size 64x48", 2, "no output folder"},
        {"--out '" + blocker + "'", 1, "is not a folder"},
        {"--out '" + blocker + "/frames'", 1, "cannot create output folder"},
        {"--out '" + scratch + "/missing/frames'", 1, "cannot create output folder"},
        // A terminal's codes in the name are shown, not sent.
        {"--out '" + blocker + "/fr\x1b[2James'", 1, "cannot create output folder '" + blocker + "/fr\\x1B[2James'"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments);
        const ToolRun result = runTool(c.arguments);
        EXPECT_EQ(result.status, c.status) << result.output;
        EXPECT_EQ(result.output.rfind("flowball-render: ", 0), 0u) << result.output;
        EXPECT_NE(result.output.find(c.message), std::string::npos) << result.output;
        EXPECT_EQ(filesIn(scratch), (std::vector<std::string>{"plain-file"}));
    }
}

TEST_F(RenderToolTest, BadSettingsExitTwoNamingTheOptionAndItsRangeAndWriteNothing)
{
    struct Case {
        const char* arguments;
        const char* message;
    };
    const Case cases[] = {
        {"--speed 401", "--speed wants a whole number from 25 to 400 (got '401')"},
        {"-detail=7", "--detail wants a whole number from 8 to 100 (got '7')"},
        {"--colour FFCC0", "--colour wants a colour as six hex digits RRGGBB, from 000000 to FFFFFF"},
        {"--texture X50", "--texture wants one of SPHERE, NOTSPHERE,"},
        {"--frame-rate 3", "--frame-rate wants one of timer, display or low (or 0, 1 or 2)"},
        {"--monitors all", "--monitors wants one of each or span (or 0 or 1)"},
        {"--spe 200", "unknown option '--spe'"},
        {"--no-bars=1", "option --no-bars takes no value"},
    };
    const std::string out = scratch + "/out";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments);
        const ToolRun result = runTool(std::string(c.arguments) + " --out '" + out + "'");
        EXPECT_EQ(result.status, 2) << result.output;
        EXPECT_EQ(result.output.rfind("flowball-render: ", 0), 0u) << result.output;
        EXPECT_NE(result.output.find(c.message), std::string::npos) << result.output;
        EXPECT_TRUE(filesIn(scratch).empty());
    }
}

TEST_F(RenderToolTest, SettingsChangeTheWrittenFrame)
{
    const std::string common = "--size 64x48 --start-ms 20000 --quiet --out '" + scratch;
    ASSERT_EQ(runTool(common + "/plain'").status, 0);
    ASSERT_EQ(runTool("-texture grille -colour '#3366ff' -speed 50 -no-bars -detail 12 " + common + "/set'").status,
              0);
    const std::string plain = readWhole(scratch + "/plain/frame-00001.png");
    EXPECT_FALSE(plain.empty());
    EXPECT_NE(readWhole(scratch + "/set/frame-00001.png"), plain);
}

TEST_F(RenderToolTest, TheRealClockRendersToo)
{
    const ToolRun result = runTool("--real-clock --size 32x24 --frames 2 --quiet --out '" + scratch + "/real'");
    EXPECT_EQ(result.status, 0) << result.output;
    EXPECT_EQ(filesIn(scratch + "/real"), (std::vector<std::string>{"frame-00001.png", "frame-00002.png"}));
}

TEST_F(RenderToolTest, HelpDescribesTheOptions)
{
    const ToolRun result = runTool("--help");
    EXPECT_EQ(result.status, 0);
    for (const char* option : {"--size", "--frames", "--fps", "--real-clock", "--start-ms", "--out", "--stars",
                               "--particles", "--fog", "--underlay", "--overlay", "--all"})
        EXPECT_NE(result.output.find(option), std::string::npos) << option;
}

TEST_F(RenderToolTest, HelpListsEverySetting)
{
    const ToolRun result = runTool("--help");
    EXPECT_EQ(result.status, 0);
    for (const char* option : {"--texture NAME", "--colour RRGGBB", "--speed N", "--bars", "--no-bars",
                               "--detail N", "--frame-rate NAME", "--monitors NAME"})
        EXPECT_NE(result.output.find(option), std::string::npos) << option;
    EXPECT_NE(result.output.find("change nothing here"), std::string::npos) << "frame rate and monitors";
}

}  // namespace
