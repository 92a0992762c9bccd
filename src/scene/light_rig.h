// The scene's one GL light: which light, where it is, its colour, and the
// small marker ball drawn where it is.
//
// Positions and radii in world units, colours in 0..1, times in seconds.
// lightIndex selects GL_LIGHT0 + lightIndex. An index outside 0..7 names no
// GL light: the operations then leave every light alone (they still update
// the fields and draw the marker), so nothing past GL_LIGHT7 is addressed.
#pragma once

#include "gl_api.h"

class LightRig {
public:
    static constexpr int lightSlots = 8;


    // applyLightPosition, then glEnable of the light.
    void enableLight();

    // Copies location into position x, y, z (w stays 1) and sends GL_POSITION
    // then GL_SPOT_DIRECTION. GL transforms the position by the current
    // modelview matrix, so callers send it after the camera is applied.
    void applyLightPosition();

    // Stores location and sends the position.
    void setLightLocation(float x, float y, float z);

    // The marker: a 10 by 10 sphere of radius markerRadius at location, in the
    // light's colour, with whatever other state the caller left.
    void drawLightMarker() const;

    // Moves the light along the scene's orbit at time currentTime (seconds):
    // a circle of radius 2 in the x-z plane, rising and falling between -2
    // and 2. Sends nothing.
    void orbit(double currentTime);

    // Whether lightIndex names one of the eight GL lights.
    bool hasValidLight() const { return lightIndex >= 0 && lightIndex < lightSlots; }

    // GL_LIGHT0 + lightIndex; only meaningful when hasValidLight().
    GLenum glLight() const { return GLenum(GL_LIGHT0 + lightIndex); }

    int lightIndex = 0;
    float markerRadius = 1.0f;
    float position[4] = {0.0f, 0.0f, 0.0f, 1.0f};
    float spotDirection[4] = {0.0f, 0.0f, 0.0f, 1.0f};
    float location[3] = {1.0f, 1.0f, 1.0f};
    float colour[3] = {1.0f, 1.0f, 1.0f};
};
