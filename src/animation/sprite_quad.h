// A textured quad drawn turned to a camera's billboard angles.
//
// Half sizes in world units, texture coordinates in repeats, angles in
// degrees.
#pragma once

class Camera;

class SpriteQuad {
public:
    // In a pushed matrix: the camera's billboardAngles about z, y and x, then
    // angle about z; the normal (0, 0, 1) and one GL_QUADS quad
    // counter-clockwise from the bottom left corner.
    void draw(const Camera& camera, double angle) const;

    float halfWidth = 1.0f;
    float halfHeight = 1.0f;
    float sLow = 0.0f;
    float tLow = 0.0f;
    float sHigh = 1.0f;
    float tHigh = 1.0f;
};
