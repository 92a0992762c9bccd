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

// A value as it was before a save, to put it back if the save fails. Data
// up to the settings' own size and more is kept; a longer value, which no
// Flowball wrote, cannot be put back.
struct StoredValue {
    bool read = false;     // false: it could not be read, nor put back
    bool present = false;  // false: there was none
    DWORD type = REG_NONE;
    DWORD size = 0;
    BYTE data[64] = {};
};

StoredValue readStoredValue(HKEY key, const char* name)
{
    StoredValue stored;
    stored.size = sizeof stored.data;
    const LONG result = RegQueryValueExA(key, name, nullptr, &stored.type, stored.data, &stored.size);
    stored.present = result == ERROR_SUCCESS;
    stored.read = stored.present || result == ERROR_FILE_NOT_FOUND;
    return stored;
}

bool putBack(HKEY key, const char* name, const StoredValue& stored, RegistryValueWriter write)
{
    if (!stored.read)
        return false;
    if (!stored.present) {
        const LONG removed = RegDeleteValueA(key, name);
        return removed == ERROR_SUCCESS || removed == ERROR_FILE_NOT_FOUND;
    }
    return write(key, name, 0, stored.type, stored.data, stored.size) == ERROR_SUCCESS;
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
    const StoredValue before = readStoredValue(key, info.storedName);
    const DWORD value = DWORD(settings.*info.field);
    failure.error = write(key, info.storedName, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
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

bool saveSettings(const Settings& settings, HKEY root, const char* subKey, SettingsSaveFailure* failure,
                  RegistryValueWriter write)
{
    SettingsSaveFailure result;
    HKEY key = nullptr;
    result.error = RegCreateKeyExA(root, subKey, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_SET_VALUE | KEY_QUERY_VALUE,
                                   nullptr, &key, nullptr);
    if (result.error == ERROR_SUCCESS) {
        result = writeFrom(0, key, settings, write);
        RegCloseKey(key);
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
