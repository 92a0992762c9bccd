// When the next frame is due. Times are microseconds on a monotonic clock.
//
// With a period, frames follow a fixed schedule like a window timer: each
// frame is due one period after the previous one was due. A frame that
// starts more than a period late is followed at once by the next one, and the
// schedule restarts from there: never a burst of frames owed.
// With period 0 every frame is due at once (the swap paces them).
#pragma once

#include <cstdint>

class FramePacer {
public:
    explicit FramePacer(std::int64_t periodMicroseconds) : period(periodMicroseconds) {}
    virtual ~FramePacer() = default;

    void frameStarted(std::int64_t now);
    // 0 when the next frame is due; never negative.
    std::int64_t microsecondsUntilDue(std::int64_t now) const;

private:
    std::int64_t period;
    std::int64_t due = 0;
    bool running = false;
};

// The pacing periods of the frame-rate choices.
constexpr std::int64_t designedFramePeriodMicroseconds = 5000;
constexpr std::int64_t slowFramePeriodMicroseconds = 1000000 / 30;
