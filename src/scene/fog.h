// Linear fog parameters, sent to GL by applyFog.
//
// Colour is RGBA in 0..1; start and end are eye distances in world units.
// Nothing here enables GL_FOG: the scene switches decide that.
#pragma once

class Fog {
public:
    // Sends mode, hint, colour, start and end, in that order.
    void applyFog() const;

    // Stores the colour; sends nothing.
    void setFogColour(float red, float green, float blue, float alpha);

    float colour[4] = {0.0f, 0.0f, 0.0f, 1.0f};
    float start = 0.2f;
    float end = 2.0f;
};
