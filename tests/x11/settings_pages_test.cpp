// The package's manual page and the daemon's settings page are written from
// the settings table: real rows read in both as written out here by hand,
// a row added to the table arrives without another edit, and a page that
// lacks a row, or carries it in a form the option is not, is caught by name.
#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "settings_pages.h"

namespace {

std::string daemonPage(const SettingInfo* table, int count)
{
    return daemonValueControls(table, count) + daemonSwitchControls(table, count);
}

std::vector<SettingInfo> tableWith(const SettingInfo& extraRow)
{
    std::vector<SettingInfo> table(settingTable, settingTable + settingCount);
    table.push_back(extraRow);
    return table;
}

constexpr SettingChoice fakeChoices[] = {{0, "calm", "Calm water"}, {1, "storm", "A storm"}};

// Rows of every kind that the real table may gain.
const SettingInfo fakeRows[] = {
    {"Glow", "glow", "no-glow", SettingKind::Switch, 0, 0, 1, false, &Settings::stars, nullptr, 0,
     "a glow round the light", "Glow"},
    {"Halo", "halo", "no-halo", SettingKind::Switch, 1, 0, 1, false, &Settings::stars, nullptr, 0,
     "a halo that is on at first", "Halo"},
    {"RippleCount", "ripple-count", nullptr, SettingKind::Number, 7, 3, 12, true, &Settings::speed, nullptr, 0,
     "ripples on the surface", "Ripples"},
    {"Weather", "weather", nullptr, SettingKind::Choice, 1, 0, 1, false, &Settings::frameRate, fakeChoices, 2,
     "the weather in the band", "Weather"},
    {"Tint", "tint", nullptr, SettingKind::Colour, 0x123456, 0, 0xFFFFFF, false, &Settings::colour, nullptr, 0,
     "the tint of the bars", "Tint"},
};

}  // namespace

namespace {

// Rows of the real table as a reader finds them in each page, written out by
// hand: neither the generator nor the completeness check shapes them.
struct HandWritten {
    const char* storedName;
    const char* manualEntry;
    const char* pageText;
};

const HandWritten handWritten[] = {
    {"Texture",
     ".TP\n.BI \\-texture \" NAME\"\nThe pattern on the ball: sphere, notsphere, gradient, smoke, fog, ring, star, "
     "sand, black, check, grille, grain (default fog).\n",
     "<select id=\"texture\">\n        <option id=\"texture-sphere\" _label=\"Texture: sphere\" "
     "arg-set=\"-texture sphere\"/>\n"},
    {"Colour", ".TP\n.BI \\-colour \" RRGGBB\"\nThe ball's colour, as six hexadecimal digits, optionally after # "
               "(default FFCC00).\n",
     "<option id=\"colour-gold\" _label=\"Colour: gold\"/>\n"},
    {"Speed", ".TP\n.BI \\-speed \" N\"\nMotion speed in percent, 25 to 400 (default 100).\n",
     "<number id=\"speed\" type=\"slider\" arg=\"-speed %\"\n"},
    {"Bars", ".TP\n.BR \\-bars \", \" \\-no\\-bars\nThe breathing letterbox bars (default on).\n",
     "<boolean id=\"bars\" _label=\"The breathing letterbox bars\" arg-unset=\"-no-bars\"/>\n"},
    {"FrameRate",
     ".TP\n.BI \\-frame\\-rate \" NAME\"\nHow often a frame is drawn: timer (0): as designed (up to 100 a second); "
     "display (1): in step with the display; low (2): at most 30 a second (saves power) (default timer).\n",
     "<option id=\"frame-rate-low\" _label=\"Frame rate: at most 30 a second (saves power)\" "
     "arg-set=\"-frame-rate low\"/>\n"},
};

std::vector<SettingInfo> tableWithout(const char* storedName)
{
    std::vector<SettingInfo> table;
    for (int row = 0; row < settingCount; ++row) {
        if (std::string(settingTable[row].storedName) != storedName)
            table.push_back(settingTable[row]);
    }
    return table;
}

std::vector<SettingInfo> rowsNamed(std::initializer_list<const char*> storedNames)
{
    std::vector<SettingInfo> rows;
    for (const char* name : storedNames) {
        const SettingInfo* row = findSetting(name);
        EXPECT_NE(row, nullptr) << name;
        if (row != nullptr)
            rows.push_back(*row);
    }
    return rows;
}

}  // namespace

TEST(SettingsPages, RealRowsReadAsWrittenOutByHand)
{
    const std::string manual = manualSettingsSection(settingTable, settingCount);
    const std::string page = daemonPage(settingTable, settingCount);
    EXPECT_TRUE(settingsMissingFromManual(settingTable, settingCount, "\n" + manual).empty());
    EXPECT_TRUE(settingsMissingFromDaemonPage(settingTable, settingCount, page).empty());
    for (const HandWritten& row : handWritten) {
        SCOPED_TRACE(row.storedName);
        EXPECT_NE(manual.find(row.manualEntry), std::string::npos) << manual;
        EXPECT_NE(page.find(row.pageText), std::string::npos) << page;
        // Pages written without the row lack what was expected of it.
        const std::vector<SettingInfo> others = tableWithout(row.storedName);
        ASSERT_EQ(int(others.size()), settingCount - 1);
        EXPECT_EQ(manualSettingsSection(others.data(), int(others.size())).find(row.manualEntry), std::string::npos);
        EXPECT_EQ(daemonPage(others.data(), int(others.size())).find(row.pageText), std::string::npos);
    }
}

TEST(SettingsPages, TheCompletenessCheckReadsHandWrittenPages)
{
    const std::vector<SettingInfo> rows = rowsNamed({"Texture", "Speed", "Bars", "FrameRate"});
    const int count = int(rows.size());
    const std::string manual = "\n.TH FLOWBALL 6\n.TP\n.BI \\-texture \" NAME\"\nThe pattern.\n"
                               ".TP\n.BI \\-speed \" N\"\nSpeed.\n.TP\n.BR \\-bars \", \" \\-no\\-bars\nBars.\n";
    EXPECT_EQ(settingsMissingFromManual(rows.data(), count, manual + ".TP\n.BI \\-frame\\-rate \" NAME\"\nRate.\n"),
              std::vector<std::string>{});
    // A hyphen where groff wants the minus sign is not the option.
    EXPECT_EQ(settingsMissingFromManual(rows.data(), count, manual + ".TP\n.BI \\-frame-rate \" NAME\"\nRate.\n"),
              std::vector<std::string>{"frame-rate"});
    EXPECT_EQ(settingsMissingFromManual(rows.data(), count, manual), std::vector<std::string>{"frame-rate"});

    const std::string page = "<screensaver name=\"flowball\">\n<select id=\"texture\">\n</select>\n"
                             "<number id=\"speed\" type=\"slider\"/>\n<boolean id=\"bars\"/>\n";
    EXPECT_EQ(settingsMissingFromDaemonPage(rows.data(), count, page + "<select id=\"frame-rate\">\n</select>\n"),
              std::vector<std::string>{});
    // A choice's own id names the choice, not the row.
    EXPECT_EQ(settingsMissingFromDaemonPage(rows.data(), count,
                                            page + "<option id=\"frame-rate-low\" _label=\"Low\"/>\n"),
              std::vector<std::string>{"frame-rate"});
    EXPECT_EQ(settingsMissingFromDaemonPage(rows.data(), count, "<select id=\"frame-rate\">\n"),
              (std::vector<std::string>{"texture", "speed", "bars"}));
}

TEST(SettingsPages, ARowAddedToTheTableReachesBothPages)
{
    for (const SettingInfo& fake : fakeRows) {
        SCOPED_TRACE(fake.optionName);
        const std::vector<SettingInfo> table = tableWith(fake);
        const int count = int(table.size());
        const std::string manual = "\n" + manualSettingsSection(table.data(), count);
        const std::string page = daemonPage(table.data(), count);
        EXPECT_TRUE(settingsMissingFromManual(table.data(), count, manual).empty());
        EXPECT_TRUE(settingsMissingFromDaemonPage(table.data(), count, page).empty());
        // Written from the row itself: its help and its range or names.
        // (The manual's sentence starts with a capital.)
        EXPECT_NE(manual.find(fake.help + 1), std::string::npos) << manual;
        EXPECT_NE(page.find(std::string("id=\"") + fake.optionName + "\""), std::string::npos) << page;
        // Without the row the pages do not carry it.
        EXPECT_EQ(manualSettingsSection(settingTable, settingCount).find(fake.help + 1), std::string::npos);
    }
}

struct WrittenRow {
    const SettingInfo* row;
    const char* manualHas;  // groff text the manual page's entry carries
    const char* pageHas;    // XML the daemon's page carries
};

TEST(SettingsPages, EachKindIsWrittenAsItsOptionTakesIt)
{
    const WrittenRow cases[] = {
        {&fakeRows[0], ".BR \\-glow \", \" \\-no\\-glow\nA glow round the light (default off).",
         "<boolean id=\"glow\" _label=\"A glow round the light\" arg-set=\"-glow\"/>"},
        {&fakeRows[1], "(default on).", "<boolean id=\"halo\" _label=\"A halo that is on at first\" arg-unset=\"-no-halo\"/>"},
        {&fakeRows[2], ".BI \\-ripple\\-count \" N\"\nRipples on the surface, 3 to 12 (default 7).",
         "arg=\"-ripple-count %\""},
        {&fakeRows[3], "calm (0): calm water; storm (1): a storm (default storm).",
         "<option id=\"weather-calm\" _label=\"Weather: calm water\" arg-set=\"-weather calm\"/>"},
        {&fakeRows[4], "(default 123456).", "_label=\"Tint: 123456\"/>"},
    };
    for (const WrittenRow& written : cases) {
        SCOPED_TRACE(written.row->optionName);
        const std::string manual = manualSettingsSection(written.row, 1);
        const std::string page = daemonPage(written.row, 1);
        EXPECT_NE(manual.find(written.manualHas), std::string::npos) << manual;
        EXPECT_NE(page.find(written.pageHas), std::string::npos) << page;
    }
    // The default choice adds nothing to the command line.
    EXPECT_NE(daemonPage(&fakeRows[3], 1).find("<option id=\"weather-storm\" _label=\"Weather: a storm\"/>"),
              std::string::npos);
}

TEST(SettingsPages, APageThatLacksARowNamesIt)
{
    const std::string manual = "\n" + manualSettingsSection(settingTable, settingCount);
    const std::string page = daemonPage(settingTable, settingCount);
    // Take the speed entry out of each page.
    std::string shortManual = manual;
    const std::size_t entry = shortManual.find(".TP\n.BI \\-speed");
    ASSERT_NE(entry, std::string::npos);
    shortManual.erase(entry, shortManual.find(".TP\n", entry + 1) - entry);
    std::string shortPage = page;
    const std::size_t control = shortPage.find("<number id=\"speed\"");
    ASSERT_NE(control, std::string::npos);
    shortPage.erase(control, shortPage.find("/>", control) + 2 - control);

    EXPECT_EQ(settingsMissingFromManual(settingTable, settingCount, shortManual), std::vector<std::string>{"speed"});
    EXPECT_EQ(settingsMissingFromDaemonPage(settingTable, settingCount, shortPage),
              std::vector<std::string>{"speed"});
    // An empty page lacks every row, in table order.
    const std::vector<std::string> all = settingsMissingFromDaemonPage(settingTable, settingCount, "");
    ASSERT_EQ(int(all.size()), settingCount);
    EXPECT_EQ(all.front(), settingTable[0].optionName);
    EXPECT_EQ(all.back(), settingTable[settingCount - 1].optionName);
}

TEST(SettingsPages, MarkerLinesAreReplacedWholeWithTheirIndentation)
{
    std::string text = "<a>\n    <!-- HERE -->\n</a>\n";
    EXPECT_TRUE(replaceMarkerLine(text, "<!-- HERE -->", "      <b/>\n"));
    EXPECT_EQ(text, "<a>\n      <b/>\n</a>\n");
    std::string other = "<a><!-- HERE --></a>\n";
    EXPECT_FALSE(replaceMarkerLine(other, "<!-- HERE -->", "x"));
    EXPECT_EQ(other, "<a><!-- HERE --></a>\n");
}
