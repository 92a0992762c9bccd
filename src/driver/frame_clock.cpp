#include "driver/frame_clock.h"

#include "driver/elapsed_time.h"

void FrameClock::tick()
{
    previousTime = currentTime;
    elapsedMs = static_cast<double>(elapsedMilliseconds()) * timeScale;
    currentTime = elapsedMs * 0.001;
    timeStep = currentTime - previousTime;
}
