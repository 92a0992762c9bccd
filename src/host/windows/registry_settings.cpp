#include "host/windows/registry_settings.h"

#include <cstdint>
#include <cstdio>
#include <optional>

#include "settings/stored_flag.h"

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

bool registryFlagOn(HKEY key, const char* valueName)
{
    DWORD type = 0;
    BYTE data[64] = {};
    DWORD size = sizeof data;
    // A value too long for the buffer (no flag is) fails with ERROR_MORE_DATA
    // and counts as off.
    if (RegQueryValueExA(key, valueName, nullptr, &type, data, &size) != ERROR_SUCCESS)
        return false;
    return storedFlagOn(type, data, size);
}

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

bool saveSettings(const Settings& settings, HKEY root, const char* subKey, SettingsSaveFailure* failure)
{
    SettingsSaveFailure firstFailure;
    HKEY key = nullptr;
    firstFailure.error =
        RegCreateKeyExA(root, subKey, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_SET_VALUE, nullptr, &key, nullptr);
    if (firstFailure.error == ERROR_SUCCESS) {
        for (int row = 0; row < settingCount; ++row) {
            const SettingInfo& info = settingTable[row];
            const DWORD value = DWORD(settings.*info.field);
            const LONG written = RegSetValueExA(key, info.storedName, 0, REG_DWORD,
                                                reinterpret_cast<const BYTE*>(&value), sizeof value);
            if (written != ERROR_SUCCESS && firstFailure.error == ERROR_SUCCESS) {
                firstFailure.valueName = info.storedName;
                firstFailure.error = written;
            }
        }
        RegCloseKey(key);
    }
    if (firstFailure.error == ERROR_SUCCESS)
        return true;
    if (failure != nullptr)
        *failure = firstFailure;
    return false;
}

void saveFailureMessage(const SettingsSaveFailure& failure, const char* keyName, char* text, std::size_t size)
{
    char reason[256] = "";
    DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                                  DWORD(failure.error), 0, reason, sizeof reason, nullptr);
    // The system's text ends in a full stop and a line break; the code alone
    // where it has none.
    while (length > 0 && (reason[length - 1] == '\n' || reason[length - 1] == '\r' || reason[length - 1] == ' ' ||
                          reason[length - 1] == '.'))
        --length;
    reason[length] = '\0';
    char what[160];
    if (failure.valueName != nullptr)
        std::snprintf(what, sizeof what, "the value %s under %s could not be written", failure.valueName, keyName);
    else
        std::snprintf(what, sizeof what, "the registry key %s could not be opened for writing", keyName);
    std::snprintf(text, size,
                  "The settings could not be saved: %s (error %ld%s%s).\n\n"
                  "The dialog stays open: OK tries again, Cancel leaves the settings as they were.",
                  what, long(failure.error), length > 0 ? ": " : "", reason);
}
