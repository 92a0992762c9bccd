#include "host/windows/settings_store.h"

#include "settings/stored_flag.h"

std::optional<std::int64_t> storedNumber(const StoredValue& value)
{
    if (value.type != registryDwordType || value.size != 4)
        return std::nullopt;
    const std::uint32_t number = std::uint32_t(value.bytes[0]) | std::uint32_t(value.bytes[1]) << 8 |
                                 std::uint32_t(value.bytes[2]) << 16 | std::uint32_t(value.bytes[3]) << 24;
    return std::int64_t(number);
}

StoredValue storedValueOf(std::int32_t value)
{
    const std::uint32_t number = std::uint32_t(value);
    StoredValue stored;
    stored.type = registryDwordType;
    stored.size = 4;
    for (std::size_t i = 0; i < 4; ++i)
        stored.bytes[i] = static_cast<unsigned char>(number >> (8 * i));
    return stored;
}

Settings readSettings(const SettingsStore& store)
{
    Settings settings;
    for (int row = 0; row < settingCount; ++row) {
        const SettingInfo& info = settingTable[row];
        StoredValue value;
        const std::optional<std::int64_t> raw =
            store.read(info.storedName, value) ? storedNumber(value) : std::nullopt;
        settings.*info.field = checkSetting(info, raw).value;
    }
    return settings;
}
