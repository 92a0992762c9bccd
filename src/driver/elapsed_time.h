// The frame clock's time source: whole milliseconds since the first query.
//
// The first call of elapsedMilliseconds() answers 0 and fixes the origin; later
// calls answer the milliseconds since then and never go backwards. The count is
// 64-bit, so it does not wrap however long the saver runs.
//
// The underlying millisecond source is the platform's monotonic clock by
// default (driver/system_clock.h); a test or an offscreen renderer sets its own
// to drive the clock by hand.
#pragma once

#include <cstdint>

using MillisecondSource = std::uint64_t (*)();

std::uint64_t elapsedMilliseconds();

// Installs a source (nullptr restores the system clock) and forgets the origin,
// so the next query answers 0 again.
void setMillisecondSource(MillisecondSource source);

// Forgets the origin only.
void resetElapsedTime();
