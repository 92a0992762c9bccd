#include "animation/oscillator.h"

#include "math/random.h"
#include "math/trig.h"

int nextOscillatorId = 0;

void resetOscillatorIds() { nextOscillatorId = 0; }

namespace {
// A draw below this starts a fade: generator values 0 to 3, 4 in 32768.
constexpr double fadeChance = 0.0001;
// Fade speed per unit of time step, times the triggering step's dt.
constexpr double fadeRate = 0.1;
// A fading-out level below this comes to rest at 0.
constexpr double restThreshold = 0.05;
}

Oscillator::Oscillator() : id(nextOscillatorId) { ++nextOscillatorId; }

void Oscillator::step(double dt)
{
    // Comparisons are exact on purpose: only an oscillator at rest draws, so
    // the scene's sequence of random numbers depends on them.
    if (level == 0.0 || level == 1.0) {
        const double r = randomUniform(1.0);
        if (r < fadeChance)
            levelVelocity = level == 1.0 ? -fadeRate * dt : fadeRate * dt;
    }

    level = level + dt * levelVelocity;

    if (levelVelocity < 0.0 && level < restThreshold) {
        level = 0.0;
        levelVelocity = 0.0;
    } else if (levelVelocity > 0.0 && level > 1.0) {
        level = 1.0;
        levelVelocity = 0.0;
    }

    const double d = drive != nullptr ? *drive : 1.0;
    phase = phase + level * speed * dt * d * frequency;
}

double Oscillator::value() const { return unitValue() * amplitude + offset; }

double Oscillator::unitValue() const { return cosineOf(phase) * 0.5 + 0.5; }

double Oscillator::cosine() const { return cosineOf(phase); }
