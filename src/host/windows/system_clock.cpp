// The Windows clock: the high-resolution performance counter, which every
// Windows from 95 on exports; where the hardware has none, the system's
// millisecond tick count. Neither needs a runtime library's clock, whose
// implementation imports functions that only newer Windows versions have.
#include "driver/system_clock.h"

#include <windows.h>

#include "driver/counter_milliseconds.h"

namespace {

struct WindowsClock {
    bool frequencyAsked = false;
    std::uint64_t counterFrequency = 0;  // ticks per second; 0 without a counter
    WrappingCountExtender tickCount;
};

WindowsClock windowsClock;

}  // namespace

std::uint64_t systemMilliseconds()
{
    if (!windowsClock.frequencyAsked) {
        windowsClock.frequencyAsked = true;
        LARGE_INTEGER frequency = {};
        if (QueryPerformanceFrequency(&frequency) && frequency.QuadPart > 0)
            windowsClock.counterFrequency = static_cast<std::uint64_t>(frequency.QuadPart);
    }
    LARGE_INTEGER count = {};
    if (windowsClock.counterFrequency != 0 && QueryPerformanceCounter(&count))
        return counterMilliseconds(static_cast<std::uint64_t>(count.QuadPart),
                                   windowsClock.counterFrequency);
    return windowsClock.tickCount.extend(GetTickCount());
}
