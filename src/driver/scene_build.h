// The scene build: every scene object gets its values once, the random
// generator its seed, and the four texture slots their generated images.
//
// Runs with the GL context current, once per window, from resizeAndBuild.
// Values come from sceneConfig; units as in the objects' own headers.
#pragma once

#include <cstdint>

// The random seed of every run; the build adds the clock's first reading,
// which is 0 milliseconds.
constexpr std::uint32_t sceneSeed = 4450264;

// The build's steps in their fixed order: views and view 1's camera, fog,
// light, material, switches, drives, oscillators, the clock's first tick, the
// seed, the star field and the particles when switched on, and the textures
// in slots 0, 9, 10 and 1. The order of the last steps fixes which random
// numbers each element receives.
void buildScene();
