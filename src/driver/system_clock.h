// The platform's monotonic clock in whole milliseconds from an origin of its
// own: the default source of elapsedMilliseconds(). Each platform has its own
// definition (system_clock.cpp here, windows/system_clock.cpp on Windows).
#pragma once

#include <cstdint>

std::uint64_t systemMilliseconds();
