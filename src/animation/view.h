// One view: a rectangle given as fractions of an area in pixels, and its
// camera.
//
// Pixels are window coordinates, origin at the bottom left, y upwards, in
// single precision; they are truncated toward zero when handed to GL.
// fraction is (left, bottom, right, top); area and viewport are (left or x,
// bottom or y, right, top, width, height).
#pragma once

#include "animation/camera.h"

class View {
public:
    // Stores the fractions as floats.
    void setFractions(double left, double bottom, double right, double top);

    // Stores the corners as floats; width and height are formed in float.
    void setArea(double left, double bottom, double right, double top);

    // The viewport in pixels from the fractions of the area.
    void computeViewport();

    // glViewport of the truncated viewport. A negative width or height is
    // given to GL as 0 (GL refuses negative sizes and would keep the previous
    // viewport).
    void applyViewport() const;

    // Pixel orthographic projection over the truncated viewport corners, then
    // the modelview matrix at the identity.
    void applyOrtho() const;

    Camera camera;
    int letterboxed = 0;
    float fraction[4] = {0.0f, 0.0f, 1.0f, 1.0f};
    float viewport[6] = {0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f};
    // Width and height stay 0 until the first setArea.
    float area[6] = {0.0f, 0.0f, 100.0f, 100.0f, 0.0f, 0.0f};
};

// A pixel coordinate for GL: truncated toward zero, NaN as 0 and values beyond
// the int range clamped to it (a plain conversion would be undefined there).
int truncatePixel(float value);
