// The settings read the same from the X11 program's command line and from
// flowball-render's: both take them through the one settings table, so the
// same words give the same settings, and the same bad words are refused.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/posix/options.h"
#include "render_options.h"

namespace {

struct BothParsed {
    bool hostOk;
    bool renderOk;
    Settings hostSettings;
    Settings renderSettings;
    std::string hostError;
    std::string renderError;
};

BothParsed parseBoth(const std::vector<std::string>& settingWords)
{
    BothParsed parsed;
    std::vector<std::string> host = {"flowball"};
    host.insert(host.end(), settingWords.begin(), settingWords.end());
    std::vector<char*> hostArgv;
    for (std::string& word : host)
        hostArgv.push_back(word.data());
    hostArgv.push_back(nullptr);
    HostOptions hostOptions;
    parsed.hostOk = parseHostOptions(int(host.size()), hostArgv.data(), nullptr, hostOptions, parsed.hostError);
    parsed.hostSettings = hostOptions.settings;

    std::vector<std::string> render = {"flowball-render", "--out", "frames"};
    render.insert(render.end(), settingWords.begin(), settingWords.end());
    std::vector<const char*> renderArgv;
    for (const std::string& word : render)
        renderArgv.push_back(word.c_str());
    renderArgv.push_back(nullptr);
    RenderOptions renderOptions;
    parsed.renderOk = parseRenderOptions(int(render.size()), renderArgv.data(), renderOptions, parsed.renderError);
    parsed.renderSettings = renderOptions.settings;
    return parsed;
}

bool sameSettings(const Settings& a, const Settings& b)
{
    for (int row = 0; row < settingCount; ++row)
        if (a.*settingTable[row].field != b.*settingTable[row].field)
            return false;
    return true;
}

TEST(SharedSettingOptions, SameWordsGiveTheSameSettings)
{
    const std::vector<std::vector<std::string>> cases = {
        {},
        {"--speed", "400", "--detail=8"},
        {"--colour", "#12AbEf", "--no-bars", "--stars", "--particles"},
        {"--texture", "GRILLE", "--fog", "--underlay", "--overlay"},
        {"--frame-rate", "low", "--monitors", "span"},
    };
    for (const auto& words : cases) {
        const BothParsed parsed = parseBoth(words);
        SCOPED_TRACE(words.empty() ? std::string("(none)") : words[0]);
        ASSERT_TRUE(parsed.hostOk && parsed.renderOk);
        EXPECT_TRUE(sameSettings(parsed.hostSettings, parsed.renderSettings));
    }
}

TEST(SharedSettingOptions, SameBadWordsAreRefusedByBoth)
{
    const std::vector<std::vector<std::string>> cases = {
        {"--speed", "24"}, {"--speed", "401"}, {"--detail", "x"}, {"--colour", "FFCC0"},
        {"--texture", "plaid"}, {"--frame-rate", "3"}, {"--monitors", "both"}, {"--stars=1"},
    };
    for (const auto& words : cases) {
        const BothParsed parsed = parseBoth(words);
        SCOPED_TRACE(words[0] + (words.size() > 1 ? " " + words[1] : std::string()));
        EXPECT_FALSE(parsed.hostOk);
        EXPECT_FALSE(parsed.renderOk);
    }
}

// Both programs take names only in full: getopt alone would take any
// unambiguous beginning, so that "-ro" meant -root and "-sp 200" -speed 200
// until an option that shares the beginning came along.
TEST(SharedSettingOptions, ShortenedNamesAreRefusedByBoth)
{
    struct Case {
        std::vector<std::string> words;
        std::string named;  // the argument the messages name
    };
    const std::vector<Case> cases = {
        {{"-sp", "200"}, "'-sp'"},
        {{"--spee=200"}, "'--spee'"},
        {{"-tex", "FOG"}, "'-tex'"},
        {{"--col", "FFFFFF"}, "'--col'"},
        {{"-det", "10"}, "'-det'"},
        {{"-no-st"}, "'-no-st'"},
        {{"--frame-r", "low"}, "'--frame-r'"},
        {{"-mon", "span"}, "'-mon'"},
        {{"--partic"}, "'--partic'"},
        {{"-underla"}, "'-underla'"},
        // The programs' own options: -root and -window-id of the X11 program,
        // -quiet and -size of flowball-render; each name is unknown to the
        // other program too.
        {{"-ro"}, "'-ro'"},
        {{"--window", "5"}, "'--window'"},
        {{"-qui"}, "'-qui'"},
        {{"--siz", "10x10"}, "'--siz'"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.words[0]);
        const BothParsed parsed = parseBoth(c.words);
        EXPECT_FALSE(parsed.hostOk);
        EXPECT_FALSE(parsed.renderOk);
        EXPECT_NE(parsed.hostError.find(c.named), std::string::npos) << parsed.hostError;
        EXPECT_NE(parsed.renderError.find(c.named), std::string::npos) << parsed.renderError;
    }
    // The same words in full are taken, each by its own program.
    EXPECT_TRUE(parseBoth({"-speed", "200", "--no-stars", "-monitors", "span"}).hostOk);
    EXPECT_TRUE(parseBoth({"-speed", "200", "--no-stars", "-monitors", "span"}).renderOk);
}

// One parser gives both programs the same messages for the same faults.
TEST(SharedSettingOptions, SameFaultsGiveTheSameMessages)
{
    const std::vector<std::vector<std::string>> cases = {
        {"--speed", "24"}, {"--stars=1"}, {"--bogus"}, {"-bogus"}, {"--detail"},
    };
    for (const auto& words : cases) {
        SCOPED_TRACE(words[0]);
        const BothParsed parsed = parseBoth(words);
        ASSERT_FALSE(parsed.hostOk);
        EXPECT_EQ(parsed.hostError, parsed.renderError);
    }
}

}  // namespace
