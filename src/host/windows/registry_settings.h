// The settings kept per user in the registry: one REG_DWORD per stored name
// under HKEY_CURRENT_USER\Software\Flowball.
//
// Reading is lenient (settings_store.h reads the values the key holds): every
// value goes through the settings' validation, so a missing key or value, a
// value of another type or size, a number out of range or a subkey named like
// a value gives the default (or the nearest value in range) and never an
// error.
#pragma once

#include <windows.h>

#include <cstddef>

#include "settings/settings.h"

constexpr char settingsRegistryKey[] = "Software\\Flowball";

// The settings under root\subKey, validated.
Settings loadSettings(HKEY root = HKEY_CURRENT_USER, const char* subKey = settingsRegistryKey);

// Whether the flag under key is on, read by its type (settings/stored_flag.h):
// a REG_DWORD by its value, a REG_SZ by its decimal text, anything else and
// a missing value as off.
bool registryFlagOn(HKEY key, const char* valueName);

// What kept saveSettings from writing.
struct SettingsSaveFailure {
    // The value that could not be written; nullptr when the key itself
    // could not be created or opened for writing.
    const char* valueName = nullptr;
    LONG error = ERROR_SUCCESS;  // the registry's error code
    // Values written before the failure that could not be put back as they
    // were: the stored settings are now part new, part old.
    bool partlySaved = false;
};

// RegSetValueExA, or in a test a stand-in that fails where it is told to.
using RegistryValueWriter = LONG(WINAPI*)(HKEY key, LPCSTR name, DWORD reserved, DWORD type, const BYTE* data,
                                          DWORD size);

// Writes every setting, creating the key if needed, all or nothing: when a
// value cannot be written, those written before it are put back as they
// were (or removed where there was none) and the rest are not tried; a key
// the save created is removed again. False
// when the key cannot be opened for writing or a value cannot be written;
// failure, when given, then says which, why, and whether any value written
// could not be put back.
bool saveSettings(const Settings& settings, HKEY root = HKEY_CURRENT_USER,
                  const char* subKey = settingsRegistryKey, SettingsSaveFailure* failure = nullptr,
                  RegistryValueWriter write = RegSetValueExA);

// The message that tells a user that saving failed, naming the key (and the
// value) and the system's reason, and what is stored now, into text (size
// bytes, cut short if need be). keyName is the key as a user would look for
// it: HKEY_CURRENT_USER\Software\Flowball.
void saveFailureMessage(const SettingsSaveFailure& failure, const char* keyName, char* text, std::size_t size);
