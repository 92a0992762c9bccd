#include "settings/settings.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <type_traits>

#include "textures/texture_kind.h"

namespace {

const SettingInfo& row(const char* storedName)
{
    const SettingInfo* info = findSetting(storedName);
    if (info == nullptr)
        ADD_FAILURE() << "no setting " << storedName;
    return info != nullptr ? *info : settingTable[0];
}

TEST(SettingsTable, DefaultsAreTheDesignedScene)
{
    const Settings settings;
    EXPECT_EQ(settings.texture, int(TextureKind::Fog));
    EXPECT_EQ(settings.colour, 0xFFCC00);
    EXPECT_EQ(settings.speed, 100);
    EXPECT_EQ(settings.bars, 1);
    EXPECT_EQ(settings.detail, 32);
    EXPECT_EQ(settings.stars + settings.particles + settings.fog + settings.underlay + settings.overlay, 0);
    EXPECT_EQ(settings.frameRate, 0);
    EXPECT_EQ(settings.monitors, 0);
}

TEST(SettingsTable, EveryRowDescribesItsOwnFieldConsistently)
{
    const Settings settings;
    std::set<std::string> storedNames;
    std::set<std::string> optionNames;
    std::set<const void*> fields;
    for (int i = 0; i < settingCount; ++i) {
        const SettingInfo& info = settingTable[i];
        SCOPED_TRACE(info.storedName);
        EXPECT_EQ(settings.*info.field, info.defaultValue) << "the record's default is the table's";
        EXPECT_TRUE(isValidSettingValue(info, info.defaultValue));
        EXPECT_LE(info.minimum, info.maximum);
        EXPECT_TRUE(storedNames.insert(info.storedName).second);
        EXPECT_TRUE(optionNames.insert(info.optionName).second);
        EXPECT_TRUE(fields.insert(&(settings.*info.field)).second);
        EXPECT_EQ(info.offOptionName != nullptr, info.kind == SettingKind::Switch);
        if (info.offOptionName != nullptr) {
            EXPECT_EQ(std::string(info.offOptionName), std::string("no-") + info.optionName);
            EXPECT_TRUE(optionNames.insert(info.offOptionName).second);
        }
        EXPECT_EQ(info.choices != nullptr,
                  info.kind == SettingKind::Texture || info.kind == SettingKind::Choice);
        for (int c = 0; c < info.choiceCount; ++c) {
            EXPECT_GE(info.choices[c].value, info.minimum);
            EXPECT_LE(info.choices[c].value, info.maximum);
        }
        EXPECT_EQ(findSetting(info.storedName), &info);
    }
    // The record holds one int32 per row: a field without a row changes its
    // size.
    EXPECT_EQ(std::size_t(settingCount) * sizeof(std::int32_t), sizeof(Settings)) << "one row per field";
}

// A plain value: copied as bytes, with no table of virtual functions.
static_assert(std::is_trivially_copyable_v<Settings>);
static_assert(!std::is_polymorphic_v<Settings>);

TEST(SettingsTable, RowsAreFoundByTheirFields)
{
    for (int i = 0; i < settingCount; ++i)
        EXPECT_EQ(settingFor(settingTable[i].field), &settingTable[i]) << settingTable[i].storedName;
    EXPECT_EQ(settingFor(nullptr), nullptr);
}

TEST(SettingsTable, NamedChoicesReadBackAsTheirEnums)
{
    Settings settings;
    EXPECT_EQ(settings.frameRateChoice(), FrameRate::timer);
    EXPECT_EQ(settings.monitorsChoice(), Monitors::each);
    settings.frameRate = 2;
    settings.monitors = 1;
    EXPECT_EQ(settings.frameRateChoice(), FrameRate::low);
    EXPECT_EQ(settings.monitorsChoice(), Monitors::span);
    // Every choice of the table is a value of its enum, by the same number.
    const SettingInfo& frameRate = *settingFor(&Settings::frameRate);
    EXPECT_EQ(findSettingChoice(frameRate, std::int32_t(FrameRate::display))->name, std::string("display"));
    EXPECT_EQ(frameRate.choiceCount, 3);
    EXPECT_EQ(settingFor(&Settings::monitors)->choiceCount, 2);
}

TEST(SettingsTable, StoredNamesAreFoundWhateverTheirCase)
{
    EXPECT_EQ(findSetting("framerate"), findSetting("FrameRate"));
    EXPECT_NE(findSetting("FRAMERATE"), nullptr);
    EXPECT_EQ(findSetting("Frame"), nullptr);
    EXPECT_EQ(findSetting(""), nullptr);
}

TEST(SettingsTable, TexturesAreTheKindsThatShowAnImage)
{
    const SettingInfo& texture = row("Texture");
    for (int kind = -1; kind <= textureKindCount; ++kind) {
        SCOPED_TRACE(kind);
        const bool blank = kind == int(TextureKind::Blank) || kind == int(TextureKind::X50) ||
                           kind == int(TextureKind::Y50);
        const bool shows = isTextureKind(TextureKind(kind)) && !blank;
        EXPECT_EQ(isValidSettingValue(texture, kind), shows);
        const SettingChoice* choice = findSettingChoice(texture, kind);
        ASSERT_EQ(choice != nullptr, shows);
        const char* generatorName = textureKindName(TextureKind(kind));
        if (choice != nullptr && generatorName != nullptr) {
            EXPECT_STREQ(choice->name, generatorName) << "a kind's registered name is its name here";
        }
    }
    EXPECT_STREQ(findSettingChoice(texture, int(TextureKind::Ring))->name, "RING");
    EXPECT_STREQ(findSettingChoice(texture, int(TextureKind::Black))->name, "BLACK");
}

struct ValidationCase {
    const char* storedName;
    std::optional<std::int64_t> raw;  // nullopt: missing, wrong type or unreadable
    std::int32_t used;
    bool valid;
};

// Each setting at its bounds, just outside them, and missing or of the wrong
// type; the 32-bit extremes a registry DWORD can hold.
const ValidationCase validationCases[] = {
    {"Texture", 0, 0, true},
    {"Texture", 14, 14, true},
    {"Texture", -1, 4, false},
    {"Texture", 15, 4, false},
    {"Texture", 9, 4, false},
    {"Texture", 12, 4, false},
    {"Texture", 13, 4, false},
    {"Texture", std::nullopt, 4, false},
    {"Texture", 0xFFFFFFFF, 4, false},
    {"Colour", 0, 0, true},
    {"Colour", 0xFFFFFF, 0xFFFFFF, true},
    {"Colour", 0x123456, 0x123456, true},
    {"Colour", -1, 0xFFCC00, false},
    {"Colour", 0x1000000, 0xFFCC00, false},
    {"Colour", 0xFFFFFFFF, 0xFFCC00, false},
    {"Colour", std::nullopt, 0xFFCC00, false},
    {"Speed", 25, 25, true},
    {"Speed", 400, 400, true},
    {"Speed", 24, 25, false},
    {"Speed", 401, 400, false},
    {"Speed", 0, 25, false},
    {"Speed", INT64_MIN, 25, false},
    {"Speed", 0xFFFFFFFF, 400, false},
    {"Speed", std::nullopt, 100, false},
    {"Bars", 0, 0, true},
    {"Bars", 1, 1, true},
    {"Bars", -1, 1, false},
    {"Bars", 2, 1, false},
    {"Bars", std::nullopt, 1, false},
    {"Detail", 8, 8, true},
    {"Detail", 100, 100, true},
    {"Detail", 7, 8, false},
    {"Detail", 101, 100, false},
    {"Detail", INT64_MAX, 100, false},
    {"Detail", std::nullopt, 32, false},
    {"Stars", 1, 1, true},
    {"Stars", 2, 0, false},
    {"Stars", std::nullopt, 0, false},
    {"Particles", 1, 1, true},
    {"Particles", -1, 0, false},
    {"Fog", 0, 0, true},
    {"Fog", 0xFFFFFFFF, 0, false},
    {"Underlay", 1, 1, true},
    {"Underlay", 2, 0, false},
    {"Overlay", 1, 1, true},
    {"Overlay", std::nullopt, 0, false},
    {"FrameRate", 0, 0, true},
    {"FrameRate", 2, 2, true},
    {"FrameRate", 3, 0, false},
    {"FrameRate", -1, 0, false},
    {"FrameRate", std::nullopt, 0, false},
    {"Monitors", 1, 1, true},
    {"Monitors", 2, 0, false},
    {"Monitors", std::nullopt, 0, false},
};

TEST(SettingsValidation, EveryReaderGetsTheValueToUse)
{
    for (const ValidationCase& c : validationCases) {
        SCOPED_TRACE(std::string(c.storedName) + " " + (c.raw ? std::to_string(*c.raw) : "missing"));
        const CheckedSetting checked = checkSetting(row(c.storedName), c.raw);
        EXPECT_EQ(checked.value, c.used);
        EXPECT_EQ(checked.valid, c.valid);
    }
}

TEST(SettingsValidation, TheCasesCoverEverySetting)
{
    std::set<std::string> covered;
    for (const ValidationCase& c : validationCases)
        covered.insert(c.storedName);
    for (int i = 0; i < settingCount; ++i)
        EXPECT_EQ(covered.count(settingTable[i].storedName), 1u) << settingTable[i].storedName;
}

}  // namespace
