#include "driver/elapsed_time.h"

#include "driver/system_clock.h"

namespace {

MillisecondSource currentSource = systemMilliseconds;
bool originSet = false;
std::uint64_t origin = 0;
std::uint64_t latest = 0;

}  // namespace

std::uint64_t elapsedMilliseconds()
{
    const std::uint64_t now = currentSource();
    if (!originSet) {
        originSet = true;
        origin = now;
        latest = 0;
        return 0;
    }
    // A source that steps back (a test's, or a clock that misbehaves) holds the
    // count where it was rather than running it backwards.
    const std::uint64_t elapsed = now > origin ? now - origin : 0;
    if (elapsed > latest)
        latest = elapsed;
    return latest;
}

void setMillisecondSource(MillisecondSource source)
{
    currentSource = source ? source : systemMilliseconds;
    resetElapsedTime();
}

void resetElapsedTime()
{
    originSet = false;
    origin = 0;
    latest = 0;
}
