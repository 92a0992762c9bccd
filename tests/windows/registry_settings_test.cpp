// The settings' registry store against the real registry of the Wine prefix,
// under a key of the test's own.
#include "driver/windows/registry_settings.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>

namespace {

constexpr char testKey[] = "Software\\Flowball tests\\registry settings";

class RegistrySettingsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        deleteTestKey();
        ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, testKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
                  ERROR_SUCCESS);
    }

    void TearDown() override
    {
        RegCloseKey(key);
        deleteTestKey();
    }

    // Removes the test key and what is in it, with the calls every Windows
    // has: RegDeleteKeyA removes only keys without subkeys.
    static void deleteTestKey()
    {
        HKEY open = nullptr;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, testKey, 0, KEY_ALL_ACCESS, &open) == ERROR_SUCCESS) {
            char name[256];
            while (RegEnumKeyA(open, 0, name, sizeof name) == ERROR_SUCCESS)
                RegDeleteKeyA(open, name);
            RegCloseKey(open);
        }
        RegDeleteKeyA(HKEY_CURRENT_USER, testKey);
    }

    void setRaw(const char* name, DWORD type, const void* data, DWORD size)
    {
        ASSERT_EQ(RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size), ERROR_SUCCESS);
    }

    void setDword(const char* name, DWORD value) { setRaw(name, REG_DWORD, &value, sizeof value); }

    HKEY key = nullptr;
};

bool sameSettings(const Settings& a, const Settings& b)
{
    for (int row = 0; row < settingCount; ++row) {
        if (a.*settingTable[row].field != b.*settingTable[row].field)
            return false;
    }
    return true;
}

TEST_F(RegistrySettingsTest, AMissingKeyOrEmptyKeyGivesTheDefaults)
{
    EXPECT_TRUE(sameSettings(loadSettings(HKEY_CURRENT_USER, "Software\\Flowball tests\\no such key"), Settings()));
    EXPECT_TRUE(sameSettings(loadSettings(HKEY_CURRENT_USER, testKey), Settings()));
}

TEST_F(RegistrySettingsTest, WhatIsSavedIsLoaded)
{
    Settings settings;
    settings.texture = 14;
    settings.colour = 0x123456;
    settings.speed = 25;
    settings.bars = 0;
    settings.detail = 100;
    settings.stars = settings.particles = settings.fog = settings.underlay = settings.overlay = 1;
    settings.frameRate = 2;
    settings.monitors = 1;
    ASSERT_TRUE(saveSettings(settings, HKEY_CURRENT_USER, testKey));
    EXPECT_TRUE(sameSettings(loadSettings(HKEY_CURRENT_USER, testKey), settings));

    DWORD type = 0;
    DWORD value = 0;
    DWORD size = sizeof value;
    ASSERT_EQ(RegQueryValueExA(key, "Colour", nullptr, &type, reinterpret_cast<BYTE*>(&value), &size),
              ERROR_SUCCESS);
    EXPECT_EQ(type, DWORD(REG_DWORD));
    EXPECT_EQ(value, 0x123456u);
}

TEST_F(RegistrySettingsTest, BadDataOfEveryKindGivesTheDefaultOrTheNearestValue)
{
    const char text[] = "200";
    const unsigned char eightBytes[8] = {50, 0, 0, 0, 0, 0, 0, 0};
    const unsigned char twoBytes[2] = {1, 0};
    setRaw("Speed", REG_SZ, text, sizeof text);             // a number as text
    setRaw("Detail", REG_DWORD, eightBytes, 8);             // too long for a DWORD
    setRaw("Texture", REG_BINARY, eightBytes, 4);           // four bytes, not a DWORD
    setRaw("Bars", REG_DWORD, twoBytes, 2);                 // too short
    setDword("Colour", 0xFFFFFFFF);                         // beyond 24 bits
    setDword("FrameRate", 0xFFFFFFFF);
    setDword("Fog", 2);
    setRaw("Overlay", REG_DWORD_BIG_ENDIAN, twoBytes, 2);
    setRaw("Monitors", REG_MULTI_SZ, "1\0\0", 3);
    HKEY subKey = nullptr;                                  // a key named like a value
    ASSERT_EQ(RegCreateKeyExA(key, "Stars", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &subKey, nullptr),
              ERROR_SUCCESS);
    RegCloseKey(subKey);
    setDword("Particles", 1);                                // the one good value

    const Settings loaded = loadSettings(HKEY_CURRENT_USER, testKey);
    Settings expected;
    expected.particles = 1;
    EXPECT_TRUE(sameSettings(loaded, expected));

    // Out of range where the nearest value is what a user means.
    setDword("Speed", 0xFFFFFFFF);
    setDword("Detail", 0);
    const Settings clamped = loadSettings(HKEY_CURRENT_USER, testKey);
    EXPECT_EQ(clamped.speed, 400);
    EXPECT_EQ(clamped.detail, 8);
}

TEST_F(RegistrySettingsTest, StoredNamesAreMatchedWhateverTheirCase)
{
    setDword("SPEED", 300);
    EXPECT_EQ(loadSettings(HKEY_CURRENT_USER, testKey).speed, 300);
}

}  // namespace
