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

// A value as it was before a save, to put it back if the save fails. Data
// up to the settings' own size and more is kept; a longer value, which no
// Flowball wrote, cannot be put back.
struct ValueBefore {
    bool read = false;     // false: it could not be read, nor put back
    bool present = false;  // false: there was none
    StoredValue value;
};

ValueBefore readValueBefore(HKEY key, const char* name)
{
    ValueBefore before;
    DWORD type = REG_NONE;
    DWORD size = sizeof before.value.bytes;
    const LONG result = RegQueryValueExA(key, name, nullptr, &type, before.value.bytes, &size);
    before.value.type = type;
    before.value.size = size;
    before.present = result == ERROR_SUCCESS;
    before.read = before.present || result == ERROR_FILE_NOT_FOUND;
    return before;
}

bool putBack(HKEY key, const char* name, const ValueBefore& before, RegistryValueWriter write)
{
    if (!before.read)
        return false;
    if (!before.present) {
        const LONG removed = RegDeleteValueA(key, name);
        return removed == ERROR_SUCCESS || removed == ERROR_FILE_NOT_FOUND;
    }
    return write(key, name, 0, before.value.type, before.value.bytes, DWORD(before.value.size)) == ERROR_SUCCESS;
}

// Writes the values from row on, in the table's order, all or none: each
// value's old contents wait on the stack while the values after it are
// written, and go back if one of those fails. The values after a failed one
// are not tried.
SettingsSaveFailure writeFrom(int row, HKEY key, const Settings& settings, RegistryValueWriter write)
{
    SettingsSaveFailure failure;
    if (row == settingCount)
        return failure;
    const SettingInfo& info = settingTable[row];
    const ValueBefore before = readValueBefore(key, info.storedName);
    const StoredValue value = storedValueOf(settings.*info.field);
    failure.error = write(key, info.storedName, 0, value.type, value.bytes, DWORD(value.size));
    if (failure.error != ERROR_SUCCESS) {
        failure.valueName = info.storedName;
        return failure;
    }
    failure = writeFrom(row + 1, key, settings, write);
    if (failure.error != ERROR_SUCCESS && !putBack(key, info.storedName, before, write))
        failure.partlySaved = true;
    return failure;
}

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

bool saveSettings(const Settings& settings, HKEY root, const char* subKey, SettingsSaveFailure* failure,
                  RegistryValueWriter write)
{
    SettingsSaveFailure result;
    HKEY key = nullptr;
    DWORD disposition = 0;
    result.error = RegCreateKeyExA(root, subKey, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_SET_VALUE | KEY_QUERY_VALUE,
                                   nullptr, &key, &disposition);
    if (result.error == ERROR_SUCCESS) {
        result = writeFrom(0, key, settings, write);
        RegCloseKey(key);
        // A key this save made goes with it, whatever values are left in it:
        // the registry is then as it was found.
        if (result.error != ERROR_SUCCESS && disposition == REG_CREATED_NEW_KEY &&
            RegDeleteKeyA(root, subKey) == ERROR_SUCCESS)
            result.partlySaved = false;
    }
    if (result.error == ERROR_SUCCESS)
        return true;
    if (failure != nullptr)
        *failure = result;
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
    const char* const stored =
        failure.partlySaved
            ? "Some of the values written before it could not be put back: the stored settings are now part new, "
              "part old. The dialog stays open: OK tries again, Cancel keeps the settings as they are now."
            : "No setting was changed. The dialog stays open: OK tries again, Cancel leaves the settings as they "
              "were.";
    std::snprintf(text, size, "The settings could not be saved: %s (error %ld%s%s).\n\n%s", what, long(failure.error),
                  length > 0 ? ": " : "", reason, stored);
}
