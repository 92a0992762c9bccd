// The settings read from a store's (type, bytes) answers, as the registry
// key answers them: every setting's number from a 4-byte REG_DWORD alone,
// validated.
#include "host/windows/settings_store.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <map>
#include <string>
#include <vector>

#include "settings/stored_flag.h"

namespace {

class MapStore final : public SettingsStore {
public:
    bool read(const char* name, StoredValue& value) const override
    {
        const auto found = values.find(name);
        if (found == values.end())
            return false;
        value = found->second;
        return true;
    }

    std::map<std::string, StoredValue> values;
};

constexpr std::uint32_t binaryType = 3;     // REG_BINARY
constexpr std::uint32_t bigEndianType = 5;  // REG_DWORD_BIG_ENDIAN

StoredValue stored(std::uint32_t type, std::initializer_list<unsigned char> bytes)
{
    StoredValue value;
    value.type = type;
    for (unsigned char byte : bytes)
        value.bytes[value.size++] = byte;
    return value;
}

TEST(SettingsStore, EverySettingIsReadFromAFourByteDwordAndValidated)
{
    MapStore store;
    store.values["Colour"] = storedValueOf(0x123456);
    store.values["Detail"] = storedValueOf(0);                   // below the range: the nearest value
    store.values["Speed"] = stored(registryDwordType, {44, 1, 0, 0, 0, 0, 0, 0});  // 300, but 8 bytes
    store.values["Texture"] = stored(binaryType, {1, 0, 0, 0});
    store.values["Bars"] = stored(registryDwordType, {0, 0});
    store.values["Overlay"] = stored(bigEndianType, {0, 0, 0, 1});
    store.values["FrameRate"] = storedValueOf(-1);               // 0xFFFFFFFF, no such choice
    store.values["Stars"] = storedValueOf(1);

    Settings expected;
    expected.colour = 0x123456;
    expected.detail = 8;
    expected.stars = 1;
    const Settings read = readSettings(store);
    for (int row = 0; row < settingCount; ++row)
        EXPECT_EQ(read.*settingTable[row].field, expected.*settingTable[row].field) << settingTable[row].storedName;
}

TEST(SettingsStore, AValueIsStoredAsFourLittleEndianBytesAndReadBack)
{
    const StoredValue colour = storedValueOf(0x00FFCC00);
    EXPECT_EQ(colour.type, registryDwordType);
    ASSERT_EQ(colour.size, 4u);
    EXPECT_EQ(std::vector<unsigned char>(colour.bytes, colour.bytes + 4),
              (std::vector<unsigned char>{0x00, 0xCC, 0xFF, 0x00}));
    EXPECT_EQ(storedNumber(colour), 0x00FFCC00);
    EXPECT_EQ(storedNumber(storedValueOf(-1)), 0xFFFFFFFFll) << "read as unsigned, as the registry holds it";
    EXPECT_EQ(storedNumber(stored(registryTextType, {'1', 0, 0, 0})), std::nullopt);
}

}  // namespace
