#include "host/windows/registry_settings.h"

#include <cstdio>

#include "host/windows/settings_store.h"
#include "settings/stored_flag.h"

namespace {

// The values under an open key.
class RegistryValues final : public SettingsStore {
public:
    explicit RegistryValues(HKEY opened) : key(opened) {}

    bool read(const char* name, StoredValue& value) const override
    {
        DWORD type = 0;
        DWORD size = sizeof value.bytes;
        // A value too long for the buffer fails with ERROR_MORE_DATA and
        // counts as unreadable.
        if (RegQueryValueExA(key, name, nullptr, &type, value.bytes, &size) != ERROR_SUCCESS)
            return false;
        value.type = type;
        value.size = size;
        return true;
    }

private:
    HKEY key;
};

}  // namespace

bool registryFlagOn(HKEY key, const char* valueName)
{
    StoredValue value;
    if (!RegistryValues(key).read(valueName, value))
        return false;
    return storedFlagOn(value.type, value.bytes, value.size);
}

Settings loadSettings(HKEY root, const char* subKey)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, subKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return Settings();
    const Settings settings = readSettings(RegistryValues(key));
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
            const StoredValue value = storedValueOf(settings.*info.field);
            const LONG written =
                RegSetValueExA(key, info.storedName, 0, value.type, value.bytes, DWORD(value.size));
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
