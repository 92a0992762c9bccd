// The settings kept per user in the registry: one REG_DWORD per stored name
// under HKEY_CURRENT_USER\Software\Flowball.
//
// Reading is lenient: every value goes through the settings' validation, so
// a missing key or value, a value of another type or size, a number out of
// range or a subkey named like a value gives the default (or the nearest
// value in range) and never an error.
#pragma once

#include <windows.h>

#include "settings/settings.h"

constexpr char settingsRegistryKey[] = "Software\\Flowball";

// The settings under root\subKey, validated.
Settings loadSettings(HKEY root = HKEY_CURRENT_USER, const char* subKey = settingsRegistryKey);

// Writes every setting, creating the key if needed. False when the key
// cannot be opened for writing or a value cannot be written.
bool saveSettings(const Settings& settings, HKEY root = HKEY_CURRENT_USER,
                  const char* subKey = settingsRegistryKey);
