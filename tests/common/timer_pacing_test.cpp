#include "host/windows/timer_pacing.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace {

const PictureState seen{true, true};
const PictureState hidden{false, true};
const PictureState displayOff{true, false};

// One event at the window and what the timer does after it: a tick at now
// (which draws or not), the end of the frame a tick started, or the
// system's first power notice, which shows that it will say when the
// display is on.
struct Step {
    enum class Kind { tick, frameDrawn, noticesHeard };
    Kind kind;
    std::int64_t now;
    PictureState picture;
    bool draws;
    unsigned periodMs;
};

Step tick(std::int64_t now, PictureState picture, bool draws, unsigned periodMs)
{
    return {Step::Kind::tick, now, picture, draws, periodMs};
}

Step drawn(std::int64_t now, unsigned periodMs) { return {Step::Kind::frameDrawn, now, seen, false, periodMs}; }

Step noticesHeard(unsigned periodMs) { return {Step::Kind::noticesHeard, 0, seen, false, periodMs}; }

struct Case {
    const char* name;
    FrameRate frameRate;
    std::vector<Step> steps;
};

const Case cases[] = {
    {"FrameRate 0: the designed 5 ms timer, a frame on every tick", FrameRate::timer,
     {tick(0, seen, true, 5), drawn(1000, 5), tick(10000, seen, true, 5), tick(15625, seen, true, 5)}},
    {"FrameRate 1: the designed timer too", FrameRate::display,
     {tick(0, seen, true, 5), drawn(4000, 5), tick(15625, seen, true, 5)}},
    {"hidden: no frame, a look every 500 ms; seen again: drawn at once on the designed timer", FrameRate::timer,
     {tick(0, seen, true, 5), tick(10000, hidden, false, 500), tick(510000, hidden, false, 500),
      tick(1010000, seen, true, 5)}},
    {"display off: no timer until the system says it is on", FrameRate::timer,
     {noticesHeard(5), tick(0, seen, true, 5), tick(10000, displayOff, false, 0), tick(900000, seen, true, 5)}},
    // Windows before Vista never says, nor do some systems after it: the
    // timer must go on looking, or the picture stays frozen once the
    // display is on again.
    {"display off, the system not heard from: a look every 500 ms; on again: drawn at once", FrameRate::timer,
     {tick(0, seen, true, 5), tick(10000, displayOff, false, 500), tick(510000, displayOff, false, 500),
      tick(1010000, seen, true, 5)}},
    {"display off, then the system's first notice: the look stops the timer", FrameRate::timer,
     {tick(0, seen, true, 5), tick(10000, displayOff, false, 500), noticesHeard(500),
      tick(20000, displayOff, false, 0)}},
    {"FrameRate 2: re-armed after each frame for the time until the next is due", FrameRate::low,
     {tick(0, seen, true, 5), drawn(2000, 32), tick(34000, seen, true, 32), drawn(36000, 31),
      tick(67000, seen, true, 31)}},
    {"FrameRate 2: a tick 10 ms or more before the frame is due waits for it", FrameRate::low,
     {tick(0, seen, true, 5), drawn(1000, 33), tick(20000, seen, false, 14), tick(34000, seen, true, 14)}},
    // Windows would make a 9 ms timer a 10 ms one: the frame would come a
    // whole timer period after it was due.
    {"FrameRate 2: a tick less than 10 ms before the frame is due draws it", FrameRate::low,
     {tick(0, seen, true, 5), drawn(1000, 33), tick(25000, seen, true, 33), drawn(26000, 34)}},
    {"FrameRate 2: after a late frame the timer is asked for no less than 10 ms", FrameRate::low,
     {tick(0, seen, true, 5), drawn(1000, 33), tick(60000, seen, true, 33), drawn(61000, 10)}},
    {"FrameRate 2: a look every 500 ms while hidden, seen again the frame re-arms the timer", FrameRate::low,
     {tick(0, seen, true, 5), drawn(1000, 33), tick(20000, hidden, false, 500), tick(520000, seen, true, 500),
      drawn(521000, 33)}},
    {"FrameRate 2: display off, no timer", FrameRate::low,
     {noticesHeard(5), tick(0, seen, true, 5), drawn(1000, 33), tick(20000, displayOff, false, 0)}},
    {"FrameRate 2: display off, the system not heard from: a look every 500 ms", FrameRate::low,
     {tick(0, seen, true, 5), drawn(1000, 33), tick(20000, displayOff, false, 500), tick(520000, seen, true, 500),
      drawn(521000, 33)}},
};

TEST(TimerPacing, StartsWithTheDesignedPeriod)
{
    for (const FrameRate rate : {FrameRate::timer, FrameRate::display, FrameRate::low})
        EXPECT_EQ(TimerPacing(rate).periodMs(), 5u);
}

TEST(TimerPacing, SetsTheTimerAsTheTableSays)
{
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TimerPacing pacing(c.frameRate);
        for (std::size_t i = 0; i < c.steps.size(); ++i) {
            SCOPED_TRACE(i);
            const Step& step = c.steps[i];
            if (step.kind == Step::Kind::tick)
                EXPECT_EQ(pacing.tick(step.now, step.picture), step.draws);
            else if (step.kind == Step::Kind::frameDrawn)
                pacing.frameDrawn(step.now);
            else
                pacing.displayNoticesHeard();
            EXPECT_EQ(pacing.periodMs(), step.periodMs);
        }
    }
}

TEST(TimerPacing, OnlyFrameRate2ReadsTheClockAfterAFrame)
{
    EXPECT_FALSE(TimerPacing(FrameRate::timer).readsClockAfterFrame());
    EXPECT_FALSE(TimerPacing(FrameRate::display).readsClockAfterFrame());
    EXPECT_TRUE(TimerPacing(FrameRate::low).readsClockAfterFrame());
}

// Windows' window timer as the saver meets it: a period under 10 ms is
// raised to 10 ms, and a timer goes off on the first tick of the system's
// clock at or after it is due (every 15.625 ms as usual, every 1 ms where a
// program asked for fine timers), then again a period later.
class WindowsTimer {
public:
    explicit WindowsTimer(std::int64_t clockTickMicroseconds) : clockTick(clockTickMicroseconds) {}

    void set(std::int64_t now, unsigned periodMs)
    {
        period = std::int64_t(periodMs < TimerPacing::shortestPeriodMs ? TimerPacing::shortestPeriodMs : periodMs);
        goesOff = firstClockTickFrom(now + period * 1000);
    }
    void wentOff() { goesOff = firstClockTickFrom(goesOff + period * 1000); }
    std::int64_t nextTime() const { return goesOff; }

private:
    std::int64_t firstClockTickFrom(std::int64_t time) const { return (time + clockTick - 1) / clockTick * clockTick; }

    std::int64_t clockTick;
    std::int64_t period = 0;
    std::int64_t goesOff = 0;
};

// The frames' start times over the run, each drawn in drawMicroseconds.
std::vector<std::int64_t> framesUnderWindowsTimer(FrameRate rate, std::int64_t clockTick, std::int64_t runMicroseconds,
                                                  std::int64_t drawMicroseconds)
{
    TimerPacing pacing(rate);
    WindowsTimer timer(clockTick);
    timer.set(0, pacing.periodMs());
    std::vector<std::int64_t> frames;
    while (timer.nextTime() < runMicroseconds) {
        const std::int64_t now = timer.nextTime();
        unsigned period = pacing.periodMs();
        timer.wentOff();
        if (!pacing.tick(now, seen)) {
            if (pacing.periodMs() != period)
                timer.set(now, pacing.periodMs());
            continue;
        }
        frames.push_back(now);
        period = pacing.periodMs();
        if (pacing.readsClockAfterFrame())
            pacing.frameDrawn(now + drawMicroseconds);
        if (pacing.periodMs() != period)
            timer.set(now + drawMicroseconds, pacing.periodMs());
    }
    return frames;
}

// What the designed timer gives on Windows, and FrameRate 2's frames on
// their grid: none later than one tick of the system's clock after it is
// due, whatever the 10 ms floor does to the short waits near the due time.
TEST(TimerPacing, UnderWindowsTimerFramesComeAsPromised)
{
    struct RunCase {
        const char* name;
        FrameRate rate;
        std::int64_t clockTick;
        int framesInTenSeconds;
    };
    const RunCase runs[] = {
        {"FrameRate 0, the usual clock: 64 a second", FrameRate::timer, 15625, 640},
        {"FrameRate 0, a fine clock: 100 a second, never 200", FrameRate::timer, 1000, 1000},
        {"FrameRate 2, the usual clock: 30 a second", FrameRate::low, 15625, 300},
        {"FrameRate 2, a fine clock: 30 a second", FrameRate::low, 1000, 300},
        {"FrameRate 2, a 10 ms clock: 30 a second", FrameRate::low, 10000, 300},
    };
    const std::int64_t tenSeconds = 10000000;
    for (const RunCase& run : runs) {
        SCOPED_TRACE(run.name);
        const std::vector<std::int64_t> frames = framesUnderWindowsTimer(run.rate, run.clockTick, tenSeconds, 2000);
        ASSERT_FALSE(frames.empty());
        EXPECT_NEAR(double(frames.size()), run.framesInTenSeconds, 1.0);
        if (run.rate != FrameRate::low)
            continue;
        double latest = 0;
        for (const std::int64_t frame : frames) {
            const double sinceFirst = double(frame - frames.front());
            const double due = std::round(sinceFirst * 30.0 / 1e6) * 1e6 / 30.0;
            latest = std::max(latest, sinceFirst - due);
        }
        EXPECT_LE(latest, double(run.clockTick) + 1.0) << "microseconds late";
    }
}

}  // namespace
