// The steps of one frame below drawFrame: stepping the animation, and drawing
// the current perspective view with its camera, star field, light, ball and
// particles.
//
// Times are the frame clock's (seconds); stepScene calls no GL, the draw
// steps call GL with the context current and the view's viewport and
// projection already applied.
#pragma once

// Steps the oscillators (0, 1, 2, 4, 3, 5, 6: each may draw a random number,
// so the order fixes the sequence), makes the background fill opaque, steps
// oscillator 7 into the letterbox level and the bar fraction, steps the
// particles when switched on, and selects the shape's blend rows.
void stepScene();

// The current view: its camera, the star field, the scene content and the
// particles. Fog is switched off again after the stars and after the
// particles whether or not it was switched on.
void drawView();

// View 1's camera takes its position from oscillators 0 to 2 and its angles
// (degrees) from 3 to 5; every view's camera is then applied.
void updateViewCamera();

// The light's orbit, position and marker (with lighting on), then the orange
// ball textured with slot 10 inside the shape switches.
void drawSceneContent();
