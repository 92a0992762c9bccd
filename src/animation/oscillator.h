// An animated scalar parameter: a phase that advances with time and a value
// that follows its cosine inside [offset, offset + amplitude].
//
// Phase in radians, frequency in radians per second, time steps in seconds,
// all double precision. level is the activity from 0 (frozen) to 1 (full
// speed); at random moments it starts a slow linear fade to the other end.
#pragma once

// Serial number for the next oscillator constructed; 0 at process start.
extern int nextOscillatorId;

// Back to 0, so that a test or a fresh scene numbers its oscillators from 0.
void resetOscillatorIds();

class Oscillator {
public:
    Oscillator();

    // One frame: the fade trigger (one random draw, only at level exactly 0
    // or 1), the level update and snap to rest, then the phase advance by
    // level * speed * dt * drive * frequency.
    void step(double dt);

    // (cos(phase) * 0.5 + 0.5) * amplitude + offset.
    double value() const;

    // cos(phase) * 0.5 + 0.5, in [0, 1].
    double unitValue() const;

    double cosine() const;

    int id;
    double phase = 0.0;
    double speed = 1.0;
    double level = 1.0;
    double levelVelocity = 0.0;
    double frequency = 1.0;
    // Shared multiplier read at every step, not owned; null counts as 1.0.
    const double* drive = nullptr;
    double amplitude = 0.5;
    double offset = 0.5;
};
