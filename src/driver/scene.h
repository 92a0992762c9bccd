// The scene's objects: one record, one process-wide instance.
//
// The members are constructed in the order in which they are declared, which
// is the scene's construction order: fog, light, view set, star field,
// particle system, frame clock, the eight oscillators (ids 0 to 7), material,
// the twenty texture slots. Constructors only store values; no GL context
// exists when the process-wide instance is built.
#pragma once

#include "animation/oscillator.h"
#include "animation/view_set.h"
#include "driver/frame_clock.h"
#include "scene/fog.h"
#include "scene/light_rig.h"
#include "scene/material.h"
#include "scene/particle_system.h"
#include "scene/star_field.h"
#include "textures/texture.h"

constexpr int sceneOscillatorCount = 8;
constexpr int textureSlotCount = 20;

class Scene {
public:
    Fog fog;
    LightRig light;
    ViewSet viewSet;
    StarField starField;
    ParticleSystem particles;
    FrameClock clock;
    // 0 to 2 move view 1's camera, 3 to 5 turn it, 6 runs unread, 7 sets the
    // letterbox bars.
    Oscillator oscillators[sceneOscillatorCount];
    Material material;
    Texture textures[textureSlotCount];
};

// The scene. Built before main like any global and never destroyed at exit:
// the saver ends its process without running destructors, and the GL objects
// the slots hold go with the context.
extern Scene& scene;

// A fresh scene, as at process start, without restarting the process: the
// old objects are destroyed (the slots delete their GL textures and the star
// field its list in whatever context is current, if any), then the random
// generator, the texture registry and bind cache, the oscillator numbering,
// the scene switches and values, the configuration and the elapsed-time
// origin go back to their start values and the objects are constructed anew.
// The millisecond source stays as it was set.
void resetScene();
