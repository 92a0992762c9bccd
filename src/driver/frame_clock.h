// The scene's single time source, ticked once in the build and once at the
// start of every frame; between ticks its fields are constant.
//
// Times are double-precision seconds; elapsedMs keeps the milliseconds the
// scene sees: the elapsed-time count times timeScale (1 = real time, 2 =
// twice as fast). No smoothing or clamping: a long gap between ticks gives a
// long step.
#pragma once

class FrameClock {
public:
    void tick();

    double previousTime = 0.0;
    double currentTime = 0.0;
    double timeStep = 0.0;
    double elapsedMs = 0.0;
    double timeScale = 1.0;
};
