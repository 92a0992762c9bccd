// A fixed pool of up to 5001 textured billboards, spawned in a shell around
// the origin, drifting by their velocities and now and then re-drawing one
// velocity component at random.
//
// Positions and sizes in world units, velocities in units per second, times in
// seconds, colours and alphas in 0..1, all single precision. Storage is a
// structure of arrays inside the object: nothing is allocated. Every loop
// walks count clamped to 0..particleCapacity, so a count set out of range
// never reaches past the arrays.
#pragma once

#include "scene/volume_shape.h"

class Camera;
class Texture;

constexpr int particleCapacity = 5001;

class ParticleSystem {
public:
    // Places, colours and sets the fade of count particles, drawing random
    // numbers per particle in a fixed order. Lowers count to 5001 (and raises
    // a negative one to 0) and caps innerSize at 0.9 * outerSize, storing both
    // back. Velocities are kept. A shell that cannot be sampled places no
    // particle and leaves count 0; count always ends as the number placed.
    void spawn();

    // Moves every particle by dt times its velocity, then draws u in [0, 1);
    // when u < dt it re-draws one velocity component, chosen at random, in
    // [-speedRange / 2, speedRange / 2). One draw per particle otherwise.
    void step(float dt, float speedRange);

    // Billboards facing the camera, from its rightAxis and upAxis. Sets the
    // alpha test state even with no particles; disables after drawing exactly
    // what its flags enabled (and turns depth writes off again).
    void draw(const Camera& camera, float alphaFactor) const;

    // Keeps particles within a box of 0.7 * outerSize around the camera
    // position, shifting each axis by one box width at most, and pulses the
    // brightness of particles with a fade rate between 0 and 1.
    void wrapAround(float dt, const Camera& camera);

    // count clamped to 0..particleCapacity: the particles that exist.
    int liveCount() const;

    int count = 100;
    VolumeShape shape = cubeShell;
    int alphaTest = 0;
    int blend = 1;
    int sourceIndex = 0;
    int destIndex = 0;
    int depthTest = 1;
    int depthWrite = 0;
    int fog = 0;
    float alphaRef = 0.05f;
    float opacity = 1.0f;
    float outerSize = 2.0f;
    float size = 0.1f;
    float innerSize = 0.0f;
    float colourLow = 0.4f;
    float colourHigh = 0.9f;
    float wrapLow = -1.0f;
    float wrapHigh = 1.0f;

    float x[particleCapacity] = {};
    float y[particleCapacity] = {};
    float z[particleCapacity] = {};
    float red[particleCapacity] = {};
    float green[particleCapacity] = {};
    float blue[particleCapacity] = {};
    float vx[particleCapacity] = {};
    float vy[particleCapacity] = {};
    float vz[particleCapacity] = {};
    float brightness[particleCapacity] = {};
    float fadeRate[particleCapacity] = {};

    // The slot drawn on every particle; null draws untextured quads. Owned by
    // the slot array.
    Texture* texture = nullptr;
};
