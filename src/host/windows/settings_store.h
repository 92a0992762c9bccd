// The settings as the registry keeps them, apart from the registry calls: a
// store answers a value's type and bytes by its name, and readSettings makes
// validated settings of whatever it answers. The saver's store is the
// registry key (registry_settings.h); tests and the fuzz target hand in
// stores of their own, so this reading is built and checked everywhere.
//
// Every setting is kept as a REG_DWORD: 4 bytes, little-endian. Reading is
// lenient: a missing value, a value of another type or size, or a number out
// of range gives the default (or the nearest value in range), never an error.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

#include "settings/settings.h"

// The longest value a store answers; a longer one it cannot read. No setting
// or flag needs more.
constexpr std::size_t storedValueLimit = 64;

// A value as the registry holds it: its type code (settings/stored_flag.h
// names the two that count) and its bytes. A fixed buffer: the saver's
// reading allocates nothing.
struct StoredValue {
    std::uint32_t type = 0;
    std::size_t size = 0;
    unsigned char bytes[storedValueLimit] = {};
};

class SettingsStore {
public:
    // True with the type and bytes of the value of that name (names match
    // whatever their case, as registry names do); false when there is none or
    // it cannot be read.
    virtual bool read(const char* name, StoredValue& value) const = 0;

protected:
    ~SettingsStore() = default;
};

// The number a setting's value holds: a REG_DWORD of exactly 4 bytes; nothing
// for any other type or size (REG_DWORD_BIG_ENDIAN included: nobody writes
// one on purpose).
std::optional<std::int64_t> storedNumber(const StoredValue& value);

// How a setting's value is stored: what storedNumber reads back.
StoredValue storedValueOf(std::int32_t value);

// Every setting from the store, validated.
Settings readSettings(const SettingsStore& store);
