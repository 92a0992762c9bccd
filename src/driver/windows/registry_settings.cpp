#include "driver/windows/registry_settings.h"

#include <cstdint>
#include <optional>

namespace {

// The stored value as a number, or nothing when it is not a 4-byte REG_DWORD
// (REG_DWORD_BIG_ENDIAN included: nobody writes one on purpose).
std::optional<std::int64_t> readDword(HKEY key, const char* name)
{
    DWORD type = 0;
    DWORD value = 0;
    DWORD size = sizeof value;
    // Longer data fails with ERROR_MORE_DATA and writes nothing.
    if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) != ERROR_SUCCESS)
        return std::nullopt;
    if (type != REG_DWORD || size != sizeof value)
        return std::nullopt;
    return std::int64_t(value);
}

}  // namespace

Settings loadSettings(HKEY root, const char* subKey)
{
    Settings settings;
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, subKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return settings;
    for (int row = 0; row < settingCount; ++row) {
        const SettingInfo& info = settingTable[row];
        settings.*info.field = checkSetting(info, readDword(key, info.storedName)).value;
    }
    RegCloseKey(key);
    return settings;
}

bool saveSettings(const Settings& settings, HKEY root, const char* subKey)
{
    HKEY key = nullptr;
    if (RegCreateKeyExA(root, subKey, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_SET_VALUE, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        return false;
    bool written = true;
    for (int row = 0; row < settingCount; ++row) {
        const SettingInfo& info = settingTable[row];
        const DWORD value = DWORD(settings.*info.field);
        written = RegSetValueExA(key, info.storedName, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                                 sizeof value) == ERROR_SUCCESS &&
                  written;
    }
    RegCloseKey(key);
    return written;
}
