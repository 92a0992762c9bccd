// One view: a rectangle given as fractions of an area in pixels, and its
// camera.
//
// Pixels are window coordinates, origin at the bottom left, y upwards, in
// single precision; they are truncated toward zero when handed to GL.
// fraction is (left, bottom, right, top); area and viewport are (left or x,
// bottom or y, right, top, width, height).
#pragma once

#include "animation/camera.h"

// A rectangle of whole pixels as glViewport takes it.
struct PixelTile {
    int x;
    int y;
    int width;
    int height;
};

class View {
public:
    // Stores the fractions as floats.
    void setFractions(double left, double bottom, double right, double top);

    // Stores the corners as floats; width and height are formed in float.
    void setArea(double left, double bottom, double right, double top);

    // The viewport in pixels from the fractions of the area.
    void computeViewport();

    // Pixel orthographic projection over the truncated viewport corners, then
    // the modelview matrix at the identity.
    void applyOrtho() const;

    // The viewport as glViewport gets it: truncated, no size below 0.
    PixelTile truncatedViewport() const;

    // GL clamps a viewport to its largest size (GL_MAX_VIEWPORT_DIMS), which
    // would squeeze a wider view into part of it: such a view is drawn in
    // tiles, columns and rows of near-equal size, none wider than maxWidth
    // or taller than maxHeight. A limit of 0 or less is none. Tiles are
    // numbered row by row from the bottom left; a view within the limits is
    // one tile, its whole viewport.
    int tileCount(int maxWidth, int maxHeight) const;
    PixelTile tile(int index, int maxWidth, int maxHeight) const;

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
