#include "settings/setting_options.h"

#include <getopt.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr int rootCode = 'r';
constexpr int windowIdCode = 'w';

const option hostOptions[] = {
    {"root", no_argument, nullptr, rootCode},
    {"window-id", required_argument, nullptr, windowIdCode},
};

struct Parsed {
    bool ok = true;
    Settings settings;
    std::string error;
    bool root = false;
    std::string windowId;
};

// A host's loop over getopt_long_only, as the header describes it.
Parsed parse(std::vector<const char*> arguments)
{
    arguments.insert(arguments.begin(), "host");
    arguments.push_back(nullptr);
    std::vector<char*> argv;
    for (const char* argument : arguments)
        argv.push_back(const_cast<char*>(argument));

    const SettingOptions settingOptions(hostOptions, 2);
    Parsed parsed;
    optind = 0;  // a fresh scan
    opterr = 0;
    int code;
    while ((code = getopt_long_only(int(argv.size()) - 1, argv.data(), "+:", settingOptions.longOptions(),
                                    nullptr)) != -1) {
        if (settingOptions.owns(code)) {
            if (!settingOptions.apply(code, optarg, parsed.settings, parsed.error)) {
                parsed.ok = false;
                break;
            }
        } else if (code == rootCode) {
            parsed.root = true;
        } else if (code == windowIdCode) {
            parsed.windowId = optarg;
        } else {
            parsed.ok = false;
            parsed.error = "getopt refused an argument";
            break;
        }
    }
    return parsed;
}

TEST(SettingOptions, NoOptionsLeaveTheDefaults)
{
    const Parsed parsed = parse({});
    ASSERT_TRUE(parsed.ok);
    const Settings defaults;
    for (int i = 0; i < settingCount; ++i)
        EXPECT_EQ(parsed.settings.*settingTable[i].field, defaults.*settingTable[i].field);
}

TEST(SettingOptions, EveryFormOfEveryKindIsTaken)
{
    const Parsed parsed = parse({"-texture", "smoke", "--colour=#00ff7F", "--speed", "400", "-no-bars", "--detail=8",
                                 "--stars", "-particles", "--fog", "--underlay", "--overlay", "--frame-rate",
                                 "Display", "-monitors=span", "--root", "--window-id", "0x2a"});
    ASSERT_TRUE(parsed.ok) << parsed.error;
    EXPECT_EQ(parsed.settings.texture, 3);
    EXPECT_EQ(parsed.settings.colour, 0x00FF7F);
    EXPECT_EQ(parsed.settings.speed, 400);
    EXPECT_EQ(parsed.settings.bars, 0);
    EXPECT_EQ(parsed.settings.detail, 8);
    EXPECT_EQ(parsed.settings.stars + parsed.settings.particles + parsed.settings.fog + parsed.settings.underlay +
                  parsed.settings.overlay,
              5);
    EXPECT_EQ(parsed.settings.frameRate, 1);
    EXPECT_EQ(parsed.settings.monitors, 1);
    EXPECT_TRUE(parsed.root);
    EXPECT_EQ(parsed.windowId, "0x2a");
}

TEST(SettingOptions, LaterOptionsWin)
{
    const Parsed parsed = parse({"--stars", "--no-stars", "--no-bars", "--bars", "--speed", "50", "--speed", "60"});
    ASSERT_TRUE(parsed.ok) << parsed.error;
    EXPECT_EQ(parsed.settings.stars, 0);
    EXPECT_EQ(parsed.settings.bars, 1);
    EXPECT_EQ(parsed.settings.speed, 60);
}

struct ValueCase {
    const char* option;
    const char* text;
    int field;  // the value taken; ignored when refused
    bool taken;
};

const ValueCase valueCases[] = {
    {"texture", "FOG", 4, true},
    {"texture", "grain", 14, true},
    {"texture", "Ring", 5, true},
    {"texture", "black", 8, true},
    {"texture", "0", 0, true},
    {"texture", "14", 14, true},
    {"texture", "9", 0, false},
    {"texture", "X50", 0, false},
    {"texture", "15", 0, false},
    {"texture", "FO", 0, false},
    {"texture", "", 0, false},
    {"colour", "FFCC00", 0xFFCC00, true},
    {"colour", "#000000", 0, true},
    {"colour", "abcdef", 0xABCDEF, true},
    {"colour", "FFCC0", 0, false},
    {"colour", "FFCC000", 0, false},
    {"colour", "0xFFCC", 0, false},
    {"colour", "#-FFCC0", 0, false},
    {"colour", "GGGGGG", 0, false},
    {"colour", "##FFCC00", 0, false},
    {"speed", "25", 25, true},
    {"speed", "400", 400, true},
    {"speed", "24", 0, false},
    {"speed", "401", 0, false},
    {"speed", "-100", 0, false},
    {"speed", "+100", 0, false},
    {"speed", "100%", 0, false},
    {"speed", " 100", 0, false},
    {"speed", "1e2", 0, false},
    {"speed", "99999999999999999999", 0, false},
    {"detail", "8", 8, true},
    {"detail", "100", 100, true},
    {"detail", "7", 0, false},
    {"detail", "101", 0, false},
    {"frame-rate", "timer", 0, true},
    {"frame-rate", "LOW", 2, true},
    {"frame-rate", "2", 2, true},
    {"frame-rate", "3", 0, false},
    {"frame-rate", "fast", 0, false},
    {"monitors", "each", 0, true},
    {"monitors", "1", 1, true},
    {"monitors", "2", 0, false},
};

TEST(SettingOptions, ValuesAreTakenOrRefusedWithTheOptionAndItsRange)
{
    for (const ValueCase& c : valueCases) {
        const std::string option = std::string("--") + c.option;
        SCOPED_TRACE(option + " '" + c.text + "'");
        const Parsed parsed = parse({option.c_str(), c.text});
        ASSERT_EQ(parsed.ok, c.taken) << parsed.error;
        const SettingInfo* info = nullptr;
        for (int i = 0; i < settingCount; ++i) {
            if (option == std::string("--") + settingTable[i].optionName)
                info = &settingTable[i];
        }
        ASSERT_NE(info, nullptr);
        if (c.taken) {
            EXPECT_EQ(parsed.settings.*info->field, c.field);
        } else {
            EXPECT_EQ(parsed.error.find(option + " wants "), 0u) << parsed.error;
            EXPECT_NE(parsed.error.find(settingValueDescription(*info)), std::string::npos) << parsed.error;
            EXPECT_NE(parsed.error.find(std::string("(got '") + c.text + "')"), std::string::npos) << parsed.error;
        }
    }
}

TEST(SettingOptions, RangesAreNamedInTheMessages)
{
    const Parsed speed = parse({"--speed", "1000"});
    EXPECT_EQ(speed.error, "--speed wants a whole number from 25 to 400 (got '1000')");
    const Parsed frameRate = parse({"--frame-rate=7"});
    EXPECT_EQ(frameRate.error, "--frame-rate wants one of timer, display or low (or 0, 1 or 2) (got '7')");
    const Parsed colour = parse({"-colour", "red"});
    EXPECT_EQ(colour.error, "--colour wants a colour as six hex digits RRGGBB, from 000000 to FFFFFF (got 'red')");
}

TEST(SettingOptions, TheHostsOwnCodesAreNotTheSettings)
{
    const SettingOptions settingOptions(hostOptions, 2);
    EXPECT_FALSE(settingOptions.owns(rootCode));
    EXPECT_FALSE(settingOptions.owns(windowIdCode));
    EXPECT_FALSE(settingOptions.owns('?'));
    EXPECT_FALSE(settingOptions.owns(0));
    Settings settings;
    std::string error;
    EXPECT_FALSE(settingOptions.apply(rootCode, nullptr, settings, error));
    EXPECT_FALSE(settingOptions.apply(settingOptionCodeBase + 2 * settingCount, "1", settings, error));
    int settingRows = 0;
    for (const option* row = settingOptions.longOptions(); row->name != nullptr; ++row)
        settingRows += settingOptions.owns(row->val) ? 1 : 0;
    int expected = 0;
    for (int i = 0; i < settingCount; ++i)
        expected += settingTable[i].kind == SettingKind::Switch ? 2 : 1;
    EXPECT_EQ(settingRows, expected);
}

TEST(SettingOptions, HelpListsEveryOptionWithItsDefault)
{
    const std::string help = settingOptionsHelp();
    for (int i = 0; i < settingCount; ++i) {
        const SettingInfo& info = settingTable[i];
        const std::string name = std::string("  --") + info.optionName + " ";
        EXPECT_NE(help.find(name), std::string::npos) << name;
        if (info.offOptionName != nullptr) {
            EXPECT_NE(help.find(std::string("--") + info.offOptionName + ": off"), std::string::npos);
        }
        EXPECT_NE(help.find(info.help), std::string::npos) << info.help;
    }
    EXPECT_NE(help.find("(default FOG)"), std::string::npos);
    EXPECT_NE(help.find("(default FFCC00)"), std::string::npos);
    EXPECT_NE(help.find("25 to 400 (default 100)"), std::string::npos);
    EXPECT_NE(help.find("GRAIN"), std::string::npos);
    std::size_t start = 0;
    while (start < help.size()) {
        const std::size_t end = help.find('\n', start);
        ASSERT_NE(end, std::string::npos) << "every line ends with a newline";
        EXPECT_LE(end - start, 79u) << help.substr(start, end - start);
        start = end + 1;
    }
}

// The one parser every program uses, with the host rows above.
struct LineParsed {
    bool ok = false;
    Settings settings;
    std::string error;
    std::vector<int> ownCodes;  // the program's options, in order
};

LineParsed parseLine(std::vector<const char*> arguments)
{
    arguments.insert(arguments.begin(), "host");
    LineParsed parsed;
    const auto handle = [&parsed](int code, const char* value, std::string& error) {
        if (code == windowIdCode && std::string(value) == "bad") {
            error = "--window-id refused";
            return OptionUse::refused;
        }
        if (code >= settingOptionCodeBase)
            return OptionUse::notOwn;
        parsed.ownCodes.push_back(code);
        return OptionUse::taken;
    };
    parsed.ok = parseCommandLine(int(arguments.size()), arguments.data(), hostOptions, 2, parsed.settings, handle,
                                 parsed.error);
    return parsed;
}

TEST(CommandLine, FullNamesWithOneOrTwoDashesAreTaken)
{
    const LineParsed parsed = parseLine({"-root", "--speed", "150", "-window-id=7", "--no-bars", "-detail=9"});
    ASSERT_TRUE(parsed.ok) << parsed.error;
    EXPECT_EQ(parsed.ownCodes, (std::vector<int>{rootCode, windowIdCode}));
    EXPECT_EQ(parsed.settings.speed, 150);
    EXPECT_EQ(parsed.settings.bars, 0);
    EXPECT_EQ(parsed.settings.detail, 9);
}

TEST(CommandLine, EveryFaultIsRefusedWithItsMessage)
{
    struct Case {
        std::vector<const char*> arguments;
        const char* error;
    };
    const Case cases[] = {
        // Beginnings that getopt alone would take.
        {{"-ro"}, "unexpected argument '-ro' (no option of that name)"},
        {{"--roo"}, "unknown option '--roo'"},
        {{"-sp", "200"}, "unexpected argument '-sp' (no option of that name)"},
        {{"--spe=200"}, "unknown option '--spe'"},
        {{"-no-ba"}, "unexpected argument '-no-ba' (no option of that name)"},
        {{"--window", "5"}, "unknown option '--window'"},
        // Names longer than any option, and other faults.
        {{"--rooted"}, "unknown option '--rooted'"},
        {{"--root=1"}, "option --root takes no value (got '--root=1')"},
        {{"-speed"}, "option --speed needs a value"},
        {{"--speed", "1"}, "--speed wants a whole number from 25 to 400 (got '1')"},
        {{"-window-id", "bad"}, "--window-id refused"},
        {{"-root", "stray"}, "unexpected argument 'stray' (options start with - or --)"},
        // Control bytes are shown as codes: a message stays one line and
        // sends nothing to a terminal.
        {{"--speed", "2\n00"}, "--speed wants a whole number from 25 to 400 (got '2\\x0A00')"},
        {{"-root", "\x1B[2J\x7F"}, "unexpected argument '\\x1B[2J\\x7F' (options start with - or --)"},
        // C1 too: a byte of its own, or a character of UTF-8.
        {{"-root", "\x9B" "2J"}, "unexpected argument '\\x9B2J' (options start with - or --)"},
        {{"--speed", "\xC2\x9B" "2J"}, "--speed wants a whole number from 25 to 400 (got '\\xC2\\x9B2J')"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments[0]);
        const LineParsed parsed = parseLine(c.arguments);
        EXPECT_FALSE(parsed.ok);
        EXPECT_EQ(parsed.error, c.error);
    }
}

// Every control is shown as codes whatever its encoding, and every other
// character as it stands, whatever bytes its UTF-8 is made of.
TEST(QuotedArgument, ControlsAreCodesAndCharactersStand)
{
    struct Case {
        const char* text;
        const char* quoted;
    };
    const Case cases[] = {
        {"", "''"},
        {"plain text", "'plain text'"},
        {"\x01\x1F \x7F", "'\\x01\\x1F \\x7F'"},
        // C1 as bytes of their own (CSI in an 8-bit terminal), and as UTF-8.
        {"\x80\x9B" "2J\x9F", "'\\x80\\x9B2J\\x9F'"},
        {"\xC2\x80\xC2\x9B" "2J\xC2\x9F", "'\\xC2\\x80\\xC2\\x9B2J\\xC2\\x9F'"},
        // Characters whose UTF-8 holds bytes of C1's numbers are no controls.
        {"\xC2\xA0 \xC3\x9C \xE2\x82\xAC \xF0\x9F\x98\x80", "'\xC2\xA0 \xC3\x9C \xE2\x82\xAC \xF0\x9F\x98\x80'"},
        // Bytes that make no character count by their own value: an
        // overlong C1, a lead byte cut short, a surrogate.
        {"\xE0\x82\x9B", "'\xE0\\x82\\x9B'"},
        {"\xC2", "'\xC2'"},
        {"\xC2" "A\xFF", "'\xC2" "A\xFF'"},
        {"\xED\xA0\x80", "'\xED\xA0\\x80'"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.quoted);
        EXPECT_EQ(quotedArgument(c.text), c.quoted);
    }
}

TEST(CommandLine, EachParseStartsAfresh)
{
    ASSERT_FALSE(parseLine({"-root", "--bogus"}).ok);
    const LineParsed again = parseLine({"--speed", "300"});
    ASSERT_TRUE(again.ok) << again.error;
    EXPECT_EQ(again.settings.speed, 300);
}

}  // namespace
