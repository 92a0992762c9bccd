// The host's timer: when the next tick is due. Times are microseconds on a
// monotonic clock.
//
// Ticks follow a fixed schedule like a window timer: each is due one period
// after the previous one was due. A tick that comes more than a period late
// is followed at once by the next one, and the schedule restarts from there:
// never a burst of ticks owed. With period 0 every tick is due at once (the
// display's buffer swaps pace them).
#pragma once

#include <cstdint>

class TickSchedule {
public:
    explicit TickSchedule(std::int64_t periodMicroseconds) : period(periodMicroseconds) {}
    virtual ~TickSchedule() = default;

    void tickStarted(std::int64_t now);
    // 0 when the next tick is due; never negative.
    std::int64_t microsecondsUntilDue(std::int64_t now) const;

private:
    std::int64_t period;
    std::int64_t due = 0;
    bool running = false;
};

// The designed timer period.
constexpr std::int64_t designedTickMicroseconds = 5000;
