// A cloud of coloured points compiled once into a display list and replayed,
// in several rotated copies with growing point sizes, every perspective view.
//
// Sizes in world units; colours in 0..1; point sizes in pixels; rotations in
// degrees about the y axis. Integer fields marked as flags are booleans.
#pragma once

#include <cstdint>

#include "scene/volume_shape.h"

class Camera;

class StarField {
public:
    ~StarField();

    // (Re)creates the list from the fields: count / passes points scattered in
    // the shell, coloured from colourLow and colourHigh. Caps innerSize at
    // 0.9 * outerSize and stores it back. Draws random numbers. A configuration
    // that cannot be sampled (passes below 1, a hollow at or beyond the outer
    // bound) gets no list, and the star field then draws nothing.
    void build();

    // Replays the list passes times about the eye (or the origin), with the
    // blend and depth state of the flags. Leaves the depth mask and the point
    // size as it set them. Needs the camera transform on the modelview stack.
    void draw(const Camera& camera) const;

    // Deletes the list if there is one.
    void deleteList();

    std::uint32_t listId = 0;
    int count = 10;
    VolumeShape shape = cubeShell;
    int blend = 1;
    int depthTest = 0;
    int depthWrite = 0;
    int passes = 1;
    int followCamera = 0;
    int fog = 0;
    double outerSize = 2.0;
    double innerSize = 0.0;
    double colourLow = 0.3;
    double colourHigh = 0.7;
};
