// Whether a switch kept in the registry by the system (the user's
// "ScreenSaveUsePassword") is on, from the value's registry type and bytes,
// apart from the registry calls so that every type can be checked on its own.
//
// A REG_DWORD of 4 bytes counts by its value, a REG_SZ by its decimal text;
// anything else is off. A REG_SZ "0" is 0x30 when read as a number, which
// would ask for a password that nobody set.
#pragma once

#include <cstddef>
#include <cstdint>

// The registry's type codes, as the platform documents them.
constexpr std::uint32_t registryTextType = 1;   // REG_SZ
constexpr std::uint32_t registryDwordType = 4;  // REG_DWORD, little-endian

// data holds size bytes as the registry returned them. A REG_SZ is decimal
// digits, optionally ended by NUL bytes; it is on when any digit is not 0, so
// that a long number cannot overflow into off. Empty text, a sign, spaces or
// any other character make it off.
bool storedFlagOn(std::uint32_t type, const unsigned char* data, std::size_t size);
