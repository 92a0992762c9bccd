// The settings read from a registry key that anyone may have written: any
// names, any types, any bytes. Every setting read is one its row accepts;
// a well-formed value in range is taken as it stands, anything else gives
// the default or, for the settings that clamp, the nearest end of the range;
// settings written as the saver writes them read back unchanged. The
// password flag read from the same bytes is on exactly when a REG_DWORD of 4
// bytes is not 0 or a REG_SZ is decimal digits not all 0, and a number
// printed as either reads back as on when it is not 0.
//
// Input: records of a name choice, a type choice (and a type), a length and
// that many bytes, until the input ends.
#include <algorithm>
#include <map>
#include <optional>
#include <string>

#include "fuzz_support.h"
#include "host/windows/settings_store.h"
#include "settings/stored_flag.h"

namespace {

// A key's values, by name whatever its case, as the registry matches them.
class KeyValues final : public SettingsStore {
public:
    bool read(const char* name, StoredValue& value) const override
    {
        for (const auto& [stored, held] : values) {
            if (sameSettingName(stored.c_str(), name)) {
                value = held;
                return true;
            }
        }
        return false;
    }

    std::map<std::string, StoredValue> values;
};

// A stored name of the table (some in another case), or a name of none.
std::string nameFor(std::uint8_t choice)
{
    const int row = choice % (settingCount + 1);
    if (row == settingCount)
        return "NoSuchSetting";
    std::string name = settingTable[row].storedName;
    if ((choice & 0x80) != 0) {
        for (char& c : name)
            c = char(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
    }
    return name;
}

void checkSettingRead(const SettingInfo& info, std::int32_t read, const KeyValues& key)
{
    const std::string row = info.storedName;
    expectProperty(isValidSettingValue(info, read), row + ": read a value the setting does not accept");
    StoredValue value;
    const bool present = key.read(info.storedName, value);
    const bool isDword = present && value.type == registryDwordType && value.size == 4;
    if (!isDword) {
        expectProperty(read == info.defaultValue, row + ": a missing or malformed value is not the default");
        return;
    }
    const std::int64_t stored = std::int64_t(std::uint32_t(value.bytes[0]) | std::uint32_t(value.bytes[1]) << 8 |
                                             std::uint32_t(value.bytes[2]) << 16 |
                                             std::uint32_t(value.bytes[3]) << 24);
    if (isValidSettingValue(info, stored))
        expectProperty(read == stored, row + ": a valid stored value is not taken as it stands");
    else if (info.clampsToRange && stored < info.minimum)
        expectProperty(read == info.minimum, row + ": a value below the range is not its lower end");
    else if (info.clampsToRange && stored > info.maximum)
        expectProperty(read == info.maximum, row + ": a value above the range is not its upper end");
    else
        expectProperty(read == info.defaultValue, row + ": a value the setting refuses is not the default");
}

bool onByItsForm(const StoredValue& value)
{
    if (value.type == registryDwordType)
        return value.size == 4 && (value.bytes[0] | value.bytes[1] | value.bytes[2] | value.bytes[3]) != 0;
    if (value.type != registryTextType)
        return false;
    std::size_t length = 0;
    while (length < value.size && value.bytes[length] != 0)
        ++length;
    if (length == 0)
        return false;
    bool nonZero = false;
    for (std::size_t i = 0; i < value.size; ++i) {
        const unsigned char c = value.bytes[i];
        if (i >= length ? c != 0 : (c < '0' || c > '9'))
            return false;
        nonZero = nonZero || (i < length && c != '0');
    }
    return nonZero;
}

void checkFlag(const StoredValue& value)
{
    expectProperty(storedFlagOn(value.type, value.bytes, value.size) == onByItsForm(value),
                   "the flag is not read by its type's form");
    // A number written either way the flag may be written.
    if (value.size >= 4) {
        const std::int32_t number = std::int32_t(std::uint32_t(value.bytes[0]) | std::uint32_t(value.bytes[1]) << 8 |
                                                 std::uint32_t(value.bytes[2]) << 16 |
                                                 std::uint32_t(value.bytes[3]) << 24);
        const StoredValue dword = storedValueOf(number);
        expectProperty(storedFlagOn(dword.type, dword.bytes, dword.size) == (number != 0),
                       "a flag stored as a REG_DWORD does not read back");
        // The text with its terminating NUL, as the registry keeps a REG_SZ.
        const std::string text = std::to_string(std::uint32_t(number));
        expectProperty(storedFlagOn(registryTextType, reinterpret_cast<const unsigned char*>(text.c_str()),
                                    text.size() + 1) == (number != 0),
                       "a flag stored as decimal text does not read back");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzInput input(data, size);
    KeyValues key;
    while (input.remaining() > 0) {
        const std::string name = nameFor(input.byte());
        StoredValue value;
        // Mostly the registry's types (REG_NONE to REG_QWORD), any at times.
        const std::uint8_t typeChoice = input.byte();
        value.type = typeChoice < 0xF0 ? typeChoice % 12u : input.value<std::uint32_t>();
        const std::string bytes = input.bytes(input.byte() % 16);
        value.size = bytes.size();
        std::copy(bytes.begin(), bytes.end(), value.bytes);
        checkFlag(value);
        key.values[name] = value;
    }

    const Settings read = readSettings(key);
    for (int row = 0; row < settingCount; ++row)
        checkSettingRead(settingTable[row], read.*settingTable[row].field, key);

    // Written back as the saver writes them, they read back as they were.
    KeyValues written;
    for (int row = 0; row < settingCount; ++row)
        written.values[settingTable[row].storedName] = storedValueOf(read.*settingTable[row].field);
    const Settings again = readSettings(written);
    for (int row = 0; row < settingCount; ++row)
        expectProperty(again.*settingTable[row].field == read.*settingTable[row].field,
                       std::string(settingTable[row].storedName) + ": written and read again, it changed");
    return 0;
}
