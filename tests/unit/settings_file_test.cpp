#include "settings/settings_file.h"

#include <grp.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "settings/idle_time.h"

namespace {

// The settings that differ, by option name: "" when they are the same.
std::string differences(const Settings& expected, const Settings& actual)
{
    std::string names;
    for (int row = 0; row < settingCount; ++row) {
        const SettingInfo& info = settingTable[row];
        if (expected.*info.field != actual.*info.field)
            names += std::string(" ") + info.optionName + "=" + std::to_string(actual.*info.field);
    }
    return names;
}

std::vector<std::string> problemTexts(const SettingsFileContents& contents)
{
    std::vector<std::string> texts;
    for (const SettingsFileProblem& problem : contents.problems)
        texts.push_back(std::to_string(problem.line) + ": " + problem.what);
    return texts;
}

Settings with(const std::function<void(Settings&)>& change)
{
    Settings settings;
    change(settings);
    return settings;
}

struct TextCase {
    const char* name;
    std::string text;
    Settings settings;
    std::uint32_t idleAfterMilliseconds;
    std::vector<std::string> problems;
};

const std::string speedWants = "speed wants a whole number from 25 to 400";
const std::string starsWants = "stars wants true or false (or on/off, yes/no, 1/0)";

const TextCase textCases[] = {
    {"empty", "", Settings(), 0, {}},
    {"every key in its forms",
     "texture=smoke\ncolour=#3366ff\nspeed=150\ndetail=64\nbars=off\nstars=true\nparticles=1\nfog=YES\n"
     "underlay=on\noverlay=no\nframe-rate=low\nmonitors=1\nidle-after=10m\n",
     with([](Settings& s) {
         s.texture = 3;
         s.colour = 0x3366FF;
         s.speed = 150;
         s.detail = 64;
         s.bars = 0;
         s.stars = 1;
         s.particles = 1;
         s.fog = 1;
         s.underlay = 1;
         s.frameRate = 2;
         s.monitors = 1;
     }),
     600000,
     {}},
    {"comments, blanks, spaces, CRLF, a byte order mark and no last newline",
     "\xEF\xBB\xBF# mine\r\n\r\n  Speed = 150 \r\n\t# stars=false\n\tstars=on", with([](Settings& s) {
         s.speed = 150;
         s.stars = 1;
     }),
     0,
     {}},
    {"unknown key", "foo=1\nno-stars\nspeed=150\n", with([](Settings& s) { s.speed = 150; }), 0,
     {"1: unknown key 'foo'", "2: not a key=value line: 'no-stars'"}},
    {"out of range", "speed=900\nstars=true\ndetail=7\n", with([](Settings& s) { s.stars = 1; }), 0,
     {"1: " + speedWants + " (got '900'); the default counts",
      "3: detail wants a whole number from 8 to 100 (got '7'); the default counts"}},
    {"wrong kind",
     "stars=maybe\ncolour=blue\ntexture=9\nspeed=\nidle-after=2d\nfog=true\n",
     with([](Settings& s) { s.fog = 1; }),
     0,
     {"1: " + starsWants + " (got 'maybe'); the default counts",
      "2: colour wants a colour as six hex digits RRGGBB, from 000000 to FFFFFF (got 'blue'); the default counts",
      "3: texture wants one of SPHERE, NOTSPHERE, GRADIENT, SMOKE, FOG, RING, STAR, SAND, BLACK, CHECK, GRILLE or "
      "GRAIN (or 0, 1, 2, 3, 4, 5, 6, 7, 8, 10, 11 or 14) (got '9'); the default counts",
      "4: " + speedWants + " (got ''); the default counts",
      "5: idle-after wants a time from 1s to 24h: seconds, or a number followed by s, m or h (got '2d'); the "
      "default counts"}},
    {"duplicate key: the last line counts", "speed=150\nstars=true\nspeed=200\n", with([](Settings& s) {
         s.speed = 200;
         s.stars = 1;
     }),
     0,
     {"1: speed is set again on line 3, which counts"}},
    {"duplicate key whose last line is bad", "speed=150\nspeed=fast\n", Settings(), 0,
     {"1: speed is set again on line 2, which counts", "2: " + speedWants + " (got 'fast'); the default counts"}},
    {"invalid UTF-8 lines",
     "speed=150\ncolour=\xFF\xFE\nstars=\xC0\xAF\nfog=\xED\xA0\x80\nbars=\xE2\x82\ntexture=SMOKE\n" +
         std::string("overlay=1\0", 10) + "\nparticles=on\n",
     with([](Settings& s) {
         s.speed = 150;
         s.texture = 3;
         s.particles = 1;
     }),
     0,
     {"2: not UTF-8 text; the line does not count", "3: not UTF-8 text; the line does not count",
      "4: not UTF-8 text; the line does not count", "5: not UTF-8 text; the line does not count",
      "7: not UTF-8 text; the line does not count"}},
    {"control bytes and a long value shown escaped and cut",
     "\x1B[31m=1\nspeed=" + std::string(100, '9') + "\xC3\xA9\n", Settings(), 0,
     {"1: unknown key '\\x1B[31m'", "2: " + speedWants + " (got '" + std::string(60, '9') +
                                        "'...); the default counts"}},
};

void PrintTo(const TextCase& c, std::ostream* out)
{
    *out << c.name;
}

class SettingsTextTest : public testing::TestWithParam<TextCase> {};

TEST_P(SettingsTextTest, GivesTheSettingsAndTheProblems)
{
    const TextCase& c = GetParam();
    const SettingsFileContents contents = parseSettingsText(c.text);
    EXPECT_EQ(contents.state, SettingsFileState::read);
    EXPECT_EQ(differences(c.settings, contents.settings), "");
    EXPECT_EQ(contents.idleAfterMilliseconds, c.idleAfterMilliseconds);
    EXPECT_EQ(problemTexts(contents), c.problems);
}

INSTANTIATE_TEST_SUITE_P(Files, SettingsTextTest, testing::ValuesIn(textCases),
                         [](const testing::TestParamInfo<TextCase>& param) { return std::to_string(param.index); });

TEST(SettingsFilePath, ComesFromXdgConfigHomeOrHome)
{
    EXPECT_EQ(settingsFilePath("/x/config", "/home/u"), "/x/config/flowball/flowball.conf");
    EXPECT_EQ(settingsFilePath(nullptr, "/home/u"), "/home/u/.config/flowball/flowball.conf");
    EXPECT_EQ(settingsFilePath("", "/home/u"), "/home/u/.config/flowball/flowball.conf");
    EXPECT_EQ(settingsFilePath("relative", "/home/u"), "/home/u/.config/flowball/flowball.conf");
    EXPECT_EQ(settingsFilePath(nullptr, nullptr), "");
    EXPECT_EQ(settingsFilePath("", "relative"), "");
}

TEST(SettingsFileProblem, IsOneLineNamingTheFileAndTheLine)
{
    EXPECT_EQ(describeProblem("/h/flowball.conf", {3, "unknown key 'foo'"}), "/h/flowball.conf:3: unknown key 'foo'");
    EXPECT_EQ(describeProblem("/h/a\nb", {0, "is a folder"}), "/h/a\\x0Ab: is a folder");
}

TEST(SettingsFileUpdate, SetsKnownKeysAndKeepsEverythingElse)
{
    const std::string old = "# mine\r\nfoo = bar\nspeed=150\nnot a setting\nstars=on\r\nspeed=fast\n"
                            "idle-after=5m\n\xFF\n";
    Settings settings;
    settings.speed = 200;
    settings.texture = 3;
    EXPECT_EQ(updatedSettingsText(old, settings, 90000),
              "# mine\r\nfoo = bar\nnot a setting\nstars=false\r\nspeed=200\nidle-after=90s\n\xFF\n"
              "texture=SMOKE\ncolour=FFCC00\nbars=true\ndetail=32\nparticles=false\nfog=false\nunderlay=false\n"
              "overlay=false\nframe-rate=timer\nmonitors=each\n");
    EXPECT_EQ(updatedSettingsText("speed=1\nidle-after=5m", Settings(), 0).find("idle-after"), std::string::npos);
}

TEST(SettingsFileUpdate, ReadsBackAsTheSettingsWritten)
{
    Settings settings;
    for (int row = 0; row < settingCount; ++row)
        settings.*settingTable[row].field = settingTable[row].maximum;
    settings.texture = 14;
    const SettingsFileContents contents =
        parseSettingsText(updatedSettingsText("speed=fast\nspeed=30\n", settings, 3600000));
    EXPECT_EQ(differences(settings, contents.settings), "");
    EXPECT_EQ(contents.idleAfterMilliseconds, 3600000u);
    EXPECT_TRUE(contents.problems.empty());
}

// A folder of its own for each test, removed afterwards.
class SettingsFileOnDisk : public testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/flowball-settings-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        folder = pattern;
        // An ordinary user must reach into it (see asOrdinaryUser).
        chmod(folder.c_str(), 0755);
        path = folder + "/flowball/flowball.conf";
    }
    void TearDown() override { std::system(("chmod -R u+rwx " + folder + "; rm -rf " + folder).c_str()); }

    void writeText(const std::string& file, const std::string& text)
    {
        std::ofstream(file, std::ios::binary) << text;
    }
    std::string readText(const std::string& file)
    {
        std::ostringstream text;
        text << std::ifstream(file, std::ios::binary).rdbuf();
        return text.str();
    }
    std::string listing(const std::string& dir)
    {
        std::string names;
        FILE* list = popen(("ls -A " + dir).c_str(), "r");
        char buffer[256];
        while (fgets(buffer, sizeof buffer, list) != nullptr)
            names += buffer;
        pclose(list);
        return names;
    }

    std::string folder;
    std::string path;
};

// Runs check with an ordinary user's rights, so that file permissions hold
// even when the tests run as root: in a child as nobody, then. Answers what
// check answers.
std::string asOrdinaryUser(const std::function<std::string()>& check)
{
    if (geteuid() != 0)
        return check();
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0)
        return "no pipe";
    const pid_t child = fork();
    if (child == 0) {
        close(pipeEnds[0]);
        const uid_t nobody = 65534;
        std::string answer = "cannot become nobody";
        if (setgroups(0, nullptr) == 0 && setgid(nobody) == 0 && setuid(nobody) == 0)
            answer = check();
        const ssize_t written = write(pipeEnds[1], answer.data(), answer.size());
        _exit(written == ssize_t(answer.size()) ? 0 : 1);
    }
    close(pipeEnds[1]);
    std::string answer;
    char buffer[256];
    ssize_t count;
    while ((count = read(pipeEnds[0], buffer, sizeof buffer)) > 0)
        answer.append(buffer, std::size_t(count));
    close(pipeEnds[0]);
    int status = 0;
    waitpid(child, &status, 0);
    return answer;
}

TEST_F(SettingsFileOnDisk, MissingFileOrFolderGivesTheDefaults)
{
    const SettingsFileContents contents = readSettingsFile(path);
    EXPECT_EQ(contents.state, SettingsFileState::missing);
    EXPECT_EQ(differences(Settings(), contents.settings), "");
    EXPECT_TRUE(contents.problems.empty());
    // A file where a folder on the path should be.
    writeText(folder + "/flowball", "");
    EXPECT_EQ(readSettingsFile(path).state, SettingsFileState::missing);
}

TEST_F(SettingsFileOnDisk, SomethingElseInItsPlaceIsUnreadableAndKept)
{
    ASSERT_EQ(mkdir((folder + "/flowball").c_str(), 0755), 0);
    struct Place {
        std::function<void()> make;
        std::string problem;
    };
    const Place places[] = {
        {[&] { mkdir(path.c_str(), 0755); }, "is a folder, not a settings file"},
        {[&] { mkfifo(path.c_str(), 0644); }, "is not a regular file"},
        {[&] { writeText(path, std::string(64 * 1024 + 1, '#')); },
         "is larger than 64 KiB, too large for a settings file"},
    };
    for (const Place& place : places) {
        place.make();
        const SettingsFileContents contents = readSettingsFile(path);
        EXPECT_EQ(contents.state, SettingsFileState::unreadable) << place.problem;
        EXPECT_EQ(problemTexts(contents),
                  std::vector<std::string>{"0: " + place.problem + "; the defaults count, and the file is left as it is"});
        std::string error;
        EXPECT_FALSE(writeSettingsFile(path, Settings(), 0, error));
        EXPECT_EQ(error, "'" + path + "' " + place.problem + "; it is left as it is");
        EXPECT_EQ(listing(folder + "/flowball"), "flowball.conf\n");
        std::system(("rm -rf " + path).c_str());
    }
}

TEST_F(SettingsFileOnDisk, AFileItCannotReadIsNeverReplaced)
{
    ASSERT_EQ(mkdir((folder + "/flowball").c_str(), 0777), 0);
    chmod((folder + "/flowball").c_str(), 0777);
    writeText(path, "speed=150\n");
    chmod(path.c_str(), 0);
    const std::string answer = asOrdinaryUser([&] {
        const SettingsFileContents contents = readSettingsFile(path);
        std::string error;
        const bool written = writeSettingsFile(path, Settings(), 0, error);
        return std::to_string(int(contents.state)) + " " + problemTexts(contents).at(0) + " | " +
               std::to_string(written) + " " + error;
    });
    EXPECT_EQ(answer, std::to_string(int(SettingsFileState::unreadable)) +
                          " 0: cannot be read: Permission denied; the defaults count, and the file is left as it is "
                          "| 0 '" + path + "' cannot be read: Permission denied; it is left as it is");
    chmod(path.c_str(), 0644);
    EXPECT_EQ(readText(path), "speed=150\n");
}

TEST_F(SettingsFileOnDisk, WritesCreatingTheFoldersAndReadsBack)
{
    Settings settings;
    settings.speed = 150;
    settings.stars = 1;
    std::string error;
    ASSERT_TRUE(writeSettingsFile(path, settings, 600000, error)) << error;
    const SettingsFileContents contents = readSettingsFile(path);
    EXPECT_EQ(contents.state, SettingsFileState::read);
    EXPECT_EQ(differences(settings, contents.settings), "");
    EXPECT_EQ(contents.idleAfterMilliseconds, 600000u);
    EXPECT_EQ(listing(folder + "/flowball"), "flowball.conf\n");
}

TEST_F(SettingsFileOnDisk, WritesThroughASymbolicLinkKeepingIt)
{
    writeText(folder + "/kept.conf", "# mine\n");
    ASSERT_EQ(mkdir((folder + "/flowball").c_str(), 0755), 0);
    ASSERT_EQ(symlink("../kept.conf", path.c_str()), 0);
    std::string error;
    ASSERT_TRUE(writeSettingsFile(path, Settings(), 0, error)) << error;
    struct stat status {};
    ASSERT_EQ(lstat(path.c_str(), &status), 0);
    EXPECT_TRUE(S_ISLNK(status.st_mode));
    EXPECT_EQ(readText(folder + "/kept.conf").rfind("# mine\ntexture=FOG\n", 0), 0u);
}

TEST_F(SettingsFileOnDisk, AFolderItCannotWriteLeavesTheOldFileAsItWas)
{
    ASSERT_EQ(mkdir((folder + "/flowball").c_str(), 0755), 0);
    writeText(path, "# mine\nspeed=150\n");
    chmod(path.c_str(), 0666);
    chmod((folder + "/flowball").c_str(), 0555);
    const std::string error = asOrdinaryUser([&] {
        Settings settings;
        settings.speed = 300;
        std::string message;
        return writeSettingsFile(path, settings, 0, message) ? std::string("written") : message;
    });
    EXPECT_EQ(error, "cannot write in the folder '" + folder + "/flowball': Permission denied");
    EXPECT_EQ(readText(path), "# mine\nspeed=150\n");
    EXPECT_EQ(listing(folder + "/flowball"), "flowball.conf\n");
}

TEST_F(SettingsFileOnDisk, RefusesValuesTheFileCouldNotReadBack)
{
    Settings settings;
    settings.speed = 900;
    std::string error;
    EXPECT_FALSE(writeSettingsFile(path, settings, 0, error));
    EXPECT_EQ(error, "not written to '" + path + "': speed 900 is not a value it takes");
    EXPECT_FALSE(writeSettingsFile(path, Settings(), 1500, error));
    EXPECT_EQ(readSettingsFile(path).state, SettingsFileState::missing);
}

}  // namespace
