// The idle time of the watcher mode (--idle-after TIME): how long the user
// must leave every input alone before the saver shows.
//
// TIME is a whole number of seconds, or a whole number followed by one unit
// letter: s (seconds), m (minutes) or h (hours): "90", "90s", "5m", "1h".
// No sign, no spaces, no fractions, no mixed units. At least 1 second, at
// most 24 hours: shorter would show the saver again at once after every
// dismissal, and longer is not a screen saver's idle time. Answers
// milliseconds, the unit every idle protocol takes.
#pragma once

#include <cstdint>
#include <string>

constexpr std::uint32_t shortestIdleMilliseconds = 1000;
constexpr std::uint32_t longestIdleMilliseconds = 24u * 60 * 60 * 1000;

// False for anything but the forms above within the range; milliseconds is
// then unchanged.
bool parseIdleTime(const char* text, std::uint32_t& milliseconds);

// The idle time as people write it, in its largest exact unit: "90s", "5m",
// "1h".
std::string idleTimeText(std::uint32_t milliseconds);
