// The settings' registry store against the real registry of the Wine prefix,
// under a key of the test's own.
#include "host/windows/registry_settings.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <map>
#include <string>

namespace {

// A key of each test process's own: ctest runs the tests side by side, each
// in a process of its own, and one's clean-up must not delete another's key.
const std::string testKeyName =
    "Software\\Flowball tests\\registry settings " + std::to_string(GetCurrentProcessId());
const char* const testKey = testKeyName.c_str();

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

// The password switch as the saver reads it, from each type the registry
// can hold it as: a REG_SZ "0" (0x30 as a number) asks for no password.
TEST_F(RegistrySettingsTest, PasswordFlagIsReadByItsType)
{
    struct Case {
        const char* what;
        DWORD type;
        std::string data;
        bool on;
    };
    const DWORD one = 1;
    const DWORD zero = 0;
    const Case cases[] = {
        {"DWORD 1", REG_DWORD, std::string(reinterpret_cast<const char*>(&one), 4), true},
        {"DWORD 0", REG_DWORD, std::string(reinterpret_cast<const char*>(&zero), 4), false},
        {"text 1", REG_SZ, std::string("1\0", 2), true},
        {"text 0", REG_SZ, std::string("0\0", 2), false},
        {"text no", REG_SZ, std::string("no\0", 3), false},
        {"binary 1", REG_BINARY, std::string(reinterpret_cast<const char*>(&one), 4), false},
        {"expandable text 1", REG_EXPAND_SZ, std::string("1\0", 2), false},
        {"text list 1", REG_MULTI_SZ, std::string("1\0\0", 3), false},
        {"a long text", REG_SZ, std::string(300, '1') + '\0', false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        setRaw("ScreenSaveUsePassword", c.type, c.data.data(), DWORD(c.data.size()));
        EXPECT_EQ(registryFlagOn(key, "ScreenSaveUsePassword"), c.on);
    }
    RegDeleteValueA(key, "ScreenSaveUsePassword");
    EXPECT_FALSE(registryFlagOn(key, "ScreenSaveUsePassword")) << "a missing value";
}

// A key that cannot be written: the registry keeps no lasting key below a
// volatile one, as no policy can be set up here.
TEST_F(RegistrySettingsTest, FailedSaveSaysWhatFailed)
{
    HKEY volatileKey = nullptr;
    ASSERT_EQ(RegCreateKeyExA(key, "volatile", 0, nullptr, REG_OPTION_VOLATILE, KEY_ALL_ACCESS, nullptr,
                              &volatileKey, nullptr),
              ERROR_SUCCESS);
    RegCloseKey(volatileKey);
    const std::string blocked = std::string(testKey) + "\\volatile\\Flowball";

    SettingsSaveFailure failure;
    EXPECT_FALSE(saveSettings(Settings(), HKEY_CURRENT_USER, blocked.c_str(), &failure));
    EXPECT_EQ(failure.valueName, nullptr);
    EXPECT_NE(failure.error, ERROR_SUCCESS);
    char text[512];
    saveFailureMessage(failure, "HKEY_CURRENT_USER\\blocked", text, sizeof text);
    const std::string message = text;
    EXPECT_NE(message.find("the registry key HKEY_CURRENT_USER\\blocked could not be opened for writing"),
              std::string::npos)
        << message;
    EXPECT_NE(message.find("(error " + std::to_string(failure.error)), std::string::npos) << message;

    // A good save leaves the failure untouched and says nothing.
    SettingsSaveFailure untouched;
    EXPECT_TRUE(saveSettings(Settings(), HKEY_CURRENT_USER, testKey, &untouched));
    EXPECT_EQ(untouched.error, ERROR_SUCCESS);
}

// A key that policy made read-only: a security descriptor whose empty access
// list lets nobody write.
TEST_F(RegistrySettingsTest, SaveToAKeyNobodyMayWriteFails)
{
    HKEY locked = nullptr;
    ASSERT_EQ(RegCreateKeyExA(key, "locked", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &locked, nullptr),
              ERROR_SUCCESS);
    SECURITY_DESCRIPTOR descriptor;
    ASSERT_TRUE(InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION));
    ACL emptyList;
    ASSERT_TRUE(InitializeAcl(&emptyList, sizeof emptyList, ACL_REVISION));
    ASSERT_TRUE(SetSecurityDescriptorDacl(&descriptor, TRUE, &emptyList, FALSE));
    ASSERT_EQ(RegSetKeySecurity(locked, DACL_SECURITY_INFORMATION, &descriptor), ERROR_SUCCESS);
    RegCloseKey(locked);

    SettingsSaveFailure failure;
    const std::string lockedName = std::string(testKey) + "\\locked";
    EXPECT_FALSE(saveSettings(Settings(), HKEY_CURRENT_USER, lockedName.c_str(), &failure));
    EXPECT_EQ(failure.valueName, nullptr);
    EXPECT_EQ(failure.error, ERROR_ACCESS_DENIED);

    // The owner may still change the access list: open again for the
    // clean-up.
    ASSERT_EQ(RegOpenKeyExA(key, "locked", 0, WRITE_DAC, &locked), ERROR_SUCCESS);
    ASSERT_TRUE(SetSecurityDescriptorDacl(&descriptor, TRUE, nullptr, FALSE));
    EXPECT_EQ(RegSetKeySecurity(locked, DACL_SECURITY_INFORMATION, &descriptor), ERROR_SUCCESS);
    RegCloseKey(locked);
}

// The registry's writer, but refusing what a test names, as a registry that
// is full or failing would: every write of one value, and every write but
// the first of another, so that it is written and cannot be put back.
struct Refusals {
    std::string always;
    std::string afterFirst;
    int writesOfAfterFirst = 0;
};
Refusals refusals;

LONG WINAPI refusingWriter(HKEY key, LPCSTR name, DWORD reserved, DWORD type, const BYTE* data, DWORD size)
{
    if (refusals.always == name)
        return ERROR_REGISTRY_IO_FAILED;
    if (refusals.afterFirst == name && refusals.writesOfAfterFirst++ > 0)
        return ERROR_REGISTRY_IO_FAILED;
    return RegSetValueExA(key, name, reserved, type, data, size);
}

// A value as stored: its type and bytes, or "none".
std::string storedValue(HKEY key, const char* name)
{
    DWORD type = 0;
    BYTE data[64] = {};
    DWORD size = sizeof data;
    if (RegQueryValueExA(key, name, nullptr, &type, data, &size) != ERROR_SUCCESS)
        return "none";
    return std::to_string(type) + ":" + std::string(reinterpret_cast<const char*>(data), size);
}

class PartlyFailedSaveTest : public RegistrySettingsTest {
protected:
    // Settings of every kind stored before the save: values of the right
    // and the wrong type, and names with no value.
    void SetUp() override
    {
        RegistrySettingsTest::SetUp();
        setDword("Texture", 7);
        const char text[] = "200";
        setRaw("Speed", REG_SZ, text, sizeof text);
        setDword("Bars", 0);
        setDword("Particles", 1);
        for (int row = 0; row < settingCount; ++row)
            before[settingTable[row].storedName] = storedValue(key, settingTable[row].storedName);
        changed.texture = 14;
        changed.colour = 0x123456;
        changed.speed = 300;
        changed.bars = 1;
        changed.detail = 50;
        changed.stars = changed.particles = changed.fog = 1;
        refusals = Refusals();
    }

    void expectStoredAsBefore()
    {
        for (int row = 0; row < settingCount; ++row)
            EXPECT_EQ(storedValue(key, settingTable[row].storedName), before[settingTable[row].storedName])
                << settingTable[row].storedName;
    }

    std::map<std::string, std::string> before;
    Settings changed;
};

// Texture, Colour, Speed, Bars and Detail are written before Stars fails:
// each is put back as it was, or removed where there was none.
TEST_F(PartlyFailedSaveTest, AValueThatFailsPutsBackThoseWrittenBeforeIt)
{
    refusals.always = "Stars";
    SettingsSaveFailure failure;
    EXPECT_FALSE(saveSettings(changed, HKEY_CURRENT_USER, testKey, &failure, refusingWriter));
    ASSERT_NE(failure.valueName, nullptr);
    EXPECT_STREQ(failure.valueName, "Stars");
    EXPECT_EQ(failure.error, ERROR_REGISTRY_IO_FAILED);
    EXPECT_FALSE(failure.partlySaved);
    expectStoredAsBefore();

    char text[1024];
    saveFailureMessage(failure, "HKEY_CURRENT_USER\\Software\\Flowball", text, sizeof text);
    const std::string message = text;
    EXPECT_NE(message.find("No setting was changed."), std::string::npos) << message;
    EXPECT_NE(message.find("Cancel leaves the settings as they were"), std::string::npos) << message;

    // The same save once every value can be written.
    EXPECT_TRUE(saveSettings(changed, HKEY_CURRENT_USER, testKey, &failure, RegSetValueExA));
    EXPECT_TRUE(sameSettings(loadSettings(HKEY_CURRENT_USER, testKey), changed));
}

// Speed is written, Stars fails, and Speed cannot be put back: the failure
// and the message say that the stored settings are part new, part old.
TEST_F(PartlyFailedSaveTest, AValueThatCannotBePutBackIsReported)
{
    refusals.always = "Stars";
    refusals.afterFirst = "Speed";
    SettingsSaveFailure failure;
    EXPECT_FALSE(saveSettings(changed, HKEY_CURRENT_USER, testKey, &failure, refusingWriter));
    ASSERT_NE(failure.valueName, nullptr);
    EXPECT_STREQ(failure.valueName, "Stars");
    EXPECT_TRUE(failure.partlySaved);
    EXPECT_EQ(loadSettings(HKEY_CURRENT_USER, testKey).speed, 300);
    // The others are put back all the same.
    EXPECT_EQ(storedValue(key, "Texture"), before["Texture"]);
    EXPECT_EQ(storedValue(key, "Colour"), "none");

    char text[1024];
    saveFailureMessage(failure, "HKEY_CURRENT_USER\\Software\\Flowball", text, sizeof text);
    const std::string message = text;
    EXPECT_NE(message.find("the value Stars under HKEY_CURRENT_USER\\Software\\Flowball could not be written"),
              std::string::npos)
        << message;
    EXPECT_NE(message.find("the stored settings are now part new, part old"), std::string::npos) << message;
    EXPECT_EQ(message.find("as they were"), std::string::npos) << message;
}

// An old value longer than any setting's, which no Flowball wrote, is not
// kept: it cannot be put back, and the failure says so.
TEST_F(PartlyFailedSaveTest, AValueTooLongToKeepCannotBePutBack)
{
    const std::string longText(200, 'x');
    setRaw("Texture", REG_SZ, longText.c_str(), DWORD(longText.size() + 1));
    refusals.always = "Stars";
    SettingsSaveFailure failure;
    EXPECT_FALSE(saveSettings(changed, HKEY_CURRENT_USER, testKey, &failure, refusingWriter));
    EXPECT_TRUE(failure.partlySaved);
    EXPECT_EQ(storedValue(key, "Speed"), before["Speed"]);
}

bool keyExists(const std::string& name)
{
    HKEY open = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, name.c_str(), 0, KEY_QUERY_VALUE, &open) != ERROR_SUCCESS)
        return false;
    RegCloseKey(open);
    return true;
}

// The registry as it was found, key included: a key the failed save made
// goes, one that was there stays.
TEST_F(PartlyFailedSaveTest, AFailedSaveRemovesOnlyTheKeyItMade)
{
    refusals.always = "Stars";
    const std::string newKey = testKeyName + "\\made by the save";
    SettingsSaveFailure failure;
    EXPECT_FALSE(saveSettings(changed, HKEY_CURRENT_USER, newKey.c_str(), &failure, refusingWriter));
    EXPECT_STREQ(failure.valueName, "Stars");
    EXPECT_FALSE(failure.partlySaved);
    EXPECT_FALSE(keyExists(newKey));

    EXPECT_FALSE(saveSettings(changed, HKEY_CURRENT_USER, testKey, &failure, refusingWriter));
    EXPECT_TRUE(keyExists(testKeyName));
    expectStoredAsBefore();
}

TEST_F(RegistrySettingsTest, FailureMessageNamesTheValueAndTheReason)
{
    SettingsSaveFailure failure;
    failure.valueName = "Speed";
    failure.error = ERROR_ACCESS_DENIED;
    char text[512];
    saveFailureMessage(failure, "HKEY_CURRENT_USER\\Software\\Flowball", text, sizeof text);
    const std::string message = text;
    EXPECT_EQ(message.find("The settings could not be saved: the value Speed under "
                           "HKEY_CURRENT_USER\\Software\\Flowball could not be written (error 5"),
              0u)
        << message;
    EXPECT_NE(message.find("Cancel leaves the settings as they were"), std::string::npos) << message;
    // A short buffer cuts the message short, within its bounds.
    char shortText[16];
    saveFailureMessage(failure, "HKEY_CURRENT_USER\\Software\\Flowball", shortText, sizeof shortText);
    EXPECT_EQ(std::string(shortText), "The settings co");
}

}  // namespace

